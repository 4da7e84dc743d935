#include "text/codepage.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace vantrel {
namespace {

constexpr char16_t kReplacement = u'?';

// Code-page 936 mapping tables, filled from iconv's CP936 once.
struct Tables {
  // For a lone byte: the code unit, or 0 when the byte begins a double-byte character or is
  // invalid.
  char16_t single[256] = {};
  // For a double-byte character: the code unit at ((lead - 0x80) << 8) | trail, 0 when invalid.
  std::vector<char16_t> pair = std::vector<char16_t>(0x80 * 256, 0);
  // For a code unit: 0 when it has no form; below 0x100 one byte; otherwise lead << 8 | trail.
  std::vector<std::uint16_t> encode = std::vector<std::uint16_t>(0x10000, 0);
};

// Converts one short sequence with an open iconv descriptor; returns the output length or -1.
int ConvertOne(iconv_t cd, const char* in, std::size_t inLength, char* out, std::size_t outSize) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* inPtr = const_cast<char*>(in);
  char* outPtr = out;
  std::size_t inLeft = inLength;
  std::size_t outLeft = outSize;
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
    return -1;
  return static_cast<int>(outSize - outLeft);
}

std::unique_ptr<Tables> BuildTables() {
  auto t = std::make_unique<Tables>();
  iconv_t toUnicode = iconv_open("UTF-16LE", "CP936");
  iconv_t fromUnicode = iconv_open("CP936", "UTF-16LE");
  if (toUnicode == reinterpret_cast<iconv_t>(-1) || fromUnicode == reinterpret_cast<iconv_t>(-1)) {
    // Without CP936 support only ASCII maps; everything else becomes "?".
    for (int b = 0; b < 0x80; ++b) {
      t->single[b] = static_cast<char16_t>(b);
      t->encode[static_cast<std::size_t>(b)] = static_cast<std::uint16_t>(b);
    }
    return t;
  }
  unsigned char out[8];
  for (int b = 0; b < 0x100; ++b) {
    char in = static_cast<char>(b);
    if (ConvertOne(toUnicode, &in, 1, reinterpret_cast<char*>(out), sizeof out) == 2)
      t->single[b] = static_cast<char16_t>(out[0] | out[1] << 8);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    if (t->single[lead] != 0) continue;
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      if (ConvertOne(toUnicode, in, 2, reinterpret_cast<char*>(out), sizeof out) == 2)
        t->pair[static_cast<std::size_t>((lead - 0x80) << 8 | trail)] =
            static_cast<char16_t>(out[0] | out[1] << 8);
    }
  }
  for (int u = 1; u < 0x10000; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    char in[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    int n = ConvertOne(fromUnicode, in, 2, reinterpret_cast<char*>(out), sizeof out);
    if (n == 1) t->encode[static_cast<std::size_t>(u)] = out[0];
    if (n == 2)
      t->encode[static_cast<std::size_t>(u)] = static_cast<std::uint16_t>(out[0] << 8 | out[1]);
  }
  iconv_close(toUnicode);
  iconv_close(fromUnicode);
  return t;
}

const Tables& GetTables() {
  static const std::unique_ptr<Tables> tables = BuildTables();
  return *tables;
}

// Decodes `gbk` (up to its first zero byte) into `out`, which has room for gbk.size() units.
// Returns the number of units written.
std::size_t DecodeInto(std::string_view gbk, char16_t* out) {
  const Tables& t = GetTables();
  const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
  const std::size_t n = gbk.size();
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n) {
    unsigned char b = p[i];
    if (b < 0x80) {
      if (b == 0) break;
      out[j++] = b;
      ++i;
      continue;
    }
    if (char16_t s = t.single[b]; s != 0) {
      out[j++] = s;
      ++i;
      continue;
    }
    if (i + 1 < n) {
      if (char16_t u = t.pair[static_cast<std::size_t>((b - 0x80) << 8 | p[i + 1])]; u != 0) {
        out[j++] = u;
        i += 2;
        continue;
      }
    }
    out[j++] = kReplacement;  // one replacement per bad byte; the next byte starts afresh
    ++i;
  }
  return j;
}

// Encodes code units up to the first zero unit, appending to `out`.
void EncodeInto(std::u16string_view units, Text& out) {
  const Tables& t = GetTables();
  const std::size_t n = units.size();
  for (std::size_t i = 0; i < n; ++i) {
    char16_t u = units[i];
    if (u < 0x80) {
      if (u == 0) break;
      out.push_back(static_cast<char>(u));
      continue;
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      // A surrogate pair is one character, which has no code-page 936 form.
      if (u <= 0xDBFF && i + 1 < n && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) ++i;
      out.push_back('?');
      continue;
    }
    std::uint16_t code = t.encode[u];
    if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
}

std::size_t ZeroTerminatedLength(std::string_view s) {
  const void* zero = std::memchr(s.data(), 0, s.size());
  return zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - s.data()) : s.size();
}

// Writes units as UTF-16LE into a fresh Bytes value, with room for `extraZeroUnits` zero units.
Bytes UnitsToBytes(const std::u16string& units, std::size_t extraZeroUnits) {
  std::uint64_t size = 2 * (static_cast<std::uint64_t>(units.size()) + extraZeroUnits);
  if (size > static_cast<std::uint64_t>(kMaxValueSize)) FatalAllocationFailure(size);
  Bytes bytes(static_cast<std::size_t>(size), 0);
  if (units.empty()) return bytes;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(bytes.data(), units.data(), units.size() * 2);
  } else {
    for (std::size_t i = 0; i < units.size(); ++i) {
      bytes[2 * i] = static_cast<std::uint8_t>(units[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<std::uint8_t>(units[i] >> 8);
    }
  }
  return bytes;
}

// Converts `bytes` in `charset` to UTF-16 code units with iconv; invalid or incomplete input bytes
// become U+FFFD one byte at a time. Returns false when iconv does not know the charset.
bool IconvToUnits(std::string_view bytes, const char* charset, std::u16string& units) {
  iconv_t cd = iconv_open("UTF-16LE", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::vector<char> out(2 * bytes.size() + 16);
  char* inPtr = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG || outLeft < 4) {
      std::size_t used = out.size() - outLeft;
      out.resize(out.size() * 2 + 16);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: replace one byte and go on.
    outPtr[0] = static_cast<char>(0xFD);
    outPtr[1] = static_cast<char>(0xFF);
    outPtr += 2;
    outLeft -= 2;
    ++inPtr;
    --inLeft;
  }
  iconv_close(cd);
  std::size_t used = out.size() - outLeft;
  units.resize(used / 2);
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                     static_cast<unsigned char>(out[2 * i + 1]) << 8);
  return true;
}

}  // namespace

std::u16string GbkToUtf16Units(std::string_view gbk) {
  std::u16string units;
  units.resize(gbk.size());
  units.resize(DecodeInto(gbk, units.data()));
  return units;
}

Text Utf16UnitsToGbk(std::u16string_view units) {
  Text out;
  out.reserve(units.size());
  EncodeInto(units, out);
  return out;
}

Bytes GbkToUtf16(const Text& text) {
  std::string_view view(text.data(), ZeroTerminatedLength(View(text)));
  if (view.empty()) return Bytes();
  return UnitsToBytes(GbkToUtf16Units(view), 1);
}

Bytes GbkToUtf16Bytes(const Text& text, bool dropTerminator) {
  std::string_view view(text.data(), ZeroTerminatedLength(View(text)));
  if (view.empty()) return Bytes();
  return UnitsToBytes(GbkToUtf16Units(view), dropTerminator ? 0 : 1);
}

Text Utf16ToGbk(const Bytes& bytes) {
  std::size_t units = bytes.size() / 2;
  std::u16string data(units, u'\0');
  for (std::size_t i = 0; i < units; ++i)
    data[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return Utf16UnitsToGbk(data);
}

Text GbkFromUtf8(std::string_view utf8) {
  Text out;
  ConvertToGbk(utf8, "UTF-8", out);
  return out;
}

std::string GbkToUtf8(std::string_view gbk) {
  std::u16string units = GbkToUtf16Units(gbk);
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(gbk);
  std::string out(units.size() * 3 + 4, '\0');
  char* inPtr = reinterpret_cast<char*>(units.data());
  std::size_t inLeft = units.size() * 2;
  char* outPtr = out.data();
  std::size_t outLeft = out.size();
  iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

bool ConvertToGbk(std::string_view bytes, const char* charset, Text& out) {
  std::u16string units;
  if (!IconvToUnits(bytes, charset, units)) return false;
  out = Utf16UnitsToGbk(units);
  return true;
}

}  // namespace vantrel
