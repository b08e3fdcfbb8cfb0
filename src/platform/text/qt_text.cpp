#include "platform/text/qt_text.h"

#include "core/strx/codepage.h"

QString QtText_fromCp932(std::string_view cp932) {
  std::u16string u = Cp932_toUtf16(cp932);
  return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

std::string QtText_toCp932(const QString& text) {
  std::u16string_view u(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<size_t>(text.size()));
  return Cp932_fromUtf16(u);
}
