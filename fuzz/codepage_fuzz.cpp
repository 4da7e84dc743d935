// Code-page 936 conversions over arbitrary bytes: decoding never loses a character boundary and
// a decoded text survives the round trip through code page 936.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "text/codepage.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::u16string units = GbkToUtf16Units(bytes);
  if (units.size() > bytes.size()) std::abort();
  Text gbk = Utf16UnitsToGbk(units);
  if (gbk.find('\0') != Text::npos) std::abort();
  // Valid GBK round-trips exactly: what came out of a decode decodes to the same units again.
  std::u16string again = GbkToUtf16Units(gbk);
  std::u16string expected;
  for (char16_t u : units) {
    if (u == 0) break;
    expected.push_back(u);
  }
  for (std::size_t i = 0; i < expected.size() && i < again.size(); ++i)
    if (expected[i] != again[i] && again[i] != u'?') std::abort();
  if (again.size() != expected.size()) std::abort();
  // Arbitrary code units (odd trailing byte ignored) never produce a zero byte.
  Bytes raw(bytes.begin(), bytes.end());
  Text back = Utf16ToGbk(raw);
  if (back.find('\0') != Text::npos) std::abort();
  return 0;
}
