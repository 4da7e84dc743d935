// Cutting values out of header lines and URLs by the markers around them.
//
// Both routines are pure functions of their arguments and safe on any thread. In the markers of
// TextBetween every "#引号" (the byte '#' followed by the two code-page 936 characters 引号) stands
// for one double quote, so a caller can write a marker holding a quote without escaping it.
#ifndef VANTREL_NET_MARKER_H_
#define VANTREL_NET_MARKER_H_

#include "text/quote_marker.h"
#include "text/values.h"

namespace vantrel {

// The text between the first `startMarker` found at or after `startPosition` (1 or less: from the
// beginning) and the first `endMarker` that begins at or after the end of that start marker; the
// empty text when either is missing. ASCII letters compare without regard to case when
// `ignoreCase` is true. The result is not trimmed.
Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int startPosition = 0, bool ignoreCase = false);

// The value of a "name: value" line: everything after the first colon, with blanks trimmed from
// both ends (tabs and line breaks stay); the empty text when there is no colon.
Text TextAfterColon(const Text& line);

}  // namespace vantrel

#endif  // VANTREL_NET_MARKER_H_
