// One rule pass with a fuzzed rule file.
//
// Compiled once per pass with RULE_EXTENSION (".bet", ".txt", ".cha", ".ins")
// and RULE_PASS (the pass's function). Input: the rule file's bytes; after a
// NUL, a page that is normalised as the cleaner does before its passes and
// becomes the article (without one, a small fixed article).
#include "app/memory_window.h"
#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "fuzz_support.h"
#include "rules/rule_passes.h"

using namespace tavex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const LineList kArticle = {"<html>", "<body>", "<table>", "<tr>",    "<td>",
                                    "text",   "#x1",    "</td>",   "</tr>",   "</table>",
                                    "<p>",    "more",   "</p>",    "</body>", "</html>"};
  const fuzz::Workspace& workspace = fuzz::Workspace::Get();
  const fuzz::TwoParts input = fuzz::SplitAtNul(fuzz::AsText(data, size));
  workspace.Write(std::string("HtmClear/rule") + RULE_EXTENSION, input.first);

  LineList article = kArticle;
  if (input.has_second) {
    article = SplitIntoLines(input.second);
    SplitTagsToLines(article);
  }
  MemoryWindow window;
  window.SetFieldText(Field::IssueNumber, "12");
  fuzz::IgnoringFailure([&] { RULE_PASS(article, window); });
  return 0;
}
