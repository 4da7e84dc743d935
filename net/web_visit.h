// WebVisit: one synchronous HTTP or HTTPS request (GET or POST) with the default request headers,
// an optional caller-held cookie string, an optional HTTP proxy, and the body, raw response header
// block, received cookies and redirect target handed back.
//
// Pointer arguments are optional: a null pointer means the argument was omitted and the routine
// works on a temporary of its own; a non-null pointer is the caller's variable, read and written
// in place. `cookies` non-null (even pointing to the empty text) means the caller keeps its own
// cookie string and the process cookie store is left alone; null means the process cookie store,
// one in-memory store shared by every request of the process, is read and written. `proxy`
// supplied and not empty sends http requests through that HTTP proxy ("host:port").
//
// Safe on any number of threads at once. WebVisitGlobalInit() must run once before any thread
// starts (main() calls it); WebVisit also calls it, which is harmless once initialised.
#ifndef VANTREL_NET_WEB_VISIT_H_
#define VANTREL_NET_WEB_VISIT_H_

#include <optional>

#include "text/values.h"

namespace vantrel {

// The user agent sent when the caller's headers name none.
const Text& DefaultUserAgent();

// Initialises the HTTP library and the process cookie store, once per process.
void WebVisitGlobalInit();

// Fetches `url` and returns the response body; empty Bytes when nothing could be fetched.
//   method      1: "POST"; other values "GET"; any non-zero value sends a body.
//   postText    the body as text, used when a body is sent and `postBytes` is empty.
//   cookies     in/out cookie string "n=v; n=v", merged with the response's cookies.
//   newCookies  out: the cookies the response set.
//   headers     in/out: extra request header lines separated by "\r\n"; the defaults are
//               appended to it.
//   location    out: the target of the response's Location line, else the raw header block;
//               unchanged when the response has no Location line and it was not empty.
//   noRedirect  true: redirects are not followed.
//   postBytes   in/out: the body as bytes; filled from `postText` when a body is sent and it is
//               empty.
//   proxy       HTTP proxy for http URLs; supplied but empty means no proxy.
//   rawHeaders  out: the final response's status and header lines separated by "\r\n", or 5000
//               blanks when they do not fit in 5000 bytes or no response came.
Bytes WebVisit(const Text& url, int method = 0, const Text& postText = Text(),
               Text* cookies = nullptr, Text* newCookies = nullptr, Text* headers = nullptr,
               Text* location = nullptr, bool noRedirect = false, Bytes* postBytes = nullptr,
               const std::optional<Text>& proxy = std::nullopt, Text* rawHeaders = nullptr);

}  // namespace vantrel

#endif  // VANTREL_NET_WEB_VISIT_H_
