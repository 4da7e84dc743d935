// Merging the cookies a response sets into a cookie string the caller keeps, and the small list
// routines the merge is made of.
//
// A cookie string is a Text of name=value items separated by ";" (blanks after it allowed on
// input) and by "; " on output. Names compare byte by byte, so letter case counts. All routines
// are pure apart from MergeCookies' two in-out arguments, and safe on any thread.
#ifndef VANTREL_NET_COOKIES_H_
#define VANTREL_NET_COOKIES_H_

#include "text/values.h"

namespace vantrel {

// Replaces `cookies` by the merge of the received `newCookies` with it: every blank removed from
// both (both variables are rewritten so), the received items first in their order, then each
// stored item whose name no earlier item has, items ending in "=deleted" left out, exact repeats
// dropped, joined by "; ". Returns a copy of the new `cookies`.
Text MergeCookies(Text& cookies, Text& newCookies);

// The name of one name=value item (the part before its first "=", or the whole item), trimmed.
Text CookieName(const Text& item);

// True when some item of `items` has the name `name`.
bool CookieListHasName(const TextArray& items, const Text& name);

// The items of `text` split on `delimiter`, first occurrences only, joined by `delimiter`.
Text RemoveDuplicateItems(const Text& text, const Text& delimiter);

// The 1-based index of the first item equal to `text`, or -1.
int IndexOfText(const TextArray& items, const Text& text);

}  // namespace vantrel

#endif  // VANTREL_NET_COOKIES_H_
