#include "cli/cli_summary.h"

#include <filesystem>

#include "clean/article_title.h"
#include "clean/pictures.h"
#include "cli/cli_edition.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

std::string Quoted(std::string_view cp1251) {
  return "\"" + Cp1251ToUtf8(cp1251) + "\"";
}

}  // namespace

std::string ShownAbsolute(std::string_view path) {
  std::error_code ec;
  fs::path shown = fs::absolute(NativePath(path), ec);
  if (ec) shown = NativePath(path);
  return Utf8OfPath(shown.lexically_normal());
}

void PrintBuildSummary(const CliWindow& window, const ArticleTable& table, std::ostream& out,
                       std::ostream& err) {
  if (!window.reviewed()) return;
  const ReviewedIssue& issue = *window.reviewed();
  const std::string folder = issue.facts.TargetDir;

  int rubrics = 0, articles = 0, dropped = 0;
  for (const auto& rubric : table.Rubrics) {
    if (!rubric.empty()) ++rubrics;
    for (const TArticleEntry& article : rubric) {
      ++articles;
      if (!article.Included) ++dropped;
    }
  }
  out << "Issue " << Cp1251ToUtf8(issue.facts.IssueNumber) << ": " << ShownAbsolute(folder) << "\n"
      << "  start page: " << ShownAbsolute(folder + "\\index.htm") << "\n";
  // Asked only when a book was to be made: the edition's plug-in may be missing.
  if (issue.made_book) {
    const std::string book = EditionBookPath(issue.facts);
    if (!book.empty() && FileExists(book)) out << "  book: " << ShownAbsolute(book) << "\n";
  }
  out << "  rubrics " << rubrics << ", articles " << articles << ", pictures "
      << PictureRegister().Count() << ", dropped " << dropped << "\n";

  for (const auto& rubric : table.Rubrics)
    for (const TArticleEntry& article : rubric)
      if (article.Title == kUnknownTitle && article.Included)
        err << "warning: no title found for " << ShownAbsolute(article.FilePath)
            << "; it is listed as " << Quoted(kUnknownTitle) << "\n";
  for (const std::string& title : window.unmatched_exclusions())
    err << "warning: --exclude \"" << title << "\" matches no article\n";
}

}  // namespace tavex::cli
