#include "net/web_visit.h"

#include <curl/curl.h>
#include <sys/mman.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/cookies.h"
#include "net/curl_handles.h"
#include "net/fetch_settings.h"
#include "net/marker.h"
#include "net/url.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;

// The raw header block is handed back only when it and its terminating zero fit in this many bytes.
constexpr std::size_t kRawHeaderBuffer = 5000;
// A body never grows past the largest Bytes count.
constexpr std::size_t kMaxBody = static_cast<std::size_t>(kMaxValueSize);
// A Content-Length is trusted for reserving memory only up to this size; past it the body grows
// as it arrives.
constexpr std::size_t kMaxReserve = std::size_t{256} << 20;
constexpr long kReadBuffer = 512 * 1024;
constexpr int kMaxRedirects = 10;

bool ContainsText(const Text& text, std::string_view marker, bool ignoreCase = false) {
  return FindText(text, marker, 1, ignoreCase) != -1;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
  }
  return true;
}

// Step 2: the agent named by the caller's headers, else the default one. The agent ends at the
// first line break: a value running on into the following lines would smuggle them into the
// request as further header lines.
Text UserAgentFor(const Text& headers) {
  if (!ContainsText(headers, "User-Agent:", true)) return DefaultUserAgent();
  Text agent = TrimBothEnds(TextBetween(headers, "User-Agent:", "\r\n"));
  if (agent.empty()) agent = TextAfterColon(headers);
  const std::size_t lineBreak = agent.find_first_of("\r\n");
  if (lineBreak != Text::npos) agent = TrimBothEnds(View(agent).substr(0, lineBreak));
  return agent;
}

// Step 7: the default header lines, appended to the caller's text in place.
void AppendDefaultHeaders(Text& headers, const Text& url, const Text& cookies) {
  if (!ContainsText(headers, "Referer:")) {
    headers += headers.empty() ? "Referer: " : "\r\nReferer: ";
    headers += url;
  }
  if (!ContainsText(headers, "Accept:")) headers += "\r\nAccept: */*";
  if (!ContainsText(headers, "Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
  if (!ContainsText(headers, "Content-Type:")) {
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  }
  if (!cookies.empty()) {
    headers += "\r\nCookie: ";
    headers += cookies;
  }
}

// The object name as it goes into the request line: bytes that cannot stand there (blank,
// control bytes, bytes of 0x80 and above) percent-encoded, every other byte as written.
std::string RequestTarget(const Text& path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string target;
  target.reserve(path.size());
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b <= 0x20 || b >= 0x7F) {
      target += '%';
      target += kHex[b >> 4];
      target += kHex[b & 0x0F];
    } else {
      target += c;
    }
  }
  return target;
}

// A host that can be asked for by name: letters, digits, '-', '.' and '_' only. Anything else
// (user information, brackets, a query glued to the host, non-ASCII bytes) cannot be resolved,
// and must not be read by the URL parser as something other than a host.
bool IsPlainHost(const Text& host) {
  if (host.empty()) return false;
  return std::all_of(host.begin(), host.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
  });
}

// The name of a header line, trimmed; empty when the line has no colon.
std::string_view HeaderName(std::string_view line) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return {};
  std::string_view name = line.substr(0, colon);
  while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.remove_prefix(1);
  while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
  return name;
}

bool NameIs(std::string_view name, std::string_view wanted) {
  return name.size() == wanted.size() && StartsWithNoCase(name, wanted);
}

// The header block cut into lines. "\r\n" separates lines; a stray line feed also ends a line and
// a stray carriage return is dropped, so no line can carry a break into the request.
std::vector<std::string> HeaderLines(const Text& block) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : block) {
    if (c == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else if (c != '\r') {
      line += c;
    }
  }
  lines.push_back(std::move(line));
  return lines;
}

// The lines as libcurl sends them. The one User-Agent line carries `agent` and stands where the
// caller's first User-Agent line stood, else first. Empty-valued entries for Accept, Expect,
// Content-Type and Proxy-Connection keep libcurl from adding lines of its own; entries with an
// empty value are never sent. With `forOtherHost`, Cookie and Authorization lines stay behind.
bool BuildHeaderList(const std::vector<std::string>& lines, const Text& agent, bool forOtherHost,
                     HeaderList& list) {
  std::vector<std::string> out;
  std::string agentLine = "User-Agent: " + std::string(View(agent));
  // libcurl drops a header without a value unless it is written with a semicolon.
  if (agent.empty()) agentLine = "User-Agent;";
  bool agentPlaced = false;
  for (const std::string& line : lines) {
    const std::string_view name = HeaderName(line);
    if (NameIs(name, "User-Agent")) {
      if (!agentPlaced) out.push_back(agentLine);
      agentPlaced = true;
      continue;
    }
    if (forOtherHost && (NameIs(name, "Cookie") || NameIs(name, "Authorization"))) continue;
    if (name.empty()) continue;  // not a header line
    const std::string_view value = std::string_view(line).substr(line.find(':') + 1);
    if (value.find_first_not_of(" \t") == std::string_view::npos) {
      // Sent as "Name:" with nothing after it.
      out.push_back(std::string(name) + ";");
    } else {
      out.push_back(line);
    }
  }
  if (!agentPlaced) out.insert(out.begin(), agentLine);
  for (const char* suppressed : {"Accept:", "Expect:", "Content-Type:", "Proxy-Connection:"}) {
    out.emplace_back(suppressed);
  }

  HeaderList result;
  curl_slist* tail = nullptr;
  for (const std::string& line : out) {
    curl_slist* grown = curl_slist_append(tail, line.c_str());
    if (grown == nullptr) return false;
    tail = grown;
    if (!result) result.reset(grown);
  }
  list = std::move(result);
  return true;
}

// What one exchange gathers through libcurl's callbacks.
struct Exchange {
  Bytes body;
  bool bodyCapped = false;
  bool reserved = false;
  CURL* easy = nullptr;

  // The header block of the response being read, its lines joined by "\r\n".
  std::string block;
  bool blockOverflow = false;
  bool inBlock = false;
  // The last complete block of a final (not 1xx) response of this exchange.
  bool haveFinal = false;
  std::string finalBlock;
  bool finalOverflow = false;

  Clock::time_point lastActivity = Clock::now();
  curl_off_t lastUploaded = 0;
  std::chrono::milliseconds stallTimeout{60000};
};

// Asks for huge pages under a large body buffer: a 64 MB body then costs a few dozen page faults
// instead of some sixteen thousand. Only advice; the kernel may ignore it.
void AdviseLargePages(const Bytes& buffer) {
  constexpr std::uintptr_t kHuge = std::uintptr_t{2} << 20;
  if (buffer.capacity() < 2 * kHuge) return;
  const auto begin = reinterpret_cast<std::uintptr_t>(buffer.data());
  const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
  const std::uintptr_t last = (begin + buffer.capacity()) & ~(kHuge - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* context) {
  auto& exchange = *static_cast<Exchange*>(context);
  const std::size_t n = size * count;
  exchange.lastActivity = Clock::now();
  if (!exchange.reserved) {
    exchange.reserved = true;
    curl_off_t length = -1;
    if (curl_easy_getinfo(exchange.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK &&
        length > 0) {
      exchange.body.reserve(std::min({static_cast<std::size_t>(length), kMaxReserve, kMaxBody}));
      AdviseLargePages(exchange.body);
    }
  }
  const std::size_t room = kMaxBody - exchange.body.size();
  if (n > room) {
    // Past the largest Bytes count reading stops; what was read is the body.
    exchange.body.insert(exchange.body.end(), data, data + room);
    exchange.bodyCapped = true;
    return 0;
  }
  const std::size_t capacity = exchange.body.capacity();
  exchange.body.insert(exchange.body.end(), data, data + n);
  if (exchange.body.capacity() != capacity) AdviseLargePages(exchange.body);
  return n;
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* context) {
  auto& exchange = *static_cast<Exchange*>(context);
  const std::size_t n = size * count;
  exchange.lastActivity = Clock::now();
  std::string_view line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);

  if (!exchange.inBlock) {
    // A block starts with a status line; anything else here (trailers) is no response header.
    if (!StartsWithNoCase(line, "http/")) return n;
    exchange.inBlock = true;
    exchange.block.clear();
    exchange.blockOverflow = false;
  }
  if (line.empty()) {
    exchange.inBlock = false;
    const std::size_t space = exchange.block.find(' ');
    const bool interim = space != std::string::npos && exchange.block.size() > space + 1 &&
                         exchange.block[space + 1] == '1';
    if (!interim) {
      exchange.haveFinal = true;
      exchange.finalBlock = exchange.block;
      exchange.finalOverflow = exchange.blockOverflow;
    }
    return n;
  }
  if (exchange.blockOverflow) return n;
  if (!exchange.block.empty()) exchange.block += "\r\n";
  exchange.block += line;
  if (exchange.block.size() >= kRawHeaderBuffer) {
    exchange.blockOverflow = true;
    exchange.block.clear();
  }
  return n;
}

int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
  auto& exchange = *static_cast<Exchange*>(context);
  const Clock::time_point now = Clock::now();
  if (uploaded != exchange.lastUploaded) {
    exchange.lastUploaded = uploaded;
    exchange.lastActivity = now;
  }
  // A transfer that moves no byte for the stall time-out fails.
  return now - exchange.lastActivity > exchange.stallTimeout ? 1 : 0;
}

// One hop of the request: where it goes and what it carries.
struct Hop {
  std::string url;     // scheme://host:port/ or the absolute redirect target
  std::string target;  // the request target; empty: libcurl takes it from `url`
  bool secure = false;
  bool post = false;  // the verb is POST
  bool withBody = false;
  bool forOtherHost = false;
};

bool SetupHop(CURL* easy, const Hop& hop, const std::optional<Text>& proxy, const Bytes& body,
              curl_slist* headerList) {
  bool ok = curl_easy_setopt(easy, CURLOPT_URL, hop.url.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_REQUEST_TARGET,
                              hop.target.empty() ? nullptr : hop.target.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headerList) == CURLE_OK;

  // Only http requests go through the proxy; https ones and an empty proxy go direct.
  std::string proxyUrl;
  if (proxy && !proxy->empty() && !hop.secure) {
    const std::string_view given = View(*proxy);
    if (given.find("://") != std::string_view::npos) {
      if (!StartsWithNoCase(given, "http://")) return false;  // an HTTP proxy only
      proxyUrl = given;
    } else {
      proxyUrl = "http://" + std::string(given);
    }
  }
  ok = ok && curl_easy_setopt(easy, CURLOPT_PROXY, proxyUrl.c_str()) == CURLE_OK;

  if (hop.withBody) {
    ok = ok && curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE,
                                static_cast<curl_off_t>(body.size())) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_POSTFIELDS,
                                body.empty() ? "" : reinterpret_cast<const char*>(body.data())) ==
                   CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST,
                                hop.post ? static_cast<const char*>(nullptr) : "GET") == CURLE_OK;
  } else {
    ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, static_cast<const char*>(nullptr)) ==
                   CURLE_OK;
  }
  return ok;
}

// Settings that hold for every hop of one call.
bool SetupEasy(CURL* easy, Exchange& exchange, bool useProcessCookies,
               const FetchSettings& settings) {
  bool ok = true;
  auto set = [&](CURLoption option, auto value) {
    ok = ok && curl_easy_setopt(easy, option, value) == CURLE_OK;
  };
  set(CURLOPT_NOSIGNAL, 1L);
  set(CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(CURLOPT_PROTOCOLS_STR, "http,https");
  set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  set(CURLOPT_FOLLOWLOCATION, 0L);  // redirects are followed hop by hop below
  set(CURLOPT_USERAGENT, static_cast<const char*>(nullptr));
  set(CURLOPT_NOPROXY, "");  // never from the environment
  set(CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
  set(CURLOPT_PROXYPORT, 80L);
  set(CURLOPT_SSL_VERIFYPEER, 1L);
  set(CURLOPT_SSL_VERIFYHOST, 2L);
  if (!settings.trustedCaFile.empty()) set(CURLOPT_CAINFO, settings.trustedCaFile.c_str());
  set(CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(settings.connectTimeout.count()));
  set(CURLOPT_BUFFERSIZE, kReadBuffer);
  set(CURLOPT_WRITEFUNCTION, OnBody);
  set(CURLOPT_WRITEDATA, static_cast<void*>(&exchange));
  set(CURLOPT_HEADERFUNCTION, OnHeader);
  set(CURLOPT_HEADERDATA, static_cast<void*>(&exchange));
  set(CURLOPT_NOPROGRESS, 0L);
  set(CURLOPT_XFERINFOFUNCTION, OnProgress);
  set(CURLOPT_XFERINFODATA, static_cast<void*>(&exchange));
  if (useProcessCookies) {
    CURLSH* share = ProcessCookieShare();
    if (share != nullptr) {
      set(CURLOPT_SHARE, share);
      set(CURLOPT_COOKIEFILE, "");  // switches the cookie engine on; no file is read
    }
  }
  return ok;
}

// The scheme, host and port of an absolute URL, lower-cased; false when it cannot be parsed.
bool UrlParts(const char* url, std::string& scheme, std::string& host, std::string& port) {
  UrlHandle handle(curl_url());
  if (!handle || curl_url_set(handle.get(), CURLUPART_URL, url, 0) != CURLUE_OK) return false;
  auto part = [&](CURLUPart which, std::string& out, unsigned flags) {
    char* value = nullptr;
    if (curl_url_get(handle.get(), which, &value, flags) != CURLUE_OK) return false;
    out = value;
    curl_free(value);
    for (char& c : out) c = LowerAscii(c);
    return true;
  };
  return part(CURLUPART_SCHEME, scheme, 0) && part(CURLUPART_HOST, host, 0) &&
         part(CURLUPART_PORT, port, CURLU_DEFAULT_PORT);
}

// What the exchange produced: the body and the final response's header block.
struct Outcome {
  Bytes body;
  bool haveHeaders = false;
  std::string headers;  // valid when haveHeaders
};

bool IsRedirect(long status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// Steps 8 and 9, and the redirects: runs the request to its final response. A request that
// cannot be sent, gets no response, or is redirected where it may not go, gives no headers and
// an empty body.
Outcome RunRequest(const Text& host, int port, bool secure, const Text& path, bool post,
                   bool withBody, const Bytes& body, const std::vector<std::string>& lines,
                   const Text& agent, bool useProcessCookies, bool followRedirects,
                   const std::optional<Text>& proxy) {
  Outcome none;
  if (!IsPlainHost(host) || port < 1 || port > 65535) return none;

  EasyHandle easy(curl_easy_init());
  if (!easy) return none;
  const FetchSettings settings = CurrentFetchSettings();
  Exchange exchange;
  exchange.easy = easy.get();
  exchange.stallTimeout = settings.stallTimeout;
  if (!SetupEasy(easy.get(), exchange, useProcessCookies, settings)) return none;

  const std::string scheme = secure ? "https" : "http";
  const std::string origin = scheme + "://" + std::string(View(host)) + ":" + std::to_string(port);
  Hop hop;
  hop.url = origin + "/";
  hop.secure = secure;
  hop.post = post;
  hop.withBody = withBody;
  hop.target = RequestTarget(path);
  if (proxy && !proxy->empty() && !secure) {
    // Through a proxy the request line carries the absolute form of the target.
    std::string authority = std::string(View(host));
    if (port != 80) authority += ":" + std::to_string(port);
    hop.target = "http://" + authority + hop.target;
  }
  const std::string firstHost = std::string(View(host));
  const std::string firstPort = std::to_string(port);

  for (int redirects = 0;; ++redirects) {
    HeaderList headerList;
    if (!BuildHeaderList(lines, agent, hop.forOtherHost, headerList)) return none;
    if (!SetupHop(easy.get(), hop, proxy, body, headerList.get())) return none;

    exchange.body.clear();
    exchange.reserved = false;
    exchange.bodyCapped = false;
    exchange.inBlock = false;
    exchange.haveFinal = false;
    exchange.lastActivity = Clock::now();
    exchange.lastUploaded = 0;
    curl_easy_perform(easy.get());
    // A failed transfer after a complete header block (a reset or stall in the body, the body
    // limit) still has its response: the headers and whatever body came.
    if (!exchange.haveFinal) return none;

    long status = 0;
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &status);
    char* next = nullptr;
    curl_easy_getinfo(easy.get(), CURLINFO_REDIRECT_URL, &next);
    if (!followRedirects || !IsRedirect(status) || next == nullptr) {
      Outcome outcome;
      outcome.body = std::move(exchange.body);
      outcome.haveHeaders = !exchange.finalOverflow;
      outcome.headers = std::move(exchange.finalBlock);
      return outcome;
    }

    // Redirects go to http and https only, at most ten times, never from https down to http.
    if (redirects == kMaxRedirects) return none;
    std::string nextScheme, nextHost, nextPort;
    if (!UrlParts(next, nextScheme, nextHost, nextPort)) return none;
    if (nextScheme != "http" && nextScheme != "https") return none;
    if (hop.secure && nextScheme == "http") return none;

    Hop following;
    following.url = next;
    following.secure = nextScheme == "https";
    // 307 and 308 repeat the request as it was; the others fetch the target with a plain GET.
    following.post = (status == 307 || status == 308) && hop.post;
    following.withBody = (status == 307 || status == 308) && hop.withBody;
    // The caller's Cookie and Authorization lines are meant for the first server only.
    following.forOtherHost =
        hop.forOtherHost || nextScheme != scheme || nextHost != firstHost || nextPort != firstPort;
    hop = std::move(following);
  }
}

}  // namespace

const Text& DefaultUserAgent() {
  static const Text agent =
      "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; Tavlo; .NET CLR 2.0.50727; .NET CLR "
      "3.0.04506.648; .NET CLR 3.5.21022)";
  return agent;
}

void WebVisitGlobalInit() { InitCurlOnce(); }

Bytes WebVisit(const Text& url, int method, const Text& postText, Text* cookies, Text* newCookies,
               Text* headers, Text* location, bool noRedirect, Bytes* postBytes,
               const std::optional<Text>& proxy, Text* rawHeaders) {
  // Omitted by-reference arguments are temporaries of this call.
  Text cookiesLocal, newCookiesLocal, headersLocal, locationLocal, rawHeadersLocal;
  Bytes postBytesLocal;
  const bool cookiesSupplied = cookies != nullptr;
  Text& cookieText = cookies ? *cookies : cookiesLocal;
  Text& received = newCookies ? *newCookies : newCookiesLocal;
  Text& headerText = headers ? *headers : headersLocal;
  Text& target = location ? *location : locationLocal;
  Text& raw = rawHeaders ? *rawHeaders : rawHeadersLocal;
  Bytes& postData = postBytes ? *postBytes : postBytesLocal;

  // Without the HTTP library no request can be opened; nothing is changed.
  if (!InitCurlOnce()) return Bytes();

  const bool post = method == 1;
  const Text agent = UserAgentFor(headerText);
  const Text host = UrlGetDomain(url);
  const int port = UrlGetPort(url);
  const Text path = UrlGetPath(url);
  const bool secure = ToLowerCase(TextLeft(url, 5)) == "https";

  AppendDefaultHeaders(headerText, url, cookieText);
  const bool withBody = method != 0;
  if (withBody && postData.empty()) postData = TextToBytes(postText);

  Outcome outcome =
      RunRequest(host, port, secure, path, post, withBody, postData, HeaderLines(headerText), agent,
                 !cookiesSupplied, !noRedirect, proxy);

  // The block as text: it ends before a zero byte, like any text.
  const std::size_t zero = outcome.headers.find('\0');
  if (zero != std::string::npos) outcome.headers.resize(zero);
  if (outcome.haveHeaders && outcome.headers.size() + 1 <= kRawHeaderBuffer) {
    raw = MakeText(outcome.headers);
  } else {
    raw = BlankText(static_cast<int>(kRawHeaderBuffer));
  }

  received.clear();
  for (const Text& line : SplitText(raw, "\r\n")) {
    if (ContainsText(line, "Location:")) target = TextAfterColon(line);
    if (ContainsText(line, "Set-Cookie")) {
      received += TrimBothEnds(TextBetween(line, "Set-Cookie:", ";"));
      received += "; ";
    }
  }
  received = TextLeft(received, TextLength(received) - 2);
  if (cookiesSupplied) MergeCookies(cookieText, received);
  if (target.empty()) target = raw;
  return std::move(outcome.body);
}

}  // namespace vantrel
