// Conversions between code-page 936 (GBK) text and UTF-16, mapped as iconv's CP936 maps them
// (which is how Windows maps code page 936).
//
// Bad input never stops a conversion:
//   - a GBK byte that does not begin a valid character becomes one U+003F "?" code unit, and the
//     conversion goes on with the next byte (so an ASCII byte after a stray lead byte survives);
//   - a UTF-16 code unit (or surrogate pair) without a code-page 936 form becomes one "?" byte.
//
// The mapping tables are built once, from iconv, on first use; every later conversion is a table
// walk that copies runs of ASCII bytes one to one.
#ifndef VANTREL_TEXT_CODEPAGE_H_
#define VANTREL_TEXT_CODEPAGE_H_

#include <string>
#include <string_view>

#include "text/values.h"

namespace vantrel {

// The UTF-16LE code units of `text` followed by one zero code unit; empty Bytes for the empty text.
Bytes GbkToUtf16(const Text& text);

// As GbkToUtf16, without the zero code unit when `dropTerminator` is true. Empty text gives empty
// Bytes either way.
Bytes GbkToUtf16Bytes(const Text& text, bool dropTerminator = false);

// The code-page 936 form of the UTF-16LE code units in `bytes`, ending before the first zero code
// unit; a final odd byte is ignored.
Text Utf16ToGbk(const Bytes& bytes);

// The same conversions over code-unit strings, for callers that work in UTF-16 directly.
// GbkToUtf16Units stops at a zero byte; Utf16UnitsToGbk stops at a zero code unit.
std::u16string GbkToUtf16Units(std::string_view gbk);
Text Utf16UnitsToGbk(std::u16string_view units);

// Code-page 936 text from UTF-8 (the system's own non-ASCII literals are written in UTF-8 in the
// source and pass through here once), and back, for output to a UTF-8 terminal. Invalid UTF-8
// bytes become "?".
Text GbkFromUtf8(std::string_view utf8);
std::string GbkToUtf8(std::string_view gbk);

// Bytes in the character set named `charset` (an iconv name such as "UTF-8" or "ISO-8859-1"),
// converted to code-page 936 text: unmappable characters and invalid input become "?". The result
// ends before the first zero character. Returns false, leaving `out` unchanged, when iconv does
// not know the character set.
bool ConvertToGbk(std::string_view bytes, const char* charset, Text& out);

}  // namespace vantrel

#endif  // VANTREL_TEXT_CODEPAGE_H_
