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

// How a byte of 0x80 or above decodes, given the byte after it: one code unit, made from that byte
// alone (a single-byte character, or "?" for a byte that begins no valid character) or from the
// two bytes together.
struct HighByteStep {
  char16_t unit;
  std::uint8_t length;
};

struct HighByteSteps {
  HighByteStep pair[0x80][0x100];
  HighByteStep alone[0x80];  // the byte at the end of the text
};

// Made once from GbkToUtf16Units itself, two bytes at a time, so the pass below decodes exactly as
// it does: a two-byte sequence that gives one code unit is one character; one that gives two
// code units decodes its first byte alone.
std::unique_ptr<HighByteSteps> BuildHighByteSteps() {
  auto steps = std::make_unique<HighByteSteps>();
  for (int b = 0x80; b <= 0xFF; ++b) {
    const char lead = static_cast<char>(b);
    steps->alone[b - 0x80] = {GbkToUtf16Units(std::string_view(&lead, 1)).at(0), 1};
    steps->pair[b - 0x80][0] = steps->alone[b - 0x80];  // a zero byte ends the text
    for (int t = 1; t <= 0xFF; ++t) {
      const char bytes[2] = {lead, static_cast<char>(t)};
      const std::u16string units = GbkToUtf16Units(std::string_view(bytes, 2));
      steps->pair[b - 0x80][t] = {units.at(0),
                                  static_cast<std::uint8_t>(units.size() == 1 ? 2 : 1)};
    }
  }
  return steps;
}

const HighByteSteps& GetHighByteSteps() {
  static const std::unique_ptr<HighByteSteps> steps = BuildHighByteSteps();
  return *steps;
}

}  // namespace

Subject::Subject(std::string_view gbk, bool withImage) {
  const std::size_t n = gbk.size();
  if (n == 0) return;
  units_.reset(static_cast<char16_t*>(CheckedAllocate(n * sizeof(char16_t))));
  if (withImage) image_.reset(static_cast<char*>(CheckedAllocate(n)));
  char16_t* units = units_.get();
  char* image = image_.get();
  const HighByteSteps& steps = GetHighByteSteps();
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
    const unsigned char b = p[i];
    if (b == 0) break;
    HighByteStep step{b, 1};
    if (b >= 0x80) {
      const bool last = i + 1 >= n || p[i + 1] == 0;
      step = last ? steps.alone[b - 0x80] : steps.pair[b - 0x80][p[i + 1]];
    }
    units[j] = step.unit;
    if (image) image[j] = step.unit < 0x80 ? static_cast<char>(step.unit) : kImagePlaceholder;
    i += step.length;
    ++j;
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
