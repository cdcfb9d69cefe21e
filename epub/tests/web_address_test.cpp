// Web addresses made valid for the book.
#include "epub/web_address.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

TEST(WebAddress, HostsWithCyrillicOrAccentsGetTheirPunycodeForm) {
  EXPECT_EQ(PunycodeLabel("r\xc3\xb6m\xc3\xb6"), "xn--rm-fkab");
  EXPECT_EQ(PunycodeLabel("\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80"), "xn--e1afmkfd");
  EXPECT_EQ(PunycodeLabel("\xd0\x9f\xd0\xa0\xd0\x98\xd0\x9c\xd0\x95\xd0\xa0"), "xn--e1afmkfd");
  EXPECT_EQ(PunycodeLabel("Example"), "example");
  EXPECT_EQ(PunycodeLabel("\xff"), std::nullopt);
  EXPECT_EQ(EncodeWebAddress("https://\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80.\xd1\x80"
                             "\xd1\x84/\xd0\xbf?q=1 2#a#b"),
            "https://xn--e1afmkfd.xn--p1ai/%D0%BF?q=1%202#a%23b");
}

TEST(WebAddress, OtherPartsArePercentEncodedOnce) {
  EXPECT_EQ(EncodeWebAddress("http://example.com/a%20b%zz\"<>"),
            "http://example.com/a%20b%25zz%22%3C%3E");
  EXPECT_EQ(EncodeWebAddress("http://user@host.ru:8080"), "http://user@host.ru:8080");
  EXPECT_EQ(EncodeWebAddress("mailto:\xd0\xbf@mail.ru"), "mailto:%D0%BF@mail.ru");
  EXPECT_EQ(EncodeWebAddress("http://bad host/"), std::nullopt);
  EXPECT_EQ(EncodeWebAddress("https://%3C?php%20echo%20X;?%3Ehost.com/a/"), std::nullopt);
  EXPECT_EQ(EncodeWebAddress("http://us%40er@host.ru/"), "http://us%40er@host.ru/");
  EXPECT_EQ(EncodeWebAddress("http://a<b/"), std::nullopt);
}

}  // namespace
}  // namespace tavex
