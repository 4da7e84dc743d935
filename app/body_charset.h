// Turning a fetched body into page text (code page 936) by the character set the page declares.
//
// The character set is taken from, in this order: the charset parameter of the Content-Type line
// of the raw response headers; a charset named in a <meta> tag near the start of the body; a
// byte-order mark; UTF-8 when the body is valid UTF-8 and holds non-ASCII bytes. A body in GBK,
// GB2312 or GB18030, or one that shows no sign of another character set, is taken as code-page 936
// bytes exactly as BytesToText takes it. Any other known character set is converted to code page
// 936; characters without a code-page 936 form become "?". A named character set that the
// converter does not know, and ASCII (which any of the others extends), count as no sign.
#ifndef VANTREL_APP_BODY_CHARSET_H_
#define VANTREL_APP_BODY_CHARSET_H_

#include <string>
#include <string_view>

#include "text/values.h"

namespace vantrel {

// The charset parameter of the last Content-Type line in `rawHeaders`, unquoted, or "".
std::string CharsetFromHeaders(std::string_view rawHeaders);

// The charset named by a <meta charset=...> or <meta http-equiv content="...; charset=..."> tag
// within the first kMetaScanBytes bytes of `body`, or "".
inline constexpr std::size_t kMetaScanBytes = 1024;
std::string CharsetFromMeta(std::string_view body);

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or values above U+10FFFF)
// and holds at least one byte of 0x80 or above.
bool IsUtf8WithNonAscii(std::string_view bytes);

// True for the names under which a page is plain code-page 936 text: GBK, GB2312, GB18030, CP936
// and their common aliases, in any letter case.
bool IsCodePage936Family(std::string_view charset);

// The page text of `body`: decoded as the header comment says, ending before the first zero
// character.
Text PageTextFromBody(const Bytes& body, std::string_view rawHeaders);

}  // namespace vantrel

#endif  // VANTREL_APP_BODY_CHARSET_H_
