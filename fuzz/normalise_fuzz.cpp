// The normalising pass and the small line routines around it.
//
// Input: a page; after a NUL, a second text used as the fragment to remove,
// the block to search for and the issue number. Beyond not crashing, the pass
// must keep its one promise: a list is either left exactly as it was (a tag
// still open at the end) or comes out without a blank line, in a list
// reserved once for exactly its lines and the spare room. On short inputs
// the linear removal and squeezing are checked against their plain
// definitions, which are quadratic and so kept to a few kilobytes.
#include <cstdlib>

#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "fuzz_support.h"
#include "support/plain_squeeze.h"

using namespace tavex;
using tavex::test::SqueezePlainly;

namespace {

constexpr size_t kOracleLimit = 4096;  // bytes of text the plain definitions get

// Deletes the first occurrence until none is left, as the definition reads.
std::string RemoveOneByOne(std::string_view what, std::string text) {
  if (what.empty()) return text;
  for (size_t at; (at = text.find(what)) != std::string::npos;) text.erase(at, what.size());
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::TwoParts input = fuzz::SplitAtNul(fuzz::AsText(data, size));
  fuzz::IgnoringFailure([&] {
    const LineList original = SplitIntoLines(input.first);
    LineList lines = original;
    SplitTagsToLines(lines);
    if (lines != original) {
      for (const std::string& line : lines)
        if (line.empty()) std::abort();
      // The lines are counted before the split and reserved once, with a
      // fixed spare room: a miscount shows as a list grown or cut short.
      if (lines.capacity() != lines.size() + 64) std::abort();
    }

    LineList block = SplitIntoLines(input.second);
    SplitTagsToLines(block);
    int found = 0;
    FindBlock(0, lines, block, found);
    FindLine(input.second, lines);

    std::string text(input.first);
    RemoveAllOccurrences(input.second, text);
    const std::string squeezed = SqueezeSpaces(input.first);
    if (input.first.size() <= kOracleLimit) {
      if (text != RemoveOneByOne(input.second, std::string(input.first))) std::abort();
      if (squeezed != SqueezePlainly(input.first)) std::abort();
    }
    SubstituteIssueNumber(input.first, input.second);
  });
  return 0;
}
