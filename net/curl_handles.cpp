#include "net/curl_handles.h"

#include <array>
#include <mutex>

#include "net/fetch_settings.h"

namespace vantrel {
namespace {

struct ProcessState {
  bool initialised = false;
  CURLSH* share = nullptr;
  // One lock per kind of shared data, as libcurl asks for them.
  std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
};

ProcessState& State() {
  // Never destroyed: requests on threads that outlive main() may still use the share.
  static ProcessState* state = new ProcessState;
  return *state;
}

void LockShare(CURL*, curl_lock_data data, curl_lock_access, void*) {
  State().locks[static_cast<std::size_t>(data)].lock();
}

void UnlockShare(CURL*, curl_lock_data data, void*) {
  State().locks[static_cast<std::size_t>(data)].unlock();
}

std::once_flag initOnce;

}  // namespace

bool InitCurlOnce() {
  std::call_once(initOnce, [] {
    ProcessState& state = State();
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) return;
    state.initialised = true;
    CURLSH* share = curl_share_init();
    if (share == nullptr) return;
    if (curl_share_setopt(share, CURLSHOPT_LOCKFUNC, LockShare) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_UNLOCKFUNC, UnlockShare) != CURLSHE_OK ||
        curl_share_setopt(share, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE) != CURLSHE_OK) {
      curl_share_cleanup(share);
      return;
    }
    state.share = share;
  });
  return State().initialised;
}

CURLSH* ProcessCookieShare() {
  InitCurlOnce();
  return State().share;
}

void ClearProcessCookieStore() {
  CURLSH* share = ProcessCookieShare();
  if (share == nullptr) return;
  EasyHandle easy(curl_easy_init());
  if (!easy) return;
  curl_easy_setopt(easy.get(), CURLOPT_SHARE, share);
  curl_easy_setopt(easy.get(), CURLOPT_COOKIEFILE, "");
  curl_easy_setopt(easy.get(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace vantrel
