// ExtractEmails: finds every e-mail address in a page and appends each one, with a line break, to
// the result box through the window services; tells the user when none can be found.
#ifndef VANTREL_MATCH_EXTRACT_EMAILS_H_
#define VANTREL_MATCH_EXTRACT_EMAILS_H_

#include "app/window_services.h"
#include "text/values.h"

namespace vantrel {

// The fixed e-mail pattern, 43 characters with three groups.
extern const char EmailPattern[];

// Appends each match of EmailPattern in `text` (case ignored, all matches, in order, repeats kept)
// followed by "\r\n" to 超级编辑框1, one AppendControlText call per match, and returns how many
// were appended. When the pattern cannot be run, or nothing matches, shows the matching message
// (style 16, default title) and returns 0.
int ExtractEmails(const Text& text, WindowServices& services);

}  // namespace vantrel

#endif  // VANTREL_MATCH_EXTRACT_EMAILS_H_
