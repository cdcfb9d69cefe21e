// The issue date's short form when the locale gives none of its own.
#pragma once

#include <string>

#include "app/main_window.h"

namespace tavex {

// "dd.mm.yyyy", the Russian short date ("05.03.2026"): what the magazine's
// readers expect when the program runs under the C library's default locale
// ("C" or "POSIX"), whose "%x" would give the American "03/05/26".
std::string RussianShortDate(Date date);

// True for the C library's default locale names: "C", "POSIX", an empty name,
// and "C.UTF-8" and the like (the default with another character set: its
// dates are the C locale's).
bool IsDefaultLocaleName(const std::string& name);

}  // namespace tavex
