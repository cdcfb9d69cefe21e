#include "cli/cli_explain.h"

#include <string>
#include <string_view>

#include "platform/text.h"

namespace tavex::cli {
namespace {

// The labels, in Windows-1251 like the page's texts, turned into the
// terminal's UTF-8 with them.
// "правило"
constexpr std::string_view kRule = "\xef\xf0\xe0\xe2\xe8\xeb\xee";
// "строка"
constexpr std::string_view kLine = "\xf1\xf2\xf0\xee\xea\xe0";
// "убрано строк"
constexpr std::string_view kRemoved = "\xf3\xe1\xf0\xe0\xed\xee \xf1\xf2\xf0\xee\xea";
// "добавлено"
constexpr std::string_view kAdded = "\xe4\xee\xe1\xe0\xe2\xeb\xe5\xed\xee";
// "первая убранная"
constexpr std::string_view kFirstRemoved =
    "\xef\xe5\xf0\xe2\xe0\xff \xf3\xe1\xf0\xe0\xed\xed\xe0\xff";
// "первая добавленная"
constexpr std::string_view kFirstAdded =
    "\xef\xe5\xf0\xe2\xe0\xff \xe4\xee\xe1\xe0\xe2\xeb\xe5\xed\xed\xe0\xff";
// "«", "»" and "…" in Windows-1251.
constexpr std::string_view kOpenQuote = "\xab";
constexpr std::string_view kCloseQuote = "\xbb";
constexpr std::string_view kEllipsis = "\x85";

// A page's text cut to the width (characters are bytes in Windows-1251, so
// the cut never splits one) and quoted.
std::string Quoted(std::string_view text) {
  std::string out(kOpenQuote);
  if (text.size() > kExplainWidth) {
    out.append(text.substr(0, kExplainWidth));
    out.append(kEllipsis);
  } else {
    out.append(text);
  }
  out.append(kCloseQuote);
  return out;
}

// "  LABEL: «TEXT»" on a line of its own.
void AppendFirst(std::string& block, std::string_view label, std::string_view text) {
  block.append("  ").append(label).append(": ").append(Quoted(text)).append("\n");
}

}  // namespace

void ExplainPrinter::StepChanged(const TStepChange& change) {
  std::string block;
  if (change.RuleLine > 0) {
    block.append(kRule).append(" ").append(change.Step).append(", ").append(kLine).append(" ");
    block.append(std::to_string(change.RuleLine));
  } else {
    block.append(change.Step);
  }
  block.append(": ").append(kRemoved).append(" ").append(std::to_string(change.Removed));
  block.append(", ").append(kAdded).append(" ").append(std::to_string(change.Added)).append("\n");
  if (change.Removed > 0) AppendFirst(block, kFirstRemoved, change.FirstRemoved);
  if (change.Added > 0) AppendFirst(block, kFirstAdded, change.FirstAdded);
  out_ << Cp1251ToUtf8(block);
}

}  // namespace tavex::cli
