#include "rules/fragment_edits.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"

namespace tavex {
namespace {

// Lines handled between two chances for pending window messages to run.
constexpr long kLinesPerPump = 1 << 14;

// A replace rule whose replacement keeps forming new occurrences further down
// (find a b, replacement b b a a) never ends and grows the article until memory
// runs out. No ordinary rule grows an article this much, so the rule is
// stopped with a message instead.
size_t GrowthLimit(size_t lines) {
  return 50 * lines + 1'000'000;
}

}  // namespace

void DeleteBlockEverywhere(LineList& article, LineList fragment) {
  SplitTagsToLines(fragment);
  const size_t n = fragment.size();
  const size_t count = article.size();
  if (n == 0 || count < n) return;
  LineList kept;
  kept.reserve(count);
  size_t i = 0;  // the next source line; kept.size() is its index in the edited list
  while (i + n <= count) {
    if (std::equal(fragment.begin(), fragment.end(), article.begin() + i)) {
      i += n;
      // The line that moves up into the removed place is passed over.
      if (i < count) kept.push_back(std::move(article[i++]));
    } else {
      kept.push_back(std::move(article[i++]));
    }
  }
  while (i < count) kept.push_back(std::move(article[i++]));
  article = std::move(kept);
}

void ReplaceBlockEverywhere(LineList& article, const LineList& find, const LineList& replacement,
                            MainWindow* window) {
  const size_t f = find.size();
  if (f == 0) return;
  int first = 0;
  if (!FindBlock(0, article, find, first, window)) return;
  int unused = 0;
  const bool reproduces = FindBlock(0, replacement, find, unused);

  // The article is done + reversed(ahead): done holds the lines above the
  // search position, ahead the lines from it on, the next one at its back, so
  // that stepping back and inserting happen at the ends of two vectors.
  LineList done;
  LineList ahead;
  done.reserve(article.size());
  ahead.reserve(article.size() - first + replacement.size());
  std::move(article.begin(), article.begin() + first, std::back_inserter(done));
  std::move(article.rbegin(), article.rend() - first, std::back_inserter(ahead));

  auto occurs_ahead = [&] {
    for (size_t k = 0; k < f; ++k)
      if (ahead[ahead.size() - 1 - k] != find[k]) return false;
    return true;
  };
  // Puts the two halves back together; also when a window handler ends the
  // run, so the article is never left in pieces.
  auto join = [&] {
    std::move(ahead.rbegin(), ahead.rend(), std::back_inserter(done));
    article = std::move(done);
  };
  const size_t limit = GrowthLimit(article.size());
  try {
    long steps = 0;
    while (ahead.size() >= f) {
      if (done.size() + ahead.size() > limit)
        throw Failure("A replace rule never ends: the article grew past " + std::to_string(limit) +
                      " lines");
      if (window && ++steps % kLinesPerPump == 0) window->ProcessMessages();
      if (!occurs_ahead()) {
        done.push_back(std::move(ahead.back()));
        ahead.pop_back();
        continue;
      }
      ahead.resize(ahead.size() - f);
      if (reproduces) {
        done.insert(done.end(), replacement.begin(), replacement.end());
        continue;
      }
      ahead.insert(ahead.end(), replacement.rbegin(), replacement.rend());
      // A new occurrence must reach into the replacement (or across the seam
      // an empty replacement leaves), so it starts at most f - 1 lines above.
      for (size_t back = std::min(f - 1, done.size()); back > 0; --back) {
        ahead.push_back(std::move(done.back()));
        done.pop_back();
      }
    }
  } catch (...) {
    join();
    throw;
  }
  join();
}

void InsertBlockIfAbsent(LineList& article, const LineList& fragment, int position,
                         MainWindow* window) {
  int found = 0;
  if (FindBlock(0, article, fragment, found, window)) return;
  if (position < 0 || position > LineCount(article)) throw ListIndexOutOfBounds(position);
  InsertBlock(position, article, fragment);
}

}  // namespace tavex
