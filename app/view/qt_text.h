#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/windows/cp1252.h"

namespace startgarten {

// The program's code page 1252 text as the window shows it, and back.
inline QString FromCp1252(std::string_view text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

inline std::string ToCp1252(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

}  // namespace startgarten
