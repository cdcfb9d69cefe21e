#include "mhtml/mhtml_reader.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_dir.h"

namespace tavex {
namespace {

using test::ReadFile;

const std::string kSamples = MYTAVEX_MHTML_SAMPLES;

// The two pictures both sample archives carry, as their parts hold them.
const std::string kGifStart("GIF89a\x01\x00\x01\x00", 10);
const std::string kPngStart = "\x89PNG\r\n\x1a\n";

std::string InternetExplorerSave() {
  return ReadFile(kSamples + "/saved_by_internet_explorer.mht");
}
std::string ChromeSave() {
  return ReadFile(kSamples + "/saved_by_chrome.mhtml");
}

TEST(ReadMhtmlBytes, InternetExplorerPageIsConvertedFromItsDeclaredCharset) {
  const auto archive = ReadMhtmlBytes(InternetExplorerSave());
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->charset, "utf-8");
  EXPECT_EQ(archive->location, "http://www.example.ru/news/2026/explosion.html");
  // Quoted-printable undone: soft line breaks joined, "=3D" and "=0D=0A" read.
  EXPECT_NE(archive->page.find("<TITLE>\xD0\x92\xD0\xB7\xD1\x80\xD1\x8B\xD0\xB2 "),
            std::string::npos)
      << archive->page;
  EXPECT_NE(archive->page.find("<IMG src=\"http://www.example.ru/images/Logo.gif\" width=88"),
            std::string::npos);
  EXPECT_NE(archive->page.find("</HEAD>\r\n<BODY>"), std::string::npos);
  EXPECT_EQ(archive->page.find("=\r\n"), std::string::npos);
}

TEST(ReadMhtmlBytes, PicturesKeepTheirLocationsAsWrittenAndTheirDecodedBytes) {
  const auto archive = ReadMhtmlBytes(InternetExplorerSave());
  ASSERT_TRUE(archive);
  ASSERT_EQ(archive->parts.size(), 2u);
  EXPECT_EQ(archive->parts[0].location, "http://www.example.ru/images/Logo.gif");
  EXPECT_EQ(archive->parts[0].media_type, "image/gif");
  EXPECT_EQ(archive->parts[0].bytes.substr(0, 10), kGifStart);
  EXPECT_EQ(archive->parts[0].bytes.size(), 43u);
  EXPECT_EQ(archive->parts[1].location, "pics/Ceh_1.png");  // relative, letter case kept
  EXPECT_EQ(archive->parts[1].media_type, "image/png");
  EXPECT_EQ(archive->parts[1].bytes.substr(0, 8), kPngStart);
}

TEST(ReadMhtmlBytes, ChromePageWithoutDeclaredCharsetStaysAsStored) {
  const auto archive = ReadMhtmlBytes(ChromeSave());
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->charset, "");
  EXPECT_EQ(archive->location, "https://www.example.ru/news/2026/explosion.html");
  EXPECT_NE(archive->page.find("charset=UTF-8"), std::string::npos);
  EXPECT_NE(archive->page.find("<img src=\"../pics/Ceh_1.png?v=2\" alt=\"\xD0\xA6"),
            std::string::npos);
  ASSERT_EQ(archive->parts.size(), 2u);
  EXPECT_EQ(archive->parts[1].location, "../pics/Ceh_1.png?v=2");
  EXPECT_EQ(archive->parts[1].bytes.substr(0, 8), kPngStart);
}

TEST(ReadMhtmlBytes, ContentIdsComeWithoutAngleBrackets) {
  const std::string archive_text =
      "MIME-Version: 1.0\r\n"
      "Content-Type: multipart/related; boundary=\"b\"; type=\"text/html\"\r\n\r\n"
      "--b\r\nContent-Type: text/html; charset=utf-8\r\n\r\n<img src=\"cid:pic1@x\">\r\n"
      "--b\r\nContent-Type: image/gif\r\nContent-ID: <pic1@x>\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\n"
      "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==\r\n--b--\r\n";
  const auto archive = ReadMhtmlBytes(archive_text);
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->charset, "utf-8");
  ASSERT_EQ(archive->parts.size(), 1u);
  EXPECT_EQ(archive->parts[0].content_id, "pic1@x");
  EXPECT_EQ(archive->parts[0].location, "");
  EXPECT_EQ(archive->parts[0].bytes.substr(0, 10), kGifStart);
}

TEST(ReadMhtmlBytes, SinglePartPageIsAnArchiveWithoutParts) {
  const auto archive = ReadMhtmlBytes(
      "MIME-Version: 1.0\r\nContent-Type: text/html; charset=\"koi8-r\"\r\n"
      "Content-Transfer-Encoding: quoted-printable\r\n\r\n<p>=F0=D2=C9=D7=C5=D4</p>\r\n");
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->page, "<p>\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82</p>\r\n");
  EXPECT_TRUE(archive->parts.empty());
}

TEST(ReadMhtmlBytes, UnknownCharsetLeavesTheBytesToThePageItself) {
  const auto archive = ReadMhtmlBytes(
      "MIME-Version: 1.0\r\nContent-Type: text/html; charset=\"x-no-such-charset\"\r\n\r\n"
      "<p>\xC0\xC1</p>\r\n");
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->charset, "");
  EXPECT_EQ(archive->page, "<p>\xC0\xC1</p>\r\n");
}

TEST(ReadMhtmlBytes, DamagedOrForeignFilesAreNoArchive) {
  const std::string whole = InternetExplorerSave();
  // Cut off before the first part begins: headers and preamble only.
  const std::string headers_only = whole.substr(0, whole.find("\r\n------=_NextPart"));
  // A boundary that no line of the body carries: no part is found.
  std::string wrong_boundary = whole;
  wrong_boundary.replace(wrong_boundary.find("boundary=\"") + 10, 4, "XXXX");
  for (const std::string& damaged :
       {std::string(), headers_only, wrong_boundary, std::string("\x00\x01\xff garbage", 12),
        std::string("MIME-Version: 1.0\r\nContent-Type: image/png\r\n\r\n\x89PNG")}) {
    EXPECT_FALSE(ReadMhtmlBytes(damaged)) << damaged.substr(0, 200);
  }
}

}  // namespace
}  // namespace tavex
