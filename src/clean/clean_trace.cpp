#include "clean/clean_trace.h"

#include <algorithm>
#include <unordered_map>

namespace tavex {
namespace {

bool IsText(const std::string& line) {
  return !line.empty() && line[0] != '<';
}

// The lines of from [first, end) that other [other_first, other_end) does not
// hold, each text counted as often as it stands; the first of them (a text
// line where there is one) goes into first.
int Unmatched(const LineList& from, size_t first, size_t end, const LineList& other,
              size_t other_first, size_t other_end, std::string& first_line) {
  std::unordered_map<std::string_view, int> budget;
  budget.reserve(other_end - other_first);
  for (size_t i = other_first; i < other_end; ++i) ++budget[other[i]];
  int unmatched = 0;
  const std::string* first_any = nullptr;
  const std::string* first_text = nullptr;
  for (size_t i = first; i < end; ++i) {
    const auto found = budget.find(from[i]);
    if (found != budget.end() && found->second > 0) {
      --found->second;
      continue;
    }
    ++unmatched;
    if (!first_any) first_any = &from[i];
    if (!first_text && IsText(from[i])) first_text = &from[i];
  }
  if (first_text || first_any) first_line = first_text ? *first_text : *first_any;
  return unmatched;
}

}  // namespace

TStepChange DescribeChange(const LineList& before, const LineList& after) {
  // What the two share at both ends is set aside first: most steps change a
  // part of the page.
  size_t head = 0;
  const size_t shorter = std::min(before.size(), after.size());
  while (head < shorter && before[head] == after[head]) ++head;
  size_t tail = 0;
  while (tail < shorter - head &&
         before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
    ++tail;
  TStepChange change;
  change.Removed = Unmatched(before, head, before.size() - tail, after, head, after.size() - tail,
                             change.FirstRemoved);
  change.Added = Unmatched(after, head, after.size() - tail, before, head, before.size() - tail,
                           change.FirstAdded);
  return change;
}

TStepWatch::TStepWatch(TCleanTrace* trace, const LineList& article)
    : trace_(trace), article_(article) {
  if (trace_) seen_ = article_;
}

void TStepWatch::After(std::string_view step) {
  if (!trace_) return;
  if (article_ != seen_) {
    TStepChange change = DescribeChange(seen_, article_);
    change.Step = step;
    trace_->StepChanged(change);
    seen_ = article_;
  }
}

void TStepWatch::Resync() {
  if (trace_) seen_ = article_;
}

}  // namespace tavex
