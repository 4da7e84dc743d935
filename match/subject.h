// The subject of a match as the engines see it: the UTF-16 code units of a code-page 936 text and,
// for the linear-time engine, a one-byte-per-code-unit image of them.
//
// In the image every code unit below 0x80 is itself and every other code unit is kImagePlaceholder,
// so an offset into the image is the offset of the same code unit. The placeholder is a byte that
// no ASCII literal, ASCII class or \w \d can match, with or without case folding; only "." and
// negated classes (\W, \D, [^...]) match it, exactly as they match any non-ASCII code unit.
#ifndef VANTREL_MATCH_SUBJECT_H_
#define VANTREL_MATCH_SUBJECT_H_

#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>

#include "text/values.h"

namespace vantrel {

inline constexpr char kImagePlaceholder = '\x80';

class Subject {
 public:
  // Converts `gbk` (up to its first zero byte) the way GbkToUtf16Units does; with `withImage` the
  // image is made in the same pass over the bytes.
  Subject(std::string_view gbk, bool withImage);

  std::u16string_view Units() const { return {units_.get(), size_}; }
  // Empty when the subject was made without an image.
  std::string_view Image() const { return {image_.get(), image_ ? size_ : 0}; }
  std::size_t Size() const { return size_; }

  // The code-page 936 form of `length` code units from `start`. A stretch that the image shows to
  // be all ASCII is copied from the image as it is.
  Text TextOf(std::size_t start, std::size_t length) const;

  // The code-page 936 form of the code units, made on first use and kept.
  const Text& GbkText() const;

 private:
  struct FreeDeleter {
    void operator()(void* p) const noexcept { CheckedFree(p); }
  };
  std::unique_ptr<char16_t[], FreeDeleter> units_;
  std::unique_ptr<char[], FreeDeleter> image_;
  std::size_t size_ = 0;
  mutable std::once_flag gbkOnce_;
  mutable Text gbk_;
};

}  // namespace vantrel

#endif  // VANTREL_MATCH_SUBJECT_H_
