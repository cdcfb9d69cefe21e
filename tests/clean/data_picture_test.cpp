#include "clean/data_picture.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

TEST(PictureExtensionOf, PictureTypesOnlyWhateverTheirSpelling) {
  EXPECT_EQ(PictureExtensionOf("image/png"), ".png");
  EXPECT_EQ(PictureExtensionOf(" IMAGE/JPEG ; q=1"), ".jpg");
  EXPECT_EQ(PictureExtensionOf("image/jpg"), ".jpg");
  EXPECT_EQ(PictureExtensionOf("image/gif"), ".gif");
  EXPECT_EQ(PictureExtensionOf("image/webp"), ".webp");
  EXPECT_EQ(PictureExtensionOf("image/svg+xml;charset=utf-8"), ".svg");
  for (const char* other : {"", "text/html", "image/x-icon", "image/svg", "application/pdf"})
    EXPECT_EQ(PictureExtensionOf(other), "") << other;
}

TEST(DecodeDataPicture, Base64KeepsLetterCaseAndIgnoresWhiteSpace) {
  // "Hello?" is SGVsbG8/ : capitals, small letters and "/" all count.
  const auto picture = DecodeDataPicture("data:image/png;base64,SGVs\n bG8/");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->extension, ".png");
  EXPECT_EQ(picture->bytes, "Hello?");
  // Lower-cased, the same text is other bytes: why pictures leave the page first.
  EXPECT_NE(DecodeDataPicture("data:image/png;base64,sgvsbg8/")->bytes, "Hello?");
}

TEST(DecodeDataPicture, PaddingIsOptionalAndShortGroupsDecode) {
  EXPECT_EQ(DecodeDataPicture("data:image/gif;base64,YQ==")->bytes, "a");
  EXPECT_EQ(DecodeDataPicture("data:image/gif;base64,YQ")->bytes, "a");
  EXPECT_EQ(DecodeDataPicture("data:image/gif;base64,YWI=")->bytes, "ab");
  EXPECT_EQ(DecodeDataPicture("data:image/gif;base64,YWJj")->bytes, "abc");
  // A "+" written as "%2B" (percent-encoding comes off first).
  EXPECT_EQ(DecodeDataPicture("data:image/gif;base64,%2B%2B%2B%2B")->bytes, "\xfb\xef\xbe");
  EXPECT_EQ(DecodeDataPicture("DATA:Image/PNG ; BASE64 ,YWJj")->bytes, "abc");
}

TEST(DecodeDataPicture, PercentEncodedSvg) {
  const auto picture = DecodeDataPicture(
      "data:image/svg+xml;charset=utf-8,%3Csvg%20xmlns='http://www.w3.org/2000/svg'%3E%3C/svg%3E");
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->extension, ".svg");
  EXPECT_EQ(picture->bytes, "<svg xmlns='http://www.w3.org/2000/svg'></svg>");
  // A "%" without two hexadecimal digits after it stays.
  EXPECT_EQ(DecodeDataPicture("data:image/svg+xml,100%25 %zz %")->bytes, "100% %zz %");
}

TEST(DecodeDataPicture, WhatCannotBeDecodedIsNothing) {
  for (const char* broken : {
           "data:image/png;base64,YQ=x",   // "=" inside
           "data:image/png;base64,Y",      // one symbol left over
           "data:image/png;base64,YWJjZ",  // five symbols
           "data:image/png;base64,YW*j",   // not in the alphabet
           "data:image/png;base64,YQ===",  // three "="
           "data:image/png;base64,",       // no bytes
           "data:image/png,",              // no bytes
           "data:image/png;base64",        // no comma
           "data:text/html,<p>x</p>",      // not a picture
           "data:,abc",                    // text/plain by default
           "image/png;base64,YWJj",        // not a data: address
           "http://x.ru/a.png",
       })
    EXPECT_FALSE(DecodeDataPicture(broken)) << broken;
}

}  // namespace
}  // namespace tavex
