// Taking a URL apart for a web request: host, port and the object name of the request line.
//
// The URL is handled as plain text, not by any standard URL grammar. Its scheme may be "http://",
// "https://" or absent (taken as http), in any letter case. Other schemes, user information and
// literal IPv6 addresses are not recognised and yield host texts that are not the server's name.
// Every input gives some result; the routines keep no state and are safe on any thread.
#ifndef VANTREL_NET_URL_H_
#define VANTREL_NET_URL_H_

#include <optional>

#include "text/values.h"

namespace vantrel {

// The lower-case host of `url`.
//   Default mode (`levels` absent): the text between the scheme and the next "/"; with
//   `rootDomain`, only its last two dot-separated labels.
//   Level mode (`levels` present, even 0; below 0 counts as 0): the last `levels` + 2 labels
//   (`levels` + 1 with `rootDomain`) of the text before the first "/".
// Any ":port" is kept only when `keepPort` is true; otherwise the host ends at its first colon.
Text UrlGetDomain(const Text& url, bool rootDomain = false, bool keepPort = false,
                  std::optional<int> levels = std::nullopt);

// The number after the last colon of the host with its port, else 443 when `url` starts with
// "https" in any case, else 80. Not limited to any range: a non-numeric port text gives 0.
int UrlGetPort(const Text& url);

// The object name: `url` from the first "/" after the host to its end, in its own letter case,
// query and fragment included; "/" when there is none.
Text UrlGetPath(const Text& url);

}  // namespace vantrel

#endif  // VANTREL_NET_URL_H_
