#include "app/qt_text.h"

#include <string>
#include <string_view>

#include "text/codepage.h"

namespace vantrel {

QString QStringFromText(const Text& text) {
  const std::u16string units = GbkToUtf16Units(View(text));
  return QString(reinterpret_cast<const QChar*>(units.data()),
                 static_cast<qsizetype>(units.size()));
}

Text TextFromQString(const QString& string) {
  return Utf16UnitsToGbk(std::u16string_view(reinterpret_cast<const char16_t*>(string.utf16()),
                                             static_cast<std::size_t>(string.size())));
}

}  // namespace vantrel
