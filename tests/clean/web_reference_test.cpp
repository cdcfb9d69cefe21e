#include "clean/web_reference.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

// The normal and abnormal examples of RFC 3986, section 5.4, against its base.
TEST(ResolveWebReference, TheStandardsExamples) {
  const std::string base = "http://a/b/c/d;p?q";
  const std::pair<const char*, const char*> cases[] = {
      {"g:h", "g:h"},
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q"},  // the fragment dropped
      {"g#s", "http://a/b/c/g"},
      {";x", "http://a/b/c/;x"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"./", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../g", "http://a/g"},
      {"../../../g", "http://a/g"},
      {"../../../../g", "http://a/g"},
      {"/./g", "http://a/g"},
      {"/../g", "http://a/g"},
      {"g.", "http://a/b/c/g."},
      {"..g", "http://a/b/c/..g"},
      {"./../g", "http://a/b/g"},
      {"g/./h", "http://a/b/c/g/h"},
      {"g/../h", "http://a/b/c/h"},
      {"g;x=1/../y", "http://a/b/c/y"},
      {"g?y/./x", "http://a/b/c/g?y/./x"},
  };
  for (const auto& [reference, expected] : cases)
    EXPECT_EQ(ResolveWebReference(base, reference), expected) << reference;
}

TEST(ResolveWebReference, SavedPagesAddresses) {
  EXPECT_EQ(ResolveWebReference("https://x.ru/news/1.html", "img/a.png"),
            "https://x.ru/news/img/a.png");
  EXPECT_EQ(ResolveWebReference("https://x.ru", "a.png"), "https://x.ru/a.png");
  EXPECT_EQ(ResolveWebReference("https://x.ru/news/1.html", "//cdn.x.ru/a.png"),
            "https://cdn.x.ru/a.png");
  EXPECT_EQ(ResolveWebReference("https://x.ru/a/", "https://y.ru/b/../c.png"),
            "https://y.ru/c.png");
  // Without a base the reference is all there is.
  EXPECT_EQ(ResolveWebReference("", "pics/a.png#top"), "pics/a.png");
  // A relative base (an archive that names its page so) still joins.
  EXPECT_EQ(ResolveWebReference("news/1.html", "../pics/a.png"), "pics/a.png");
}

}  // namespace
}  // namespace tavex
