// The quote marker "#引号" (the byte '#' and the two code-page 936 characters 引号). In the markers
// of the fetcher's marker routines and in a regular-expression pattern, when asked, it stands for
// one double quote, so a caller can write a quote without escaping it.
#ifndef VANTREL_TEXT_QUOTE_MARKER_H_
#define VANTREL_TEXT_QUOTE_MARKER_H_

#include "text/codepage.h"
#include "text/values.h"

namespace vantrel {

inline const Text& QuoteMarker() {
  static const Text marker = GbkFromUtf8("#引号");
  return marker;
}

}  // namespace vantrel

#endif  // VANTREL_TEXT_QUOTE_MARKER_H_
