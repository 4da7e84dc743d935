// Measuring, searching, cutting, rewriting, splitting, making and converting texts and bytes.
//
// Every operation is a function of its arguments alone and returns a fresh value. None reports an
// error: out-of-range positions and counts give the empty value, -1 or the input unchanged, as each
// entry says. Positions are 1-based byte positions; -1 means not found.
//
// Character stepping: the searches, ReplaceSubtext, SplitText, TrimBothEnds, RemoveAllSpaces,
// ToLowerCase and ToInteger walk a text character by character. A byte of 0x80 or above is taken
// together with the byte after it; any other byte stands alone. A walk starts at its first byte as
// if it were a character boundary, with no realignment. A byte of 0x80 or above at the very end is
// an incomplete final character. TextLeft, TextRight and TextMid count plain bytes.
//
// Blanks are the byte 0x20 and the full-width space A1 A1. Comparison without regard to case
// folds only the ASCII capitals A-Z, byte by byte.
#ifndef VANTREL_TEXT_TEXT_OPS_H_
#define VANTREL_TEXT_TEXT_OPS_H_

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "text/values.h"

namespace vantrel {

// ReplaceSubtext's `count` for "no limit".
inline constexpr int kNoLimit = -1;

int TextLength(std::string_view text);
int BytesLength(const Bytes& bytes);

// Position of the first occurrence of `subText` at a character boundary at or after
// `startPosition` (below 2 means 1), or -1. An empty `subText` gives 1 when the window holds a
// byte, else -1.
int FindText(std::string_view text, std::string_view subText, int startPosition = 1,
             bool ignoreCase = false);

// Position of the last occurrence lying wholly within bytes 1..startPosition-1 (the whole text when
// `startPosition` is absent), walking forward from byte 1; overlapping occurrences count.
int FindTextReverse(std::string_view text, std::string_view subText,
                    std::optional<int> startPosition = std::nullopt, bool ignoreCase = false);

Text TextLeft(std::string_view text, int count);
Text TextRight(std::string_view text, int count);
Text TextMid(std::string_view text, int startPosition, int count);

// `text` with occurrences of `subText` replaced by `replacement`, scanning from `startPosition`
// (below 1 means 1); `count` limits the replacements (negative: no limit; 0: none).
// `caseSensitive` false folds ASCII letters.
Text ReplaceSubtext(std::string_view text, std::string_view subText, std::string_view replacement,
                    int startPosition, int count, bool caseSensitive);

// The pieces of `text` between exact occurrences of `delimiter`. A trailing delimiter gives no
// empty last piece; at most `maxItems` pieces are made (negative counts as 0; absent: no limit).
TextArray SplitText(std::string_view text, std::string_view delimiter = ",",
                    std::optional<int> maxItems = std::nullopt);

Text TrimBothEnds(std::string_view text);
Text RemoveAllSpaces(std::string_view text);
Text ToLowerCase(std::string_view text);

// The decimal number at the start of `text`, after full-width forms are made ASCII and leading
// white space (0x09-0x0D, 0x20) is skipped; 32-bit arithmetic that wraps around.
int ToInteger(std::string_view text);

Text BlankText(int count);
Bytes BlankBytes(int count);
Bytes BytesLeft(const Bytes& bytes, int count);
Bytes TextToBytes(std::string_view text);
// The bytes up to the first zero byte, as text. The two are one operation under two names.
Text BytesToText(const Bytes& bytes);
Text ReadTextFromBytes(const Bytes& bytes);
Text CharFromCode(int code);
int BitOr(std::initializer_list<int> values);

}  // namespace vantrel

#endif  // VANTREL_TEXT_TEXT_OPS_H_
