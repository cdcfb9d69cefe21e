// clean --explain: the cleaner's account of a page, step by step, on
// standard output. The core tells (clean/clean_trace.h); this prints.
#pragma once

#include <ostream>

#include "clean/clean_trace.h"

namespace tavex::cli {

// Texts of the page are cut to this many characters, and "…" put after.
inline constexpr size_t kExplainWidth = 60;

// One block of lines for each change told, as it comes, in UTF-8:
//   блок статьи: убрано строк 512, добавлено 3
//     первая убранная: «Главная»
//     первая добавленная: «<body>»
// and for a rule file, named as listed below HtmClear with the line of its
// rule: "правило ads\banner.bet, строка 3: убрано строк 10, добавлено 0". A
// line of what was removed or added is there only when there was some.
class ExplainPrinter : public TCleanTrace {
 public:
  explicit ExplainPrinter(std::ostream& out) : out_(out) {}
  void StepChanged(const TStepChange& change) override;

 private:
  std::ostream& out_;
};

}  // namespace tavex::cli
