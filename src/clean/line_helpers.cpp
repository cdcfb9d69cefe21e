#include "clean/line_helpers.h"

#include <algorithm>
#include <chrono>
#include <vector>

#include "app/main_window.h"
#include "platform/text.h"

namespace tavex {
namespace {

// A pump per candidate line would cost more than the search itself, so the
// block search lets messages run only when this much time has passed.
constexpr auto kPumpInterval = std::chrono::milliseconds(5);

void PumpIfDue(MainWindow* window) {
  using Clock = std::chrono::steady_clock;
  static thread_local Clock::time_point last_pump{};
  if (!window) return;
  auto now = Clock::now();
  if (now - last_pump < kPumpInterval) return;
  last_pump = now;
  window->ProcessMessages();
}

bool IsTrimmable(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsTrimmable(s[b])) ++b;
  while (e > b && IsTrimmable(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Builds the normalised lines; false when a tag is still open at the end.
bool SplitInto(const LineList& source, LineList& out) {
  const int count = LineCount(source);
  for (int i = 0; i < count; ++i) {
    std::string cur = SqueezeSpaces(source[i]);
    size_t at = 0;  // cur[at..] is what is left to cut into pieces
    while (at < cur.size()) {
      if (cur[at] == '<') {
        // Drop the spaces right after "<" by moving the "<" forward over them.
        size_t skip = 0;
        while (at + skip + 1 < cur.size() && cur[at + skip + 1] == ' ') ++skip;
        cur[at + skip] = '<';
        at += skip;
        size_t gt = cur.find('>', at);
        while (gt == std::string::npos) {
          if (++i >= count) return false;
          // Join the next line on; only the new part can hold the ">".
          cur.erase(0, at);
          at = 0;
          size_t searched = cur.size();
          cur += ' ';
          cur += SqueezeSpaces(source[i]);
          gt = cur.find('>', searched);
        }
        out.push_back(LowerCase(Trim(std::string_view(cur).substr(at, gt + 1 - at))));
        at = gt + 1;
        // The rest is already squeezed; it only needs its front trimmed.
        while (at < cur.size() && IsTrimmable(cur[at])) ++at;
      } else {
        size_t lt = cur.find('<', at);
        size_t end = lt == std::string::npos ? cur.size() : lt;
        std::string_view piece = Trim(std::string_view(cur).substr(at, end - at));
        out.emplace_back(piece);
        at = end;
      }
    }
  }
  return true;
}

}  // namespace

int FindLine(std::string_view text, const LineList& lines) {
  for (int i = 0; i < LineCount(lines); ++i)
    if (EqualsIgnoreCase(lines[i], text)) return i;
  return 0;
}

bool FindBlock(int start, const LineList& lines, const LineList& block, int& found,
               MainWindow* window) {
  found = 0;
  const int m = LineCount(block);
  const int last = LineCount(lines) - m;
  for (int k = start < 0 ? 0 : start; k <= last; ++k) {
    if ((k & 63) == 0) PumpIfDue(window);
    int j = 0;
    while (j < m && lines[k + j] == block[j]) ++j;
    if (j == m) {
      found = k;
      return true;
    }
  }
  return false;
}

void InsertBlock(int index, LineList& lines, const LineList& block) {
  lines.insert(lines.begin() + index, block.begin(), block.end());
}

void SplitTagsToLines(LineList& lines) {
  if (lines.empty()) return;
  // Every tag and most runs of text start a line: reserving for them spares
  // the list its regrowth on a page written on one line.
  size_t expected = lines.size();
  for (const auto& line : lines) expected += std::count(line.begin(), line.end(), '<');
  LineList out;
  out.reserve(expected);
  if (SplitInto(lines, out)) lines = std::move(out);
}

std::string SqueezeSpaces(std::string_view text) {
  std::string_view t = Trim(text);
  std::string out(t.size(), '\0');
  size_t n = 0;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == ' ' && i > 0 && t[i - 1] == ' ') continue;
    out[n++] = t[i];
  }
  out.resize(n);
  return out;
}

void RemoveAllOccurrences(std::string_view what, std::string& text) {
  const size_t m = what.size();
  if (m == 0 || text.size() < m) return;
  // Removing the leftmost occurrence again and again gives the same text as
  // one left-to-right pass that drops the pattern whenever the output ends with
  // it; the KMP state of every output character makes that pass linear.
  std::vector<size_t> fail(m, 0);
  for (size_t i = 1, k = 0; i < m; ++i) {
    while (k > 0 && what[i] != what[k]) k = fail[k - 1];
    if (what[i] == what[k]) ++k;
    fail[i] = k;
  }
  std::string out;
  std::vector<size_t> state;  // matched length after each output character
  out.reserve(text.size());
  state.reserve(text.size());
  for (char c : text) {
    size_t k = state.empty() ? 0 : state.back();
    while (k > 0 && c != what[k]) k = fail[k - 1];
    if (c == what[k]) ++k;
    out += c;
    state.push_back(k);
    if (k == m) {
      out.resize(out.size() - m);
      state.resize(state.size() - m);
    }
  }
  text = std::move(out);
}

std::string SubstituteIssueNumber(std::string_view text, std::string_view issue_number) {
  std::string out;
  size_t at = 0;
  while (true) {
    size_t p = at;
    while (p + 1 < text.size() && !(text[p] == '#' && LowerChar(text[p + 1]) == 'x')) ++p;
    if (p + 1 >= text.size()) break;
    out.append(text.substr(at, p - at));
    out.append(issue_number);
    at = p + 3 > text.size() ? text.size() : p + 3;
  }
  out.append(text.substr(at));
  return out;
}

std::string SubstituteIssueNumber(std::string_view text, const MainWindow& window) {
  return SubstituteIssueNumber(text, window.FieldText(Field::IssueNumber));
}

}  // namespace tavex
