// Conversions between the window's UTF-16 strings and code-page 936 Text.
#ifndef VANTREL_APP_QT_TEXT_H_
#define VANTREL_APP_QT_TEXT_H_

#include <QString>

#include "text/values.h"

namespace vantrel {

// `text` read as code-page 936; bytes that begin no valid character become "?".
QString QStringFromText(const Text& text);

// `string` in code page 936; characters without a code-page 936 form become "?".
Text TextFromQString(const QString& string);

// A literal of the program (UTF-8 source) as a QString.
inline QString Utf8Literal(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace vantrel

#endif  // VANTREL_APP_QT_TEXT_H_
