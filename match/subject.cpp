#include "match/subject.h"

#include <cstdint>
#include <cstring>

#include "text/codepage.h"

namespace vantrel {
namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kLowBits = 0x0101010101010101ull;

// True when none of the eight bytes in `w` is zero or 0x80 and above.
bool AllPlainAscii(std::uint64_t w) {
  bool hasHigh = (w & kHighBits) != 0;
  bool hasZero = ((w - kLowBits) & ~w & kHighBits) != 0;
  return !hasHigh && !hasZero;
}

}  // namespace

Subject::Subject(std::string_view gbk, bool withImage) {
  const std::size_t n = gbk.size();
  if (n == 0) return;
  units_.reset(static_cast<char16_t*>(CheckedAllocate(n * sizeof(char16_t))));
  if (withImage) image_.reset(static_cast<char*>(CheckedAllocate(n)));
  char16_t* units = units_.get();
  char* image = image_.get();
  const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n) {
    // Runs of ASCII bytes are their own code units and their own image, eight at a time.
    while (i + 8 <= n) {
      std::uint64_t w;
      std::memcpy(&w, p + i, 8);
      if (!AllPlainAscii(w)) break;
      for (int k = 0; k < 8; ++k) units[j + k] = p[i + k];
      if (image) std::memcpy(image + j, p + i, 8);
      i += 8;
      j += 8;
    }
    if (i >= n) break;
    unsigned char b = p[i];
    if (b == 0) break;
    if (b < 0x80) {
      units[j] = b;
      if (image) image[j] = static_cast<char>(b);
      ++i;
      ++j;
      continue;
    }
    // A run of double-byte text. It ends before two ASCII bytes in a row (or a zero byte): the
    // first of them is either a character of its own or the trail byte of the character before,
    // so the second always starts a character and the run decodes exactly as the whole text would.
    std::size_t end = i + 1;
    while (end < n && p[end] != 0 && !(p[end] < 0x80 && p[end - 1] < 0x80)) ++end;
    std::u16string run = GbkToUtf16Units(gbk.substr(i, end - i));
    for (char16_t u : run) {
      units[j] = u;
      if (image) image[j] = u < 0x80 ? static_cast<char>(u) : kImagePlaceholder;
      ++j;
    }
    i = end;
  }
  size_ = j;
}

Text Subject::TextOf(std::size_t start, std::size_t length) const {
  if (image_) {
    const std::string_view stretch = Image().substr(start, length);
    if (stretch.find(kImagePlaceholder) == std::string_view::npos)
      return Text(stretch.data(), stretch.size());
  }
  return Utf16UnitsToGbk(Units().substr(start, length));
}

const Text& Subject::GbkText() const {
  std::call_once(gbkOnce_, [this] { gbk_ = Utf16UnitsToGbk(Units()); });
  return gbk_;
}

}  // namespace vantrel
