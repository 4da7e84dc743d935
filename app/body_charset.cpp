#include "app/body_charset.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "text/codepage.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(), AsciiLower);
  return out;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool IsCharsetNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_' || c == '.' || c == ':' || c == '+';
}

// The value after `charset` at `pos` in `lowered` ("charset = 'x'" and the like), or "".
std::string CharsetValueAt(std::string_view original, std::size_t pos) {
  std::size_t i = pos + 7;  // past "charset"
  while (i < original.size() && IsBlank(original[i])) ++i;
  if (i >= original.size() || original[i] != '=') return {};
  ++i;
  while (i < original.size() && IsBlank(original[i])) ++i;
  if (i < original.size() && (original[i] == '"' || original[i] == '\'')) ++i;
  std::size_t start = i;
  while (i < original.size() && IsCharsetNameChar(original[i])) ++i;
  return std::string(original.substr(start, i - start));
}

// The first "charset=value" in `original` that is not the tail of a longer word, or "".
std::string FindCharsetParameter(std::string_view original) {
  std::string lowered = Lowered(original);
  for (std::size_t pos = lowered.find("charset"); pos != std::string::npos;
       pos = lowered.find("charset", pos + 1)) {
    if (pos > 0 && IsCharsetNameChar(lowered[pos - 1])) continue;
    std::string value = CharsetValueAt(original, pos);
    if (!value.empty()) return value;
  }
  return {};
}

bool IsAscii(std::string_view charset) {
  static constexpr std::array<std::string_view, 5> kNames = {"us-ascii", "ascii", "iso646-us",
                                                             "ansi_x3.4-1968", "us"};
  std::string name = Lowered(charset);
  return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

bool IsUtf8Name(std::string_view charset) {
  std::string name = Lowered(charset);
  return name == "utf-8" || name == "utf8";
}

std::string_view BeforeZeroByte(std::string_view bytes) {
  std::size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes : bytes.substr(0, zero);
}

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The body converted from `charset`; false when that name is no usable sign.
bool DecodeAs(const Bytes& body, std::string_view charset, Text& out) {
  if (charset.empty() || IsAscii(charset)) return false;
  if (IsCodePage936Family(charset)) {
    out = BytesToText(body);
    return true;
  }
  std::string_view bytes = View(body);
  if (IsUtf8Name(charset) && bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    bytes.remove_prefix(kUtf8Bom.size());
  }
  std::string name(charset);
  return ConvertToGbk(bytes, name.c_str(), out);
}

}  // namespace

std::string CharsetFromHeaders(std::string_view rawHeaders) {
  std::string charset;
  std::size_t start = 0;
  while (start <= rawHeaders.size()) {
    std::size_t end = rawHeaders.find('\n', start);
    if (end == std::string_view::npos) end = rawHeaders.size();
    std::string_view line = rawHeaders.substr(start, end - start);
    static constexpr std::string_view kName = "content-type:";
    if (line.size() >= kName.size() && Lowered(line.substr(0, kName.size())) == kName) {
      // The last Content-Type line speaks for the body, even when it names no charset.
      charset = FindCharsetParameter(line.substr(kName.size()));
    }
    start = end + 1;
  }
  return charset;
}

std::string CharsetFromMeta(std::string_view body) {
  std::string_view head = body.substr(0, std::min(body.size(), kMetaScanBytes));
  std::string lowered = Lowered(head);
  for (std::size_t pos = lowered.find("<meta"); pos != std::string::npos;
       pos = lowered.find("<meta", pos + 1)) {
    std::size_t close = lowered.find('>', pos);
    std::string_view tag =
        head.substr(pos, close == std::string::npos ? std::string_view::npos : close - pos);
    std::string value = FindCharsetParameter(tag);
    if (!value.empty()) return value;
  }
  return {};
}

bool IsUtf8WithNonAscii(std::string_view bytes) {
  bool nonAscii = false;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto b0 = static_cast<std::uint8_t>(bytes[i]);
    if (b0 < 0x80) {
      ++i;
      continue;
    }
    nonAscii = true;
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      length = 3;
      if (b0 == 0xE0) low = 0xA0;   // no overlong forms
      if (b0 == 0xED) high = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      length = 4;
      if (b0 == 0xF0) low = 0x90;   // no overlong forms
      if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      return false;
    }
    if (n - i < length) return false;
    const auto b1 = static_cast<std::uint8_t>(bytes[i + 1]);
    if (b1 < low || b1 > high) return false;
    for (std::size_t k = 2; k < length; ++k) {
      const auto bk = static_cast<std::uint8_t>(bytes[i + k]);
      if (bk < 0x80 || bk > 0xBF) return false;
    }
    i += length;
  }
  return nonAscii;
}

bool IsCodePage936Family(std::string_view charset) {
  static constexpr std::array<std::string_view, 14> kNames = {
      "gbk",      "gb2312",     "gb18030", "cp936",    "ms936",     "windows-936", "x-gbk",
      "csgb2312", "gb_2312-80", "euc-cn",  "x-euc-cn", "iso-ir-58", "chinese",     "csgbk"};
  std::string name = Lowered(charset);
  return std::find(kNames.begin(), kNames.end(), name) != kNames.end();
}

Text PageTextFromBody(const Bytes& body, std::string_view rawHeaders) {
  if (body.empty()) return Text();  // a failed fetch; BytesToText is not asked about no storage
  Text out;
  if (DecodeAs(body, CharsetFromHeaders(rawHeaders), out)) return out;
  std::string_view bytes = View(body);
  if (DecodeAs(body, CharsetFromMeta(bytes), out)) return out;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    if (DecodeAs(body, "UTF-8", out)) return out;
  }
  if (bytes.size() >= 2 &&
      ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
    if (DecodeAs(body, "UTF-16", out)) return out;
  }
  std::string_view text = BeforeZeroByte(bytes);
  if (IsUtf8WithNonAscii(text) && ConvertToGbk(text, "UTF-8", out)) return out;
  return BytesToText(body);
}

}  // namespace vantrel
