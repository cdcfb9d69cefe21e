// The window's edge between the core's Windows-1251 texts and Qt's Unicode.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace tavex::gui {

inline QString FromCore(std::string_view text) {
  return QString::fromStdString(Cp1251ToUtf8(text));
}

inline std::string ToCore(const QString& text) {
  return Utf8To1251(text.toStdString());
}

}  // namespace tavex::gui
