#include <locale.h>

#include <cstring>

#include "platform/system_reason.h"

namespace tavex {

// POSIX: strerror in the C locale, which is English ASCII.
std::string SystemReason(int error) {
  static const locale_t c_locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  if (c_locale) return strerror_l(error, c_locale);
  return "error " + std::to_string(error);
}

}  // namespace tavex
