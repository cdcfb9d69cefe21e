// The normalising pass and the small line routines around it.
//
// Input: a page; after a NUL, a second text used as the fragment to remove,
// the block to search for and the issue number. Beyond not crashing, the pass
// must keep its one promise: a list is either left exactly as it was (a tag
// still open at the end) or comes out without a blank line.
#include <cstdlib>

#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "fuzz_support.h"

using namespace tavex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fuzz::TwoParts input = fuzz::SplitAtNul(fuzz::AsText(data, size));
  fuzz::IgnoringFailure([&] {
    const LineList original = SplitIntoLines(input.first);
    LineList lines = original;
    SplitTagsToLines(lines);
    if (lines != original)
      for (const std::string& line : lines)
        if (line.empty()) std::abort();

    LineList block = SplitIntoLines(input.second);
    SplitTagsToLines(block);
    int found = 0;
    FindBlock(0, lines, block, found);
    FindLine(input.second, lines);

    std::string text(input.first);
    RemoveAllOccurrences(input.second, text);
    SqueezeSpaces(input.first);
    SubstituteIssueNumber(input.first, input.second);
  });
  return 0;
}
