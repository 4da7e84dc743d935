// Owners for libcurl handles, and the process-wide libcurl state: the one-time global
// initialisation and the shared in-memory cookie store.
#ifndef VANTREL_NET_CURL_HANDLES_H_
#define VANTREL_NET_CURL_HANDLES_H_

#include <curl/curl.h>

#include <memory>

namespace vantrel {

struct EasyCleanup {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct SlistCleanup {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
struct UrlCleanup {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

using EasyHandle = std::unique_ptr<CURL, EasyCleanup>;
using HeaderList = std::unique_ptr<curl_slist, SlistCleanup>;
using UrlHandle = std::unique_ptr<CURLU, UrlCleanup>;

// Runs curl_global_init and creates the cookie share, once per process; later calls return at
// once. Returns false when libcurl could not be initialised.
bool InitCurlOnce();

// The share handle holding the process cookie store (null when initialisation failed). Attaching
// it to an easy handle with cookies switched on makes that request read and write the store.
CURLSH* ProcessCookieShare();

}  // namespace vantrel

#endif  // VANTREL_NET_CURL_HANDLES_H_
