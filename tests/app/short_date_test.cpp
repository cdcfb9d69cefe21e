#include "app/short_date.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "app/memory_window.h"

namespace tavex {
namespace {

TEST(ShortDate, TheCLibrarysDefaultLocaleGivesTheRussianForm) {
  const std::string previous = std::setlocale(LC_TIME, nullptr);
  MemoryWindow window;
  window.SetIssueDate({2026, 3, 5});
  for (const char* name : {"C", "POSIX", "C.UTF-8"}) {
    if (!std::setlocale(LC_TIME, name)) continue;  // C.UTF-8 is not everywhere
    EXPECT_EQ(window.ShortDate(), "05.03.2026") << name;
  }
  std::setlocale(LC_TIME, previous.c_str());
  EXPECT_EQ(RussianShortDate({999, 12, 31}), "31.12.0999");
  EXPECT_TRUE(IsDefaultLocaleName(""));
  EXPECT_FALSE(IsDefaultLocaleName("ru_RU.UTF-8"));
  EXPECT_TRUE(IsDefaultLocaleName("C.utf8"));
  EXPECT_FALSE(IsDefaultLocaleName("Cy_GB"));
}

}  // namespace
}  // namespace tavex
