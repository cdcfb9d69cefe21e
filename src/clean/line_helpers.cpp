#include "clean/line_helpers.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <optional>
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

// The number of lines normalising gives, or nullopt when a tag stays open at
// the end. Outside a tag a "<" opens one, inside it the first ">" closes it,
// across line breaks; each tag is a line, and so is each stretch outside tags
// within one source line that holds a character above code 32 (the others
// are trimmed away). Squeezing and trimming never touch "<" or ">", so this
// is exactly the split's own count, and the split can reserve its lines once.
//
// It jumps from "<" to ">" and back with memchr, as the split itself does: a
// byte at a time, this count took a quarter of a build's processor time.
std::optional<size_t> CountPieces(const LineList& lines) {
  bool in_tag = false;
  size_t pieces = 0;
  for (const std::string& line : lines) {
    const char* p = line.data();
    const char* const end = p + line.size();
    while (p < end) {
      if (in_tag) {
        const void* gt = std::memchr(p, '>', static_cast<size_t>(end - p));
        if (!gt) break;
        in_tag = false;
        p = static_cast<const char*>(gt) + 1;
        continue;
      }
      const void* lt = std::memchr(p, '<', static_cast<size_t>(end - p));
      const char* const stop = lt ? static_cast<const char*>(lt) : end;
      while (p < stop && IsTrimmable(*p)) ++p;
      if (p < stop) ++pieces;  // the stretch before the "<" (or the line's end) holds text
      if (!lt) break;
      ++pieces;  // the tag
      in_tag = true;
      p = stop + 1;
    }
  }
  if (in_tag) return std::nullopt;
  return pieces;
}

// The high bit of each byte of word that equals b, exactly: no carry crosses
// from one byte into the next, so every byte is told apart.
uint64_t BytesEqualTo(uint64_t word, unsigned char b) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const uint64_t x = word ^ (kOnes * b);
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// The index of the second space of the first two in a row in text[0, n), or
// n when there are none. Eight bytes at a time: most runs of text have single
// spaces every few bytes, too many for a search per space. Adjacent bytes of
// a word are adjacent in the text whatever the byte order; the pair across
// two words is checked on the text itself.
size_t FirstDoubleSpace(const char* text, size_t n) {
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t word;
    std::memcpy(&word, text + i, sizeof word);
    const uint64_t spaces = BytesEqualTo(word, ' ');
    if ((spaces & (spaces >> 8)) || (i > 0 && text[i - 1] == ' ' && text[i] == ' ')) break;
  }
  for (i = std::max<size_t>(i, 1); i < n; ++i)
    if (text[i] == ' ' && text[i - 1] == ' ') return i;
  return n;
}

// Appends text to out, lower-cased when lower is set, keeping the first space
// of each run of spaces within text (a run is not joined with one that out
// already ends in). Squeezing a piece at a time gives the same text as
// squeezing the whole line first, because a run of spaces never crosses the
// "<" or ">" where pieces are cut, and trimming a piece removes whole runs.
void AppendSqueezed(std::string& out, std::string_view text, bool lower) {
  const size_t start = out.size();
  out.append(text);
  char* p = out.data() + start;
  const size_t size = text.size();
  if (lower)
    for (size_t k = 0; k < size; ++k) p[k] = LowerChar(p[k]);
  size_t n = FirstDoubleSpace(p, size);
  if (n == size) return;
  for (size_t k = n; k < size; ++k)
    if (!(p[k] == ' ' && p[k - 1] == ' ')) p[n++] = p[k];
  out.resize(start + n);
}

// Frees line i of the source once it is cut into pieces: the source is
// consumed as the normalised lines are built, so a large page is not held
// twice.
void Release(LineList& source, int i) {
  std::string().swap(source[i]);
}

// Builds the normalised lines from source, which it consumes; every tag must
// close (CountPieces). Each source line is trimmed, then cut at "<" and ">";
// a tag that goes on past its line takes the next lines, each trimmed and
// joined with one space, up to its ">".
void SplitInto(LineList& source, LineList& out) {
  const int count = LineCount(source);
  for (int i = 0; i < count; ++i) {
    std::string_view cur = Trim(source[i]);
    size_t at = 0;  // cur[at..] is what is left to cut into pieces
    while (at < cur.size()) {
      if (cur[at] == '<') {
        // No spaces right after "<".
        size_t from = at + 1;
        while (from < cur.size() && cur[from] == ' ') ++from;
        std::string tag = "<";
        size_t gt = cur.find('>', from);
        while (gt == std::string_view::npos) {
          AppendSqueezed(tag, cur.substr(from), true);
          Release(source, i);
          if (++i >= count) return;  // cannot happen once every tag closes
          cur = Trim(source[i]);
          tag += ' ';
          from = 0;
          gt = cur.find('>');
        }
        AppendSqueezed(tag, cur.substr(from, gt + 1 - from), true);
        out.push_back(std::move(tag));
        at = gt + 1;
        while (at < cur.size() && IsTrimmable(cur[at])) ++at;
      } else {
        const size_t lt = cur.find('<', at);
        const size_t end = lt == std::string_view::npos ? cur.size() : lt;
        std::string piece;
        AppendSqueezed(piece, Trim(cur.substr(at, end - at)), false);
        out.push_back(std::move(piece));
        at = end;
      }
    }
    Release(source, i);
  }
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

// A line that normalising gives back unchanged: a whole lower-case tag with
// no space after its "<" and its first ">" at its end, or a non-empty run of
// text without "<", trimmed, without two spaces in a row.
namespace {

// Whether text[0, n) holds a "<" or two spaces in a row: this runs over every
// text line of every article, most of its bytes.
bool HasTagStartOrDoubleSpace(const char* text, size_t n) {
  return std::memchr(text, '<', n) != nullptr || FirstDoubleSpace(text, n) < n;
}

bool IsNormalisedLine(const std::string& line) {
  if (line.empty() || IsTrimmable(line.front()) || IsTrimmable(line.back())) return false;
  if (line[0] != '<') return !HasTagStartOrDoubleSpace(line.data(), line.size());
  const size_t last = line.size() - 1;
  if (line[1] == ' ' || line[last] != '>') return false;
  // A tag: no two spaces in a row, no ">" before its end, no capital letter.
  for (size_t i = 0; i < last; ++i) {
    const char c = line[i];
    if ((c == ' ' && line[i + 1] == ' ') || c == '>' || LowerChar(c) != c) return false;
  }
  return true;
}

}  // namespace

bool IsNormalised(const LineList& lines) {
  return std::all_of(lines.begin(), lines.end(), IsNormalisedLine);
}

void SplitTagsToLines(LineList& lines) {
  // A tag still open at the end leaves the list as it was: that is known
  // before anything changes, so the list can be consumed as it is split.
  if (lines.empty() || IsNormalised(lines)) return;
  const std::optional<size_t> pieces = CountPieces(lines);
  if (!pieces) return;
  // Reserved once: no regrowth, no spare room on a page of 50 MB beyond a few
  // lines for the passes that insert some (the head repair, the content
  // table's wrapper, the heading), so that they do not move the whole list.
  constexpr size_t kSpareLines = 64;
  LineList out;
  out.reserve(*pieces + kSpareLines);
  SplitInto(lines, out);
  lines = std::move(out);
}

std::string SqueezeSpaces(std::string_view text) {
  std::string out;
  AppendSqueezed(out, Trim(text), false);
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
