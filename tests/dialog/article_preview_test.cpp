// The review dialog's preview: an article's page and the issue's pictures it
// refers to, over a real issue folder.
#include "dialog/article_preview.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

class ArticlePreview : public ::testing::Test {
 protected:
  ArticlePreview() {
    test::WriteFile(work_.path() / "out" / "pub" / "0.htm", "<html><body>Page</body></html>\r\n");
    test::WriteFile(work_.path() / "out" / "images" / "3.gif", "GIF89a");
    test::WriteFile(work_.path() / "secret.gif", "GIF89a");
  }
  std::string Page() const { return work_ / "out\\pub\\0.htm"; }
  test::TempDir work_;
};

TEST_F(ArticlePreview, ReadsThePageAsWritten) {
  EXPECT_EQ(PreviewPage(Page()), std::optional<std::string>("<html><body>Page</body></html>\r\n"));
  EXPECT_EQ(PreviewPage(work_ / "out\\pub\\9.htm"), std::nullopt);
}

// The page's "..\Images\N.gif" is the build's images folder, also where the
// system tells letter case apart and no "Images" alias was made.
TEST_F(ArticlePreview, FindsTheIssuesPicturesAsThePageNamesThem) {
  const std::string picture = PreviewPicturePath(Page(), "..\\Images\\3.gif");
  ASSERT_FALSE(picture.empty());
  EXPECT_EQ(ReadFileBytes(picture), std::optional<std::string>("GIF89a"));
  EXPECT_FALSE(PreviewPicturePath(Page(), "../images/./3.gif").empty());
  EXPECT_FALSE(PreviewPicturePath(Page(), "..\\pub\\..\\images\\3.gif").empty());
}

TEST_F(ArticlePreview, FindsNothingOutOfTheIssueNorOnTheWeb) {
  for (const char* reference :
       {"..\\..\\secret.gif", "../../secret.gif", "..\\Images\\4.gif", "http://example.com/3.gif",
        "file:///etc/passwd", "/etc/passwd", "\\\\host\\share\\3.gif", "C:\\3.gif", "", ".."})
    EXPECT_EQ(PreviewPicturePath(Page(), reference), "") << reference;
  EXPECT_EQ(PreviewPicturePath("0.htm", "..\\Images\\3.gif"), "");
}

}  // namespace
}  // namespace tavex
