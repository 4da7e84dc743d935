// The value types every routine of Vantrel passes around, and the operations that belong to the
// values themselves.
//
//   Text       code-page 936 (GBK) byte text; never holds a zero byte. Lengths and positions
//              count bytes, positions are 1-based.
//   Bytes      a counted byte sequence that may hold zero bytes (count fits in 32 bits).
//   TextArray  an ordered list of Text items numbered 1..count; it owns copies of its items.
//
// Memory for every value comes through CheckedAllocator: when it cannot be had, the program ends
// through FatalError with the message "分配 N 字节内存失败!" instead of crashing. Comparison is by
// raw byte value, with no locale.
#ifndef VANTREL_TEXT_VALUES_H_
#define VANTREL_TEXT_VALUES_H_

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Ends the program through FatalError, reporting that `bytes` bytes could not be allocated.
[[noreturn]] void FatalAllocationFailure(std::uint64_t bytes);

// An allocator whose failure is the system's fatal error rather than an exception.
template <class T>
struct CheckedAllocator {
  using value_type = T;
  CheckedAllocator() noexcept = default;
  template <class U>
  CheckedAllocator(const CheckedAllocator<U>&) noexcept {}  // NOLINT(google-explicit-constructor)

  T* allocate(std::size_t n);
  void deallocate(T* p, std::size_t) noexcept;

  template <class U>
  bool operator==(const CheckedAllocator<U>&) const noexcept {
    return true;
  }
};

void* CheckedAllocate(std::size_t bytes);
void CheckedFree(void* p) noexcept;

template <class T>
T* CheckedAllocator<T>::allocate(std::size_t n) {
  if (n > SIZE_MAX / sizeof(T)) FatalAllocationFailure(UINT64_MAX);
  return static_cast<T*>(CheckedAllocate(n * sizeof(T)));
}

template <class T>
void CheckedAllocator<T>::deallocate(T* p, std::size_t) noexcept {
  CheckedFree(p);
}

using Text = std::basic_string<char, std::char_traits<char>, CheckedAllocator<char>>;
using Bytes = std::vector<std::uint8_t, CheckedAllocator<std::uint8_t>>;

// The largest length of a Text or count of Bytes: lengths are 32-bit signed integers.
inline constexpr std::int64_t kMaxValueSize = INT32_MAX;

// An ordered list of texts, numbered from 1. Item access checks the index: below 1 ends the
// program with code 4, above the count with code 1 (see FatalError).
class TextArray {
 public:
  TextArray() = default;
  TextArray(std::initializer_list<Text> items);

  int Count() const { return static_cast<int>(items_.size()); }
  // The item at 1-based `index`; ends the program when the index is out of range.
  const Text& operator[](int index) const;
  void Append(const Text& value) { items_.push_back(value); }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }
  bool operator==(const TextArray&) const = default;

 private:
  std::vector<Text, CheckedAllocator<Text>> items_;
};

// -1, 0 or +1: byte-by-byte comparison of unsigned bytes, the end of a text counting as byte 0.
int CompareText(const Text& left, const Text& right);

// The parts joined in order, made with one allocation.
Text ConcatText(std::initializer_list<std::string_view> parts);
Bytes ConcatBytes(std::initializer_list<const Bytes*> parts);
inline Bytes ConcatBytes(const Bytes& a, const Bytes& b) { return ConcatBytes({&a, &b}); }

// True when both have the same count and the same bytes.
bool BytesEqual(const Bytes& left, const Bytes& right);

int ArrayCount(const TextArray& items);
void AppendItem(TextArray& items, const Text& value);

// Builds the fatal error report, hands it to the installed reporter and ends the process with
// exit code -1. `code` 0 means no code line; an empty message means no message line.
[[noreturn]] void FatalError(int code, const Text& message);

// Receives the report text (code page 936). It may show it and return; the process then ends.
using FatalReporter = void (*)(const Text& report);

// Installs the reporter used by FatalError; nullptr restores the default, which writes the report
// to standard error in UTF-8. Returns the previous reporter.
FatalReporter SetFatalReporter(FatalReporter reporter);

// The report text FatalError builds for `code` and `message`.
Text FatalErrorReport(int code, const Text& message);

// Views over values for the routines that take std::string_view.
inline std::string_view View(const Text& text) { return {text.data(), text.size()}; }
inline std::string_view View(const Bytes& bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}
inline Bytes MakeBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }
inline Text MakeText(std::string_view s) { return Text(s.data(), s.size()); }

}  // namespace vantrel

#endif  // VANTREL_TEXT_VALUES_H_
