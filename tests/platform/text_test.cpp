#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/failure.h"
#include "platform/shown_path.h"
#include "support/shown_place.h"

namespace tavex {
namespace {

TEST(LowerCase, FoldsLatinAndEveryCyrillicCapital) {
  EXPECT_EQ(LowerCase("ABC xyz <HTML>"), "abc xyz <html>");
  // А..Я fold to а..я.
  for (int c = 0xC0; c <= 0xDF; ++c)
    EXPECT_EQ(static_cast<unsigned char>(LowerChar(static_cast<char>(c))), c + 32) << c;
  // Ё Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Є Ї І Ѕ and their small letters.
  const std::string capitals = "\xa8\x80\x81\x8a\x8c\x8d\x8e\x8f\xa1\xa3\xa5\xaa\xaf\xb2\xbd";
  const std::string smalls = "\xb8\x90\x83\x9a\x9c\x9d\x9e\x9f\xa2\xbc\xb4\xba\xbf\xb3\xbe";
  EXPECT_EQ(LowerCase(capitals), smalls);
  EXPECT_EQ(LowerCase(smalls), smalls);
}

TEST(LowerCase, LeavesEverythingElseAndKeepsTheLength) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  std::string lower = LowerCase(all);
  ASSERT_EQ(lower.size(), all.size());
  int changed = 0;
  for (size_t i = 0; i < all.size(); ++i) changed += lower[i] != all[i];
  EXPECT_EQ(changed, 26 + 32 + 15);  // Latin, А..Я, and the fifteen others
  EXPECT_EQ(LowerCase("\xb9 \x96 \xab"), "\xb9 \x96 \xab");  // № – « are no letters
  EXPECT_TRUE(EqualsIgnoreCase("\xdf\xc1\xcb\xce\xca\xce", "\xff\xe1\xeb\xee\xea\xee"));
  EXPECT_FALSE(EqualsIgnoreCase("ab", "abc"));
}

TEST(Conversion, EveryWindows1251ByteRoundTripsThroughUtf8) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(Utf8To1251(Cp1251ToUtf8(all)), all);
  EXPECT_EQ(Cp1251ToUtf8("\xc0\xe1\xb9"), "\xd0\x90\xd0\xb1\xe2\x84\x96");  // Аб№
}

TEST(Conversion, CharactersTheCodePageLacksBecomeQuestionMarks) {
  EXPECT_EQ(Utf8To1251("a\xe2\x82\xac\xf0\x9f\x98\x80z"), "a\x88?z");  // € then an emoji
  EXPECT_EQ(Utf8To1251("\xc3\xa9"), "?");                              // é
  EXPECT_EQ(Utf8To1251("\xff\xd0"), "??");                             // malformed bytes
  EXPECT_EQ(Utf8To1251("\xe0\x80\xaf"), "???");                        // overlong "/"
}

TEST(ParseInt, AcceptsWhatTheFieldsAccept) {
  EXPECT_EQ(TryParseInt("42"), 42);
  EXPECT_EQ(TryParseInt(" 7"), 7);
  EXPECT_EQ(TryParseInt("-13"), -13);
  EXPECT_EQ(TryParseInt("+5"), 5);
  EXPECT_EQ(TryParseInt("$1F"), 31);
  EXPECT_EQ(TryParseInt("x10"), 16);
  EXPECT_EQ(TryParseInt("0X10"), 16);
  EXPECT_EQ(TryParseInt("$FFFFFFFF"), -1);
  EXPECT_EQ(TryParseInt("2147483647"), 2147483647);
  EXPECT_EQ(TryParseInt("-2147483648"), INT32_MIN);
}

TEST(ParseInt, RejectsEverythingElse) {
  for (const char* bad : {"", " ", "5a", "7 ", "2147483648", "-2147483649", "$", "$123456789",
                          "1.5", "100%", "'5'", "+", "--1"})
    EXPECT_FALSE(TryParseInt(bad)) << bad;
  try {
    ParseInt("abc");
    FAIL();
  } catch (const Failure& failure) {
    EXPECT_STREQ(failure.what(), "'abc' is not a valid integer value");
  }
}

TEST(ShownPath, WritesEverySeparatorAsTheSystemDoes) {
#ifdef _WIN32
  EXPECT_EQ(ShownPath("C:/out\\pub/16.htm"), "C:\\out\\pub\\16.htm");
  EXPECT_EQ(ShownPath("HtmClear/sub/a.bet"), "HtmClear\\sub\\a.bet");  // stays relative
  EXPECT_EQ(ShownPath("\xcf\xf0\xee\xf7\xe5\xe5/A.htm"), "\xcf\xf0\xee\xf7\xe5\xe5\\A.htm");
#else
  EXPECT_EQ(ShownPath("/out\\pub\\16.htm"), "/out/pub/16.htm");
  EXPECT_EQ(ShownPath("HtmClear\\sub\\a.bet"), "HtmClear/sub/a.bet");  // stays relative
  EXPECT_EQ(ShownPath("\xcf\xf0\xee\xf7\xe5\xe5/A.htm"), "\xcf\xf0\xee\xf7\xe5\xe5/A.htm");
#endif
  EXPECT_EQ(ShownPath(""), "");
}

TEST(Failure, PlaceLineKeepsTheTextAndTheInnermostPlace) {
  const Failure plain = ListIndexOutOfBounds(7);
  EXPECT_FALSE(plain.HasPlace());
  EXPECT_STREQ(plain.At("a\\tavex.sav", 8).what(),
               test::ShownPlace("List index out of bounds (7)\na/tavex.sav:8").c_str());
  EXPECT_STREQ(plain.At("x.bet").what(), "List index out of bounds (7)\nx.bet");
  // A place given already wins over one added further out.
  const Failure placed = plain.At("HtmClear\\x.bet");
  EXPECT_TRUE(placed.HasPlace());
  EXPECT_STREQ(placed.At("page.htm").what(),
               test::ShownPlace("List index out of bounds (7)\nHtmClear/x.bet").c_str());
  // The system's reason, in the C locale whatever the program's locale is.
  EXPECT_STREQ(
      CannotCreateFile("d\\16.htm", ENOSPC).what(),
      test::ShownPlace("Cannot create file d\\16.htm\nd/16.htm: No space left on device").c_str());
  EXPECT_STREQ(CannotOpenFile("a.htm", 0).what(), "Cannot open file a.htm\na.htm");
  errno = EACCES;  // the default reason is errno as it stands
  EXPECT_STREQ(CannotOpenFile("a.htm").what(), "Cannot open file a.htm\na.htm: Permission denied");
}

TEST(HexDigitValue, BothLetterCasesAndNothingElse) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('9'), 9);
  EXPECT_EQ(HexDigitValue('a'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  for (char c : {'g', 'G', '/', ':', '@', '`', ' ', '\xC0'}) EXPECT_EQ(HexDigitValue(c), -1) << c;
}

TEST(TrimAsciiSpace, TheFiveSpacesOfHtmlAtBothEndsOnly) {
  EXPECT_EQ(TrimAsciiSpace(" \t\n\f\ra b\r\n"), "a b");
  EXPECT_EQ(TrimAsciiSpace(" \t "), "");
  // A vertical tab and a no-break space (0xA0) are not HTML's white space.
  EXPECT_EQ(TrimAsciiSpace("\va\xA0"), "\va\xA0");
}

}  // namespace
}  // namespace tavex
