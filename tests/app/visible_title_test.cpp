#include "app/visible_title.h"

#include <gtest/gtest.h>

#include "platform/text.h"

namespace tavex {
namespace {

TEST(VisibleTitle, DecodesNumericAndNamedReferences) {
  EXPECT_EQ(VisibleTitle("Sch&#252;lerinnen"), "Schülerinnen");
  EXPECT_EQ(VisibleTitle("Sch&#xFC;ler &#XfC;"), "Schüler ü");
  EXPECT_EQ(VisibleTitle("A &mdash; B&nbsp;C &laquo;D&raquo; &hellip;"), "A — B\u00a0C «D» …");
  EXPECT_EQ(VisibleTitle("&Auml;&auml;&yuml;&szlig;&euro;&numero;1"), "Ääÿß€№1");
  // The page's own Cyrillic comes out in UTF-8 beside the decoded letters.
  EXPECT_EQ(VisibleTitle(Utf8To1251("Выпуск &#8470;5")), "Выпуск №5");
  // A number without its ";" still counts, as browsers read it.
  EXPECT_EQ(VisibleTitle("x&#252y"), "xüy");
}

TEST(VisibleTitle, ReadsEachReferenceOnceAndLeavesWhatIsNoneAsWritten) {
  EXPECT_EQ(VisibleTitle("Tom &amp; Jerry"), "Tom & Jerry");
  EXPECT_EQ(VisibleTitle("&amp;lt;b&amp;gt;"), "&lt;b&gt;");
  EXPECT_EQ(VisibleTitle("AT&T &unknown; &amp &#; &#x; &"), "AT&T &unknown; &amp &#; &#x; &");
  EXPECT_EQ(VisibleTitle("&mdashx;"), "&mdashx;");
  EXPECT_EQ(VisibleTitle(""), "");
}

TEST(VisibleTitle, OddNumbersBecomeWhatBrowsersShow) {
  // 128..159 are Windows-1252's characters there; 129 has none.
  EXPECT_EQ(VisibleTitle("&#151;&#150;&#128;"), "—–€");
  EXPECT_EQ(VisibleTitle("&#129;"), "\u0081");
  EXPECT_EQ(VisibleTitle("&#0;&#xD800;&#x110000;&#99999999999999999999;"),
            "\ufffd\ufffd\ufffd\ufffd");
  EXPECT_EQ(VisibleTitle("&#x1F600;"), "\U0001F600");
}

TEST(VisibleTitle, IsLinearInTheTitlesLength) {
  // A million ampersands that start no reference, and a million references:
  // both decode in one pass (a quadratic pass would not finish here).
  EXPECT_EQ(VisibleTitle(std::string(1000000, '&')), std::string(1000000, '&'));
  std::string many;
  for (int i = 0; i < 200000; ++i) many += "&amp;";
  EXPECT_EQ(VisibleTitle(many), std::string(200000, '&'));
}

}  // namespace
}  // namespace tavex
