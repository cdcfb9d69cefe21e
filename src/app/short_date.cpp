#include "app/short_date.h"

#include <cstdio>

namespace tavex {

std::string RussianShortDate(Date date) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d", date.day, date.month, date.year);
  return buffer;
}

bool IsDefaultLocaleName(const std::string& name) {
  return name.empty() || name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0;
}

}  // namespace tavex
