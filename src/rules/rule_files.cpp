#include "rules/rule_files.h"

#include <optional>
#include <string>
#include <unordered_map>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr std::array<std::string_view, 4> kRuleKinds = {".bet", ".txt", ".cha", ".ins"};

// Index of a kind in kRuleKinds; -1 for any other extension. extension is
// lower case.
int KindOf(std::string_view extension) {
  for (size_t k = 0; k < kRuleKinds.size(); ++k)
    if (kRuleKinds[k] == extension) return static_cast<int>(k);
  return -1;
}

struct TCachedRule {
  TFileStamp stamp;
  std::shared_ptr<const LineList> lines;
};

// Every rule file read in this run, by path as listed. A few hundred small
// files at most; an entry whose file went away is dropped when it is next
// asked for.
std::unordered_map<std::string, TCachedRule>& RuleCache() {
  static std::unordered_map<std::string, TCachedRule> cache;
  return cache;
}

}  // namespace

void FindRuleFiles(std::string_view folder, std::string_view extension, LineList& list,
                   MainWindow* window) {
  const std::string wanted = LowerCase(extension);
  WalkFiles(
      folder,
      [window] {
        if (window) window->ProcessMessages();
      },
      [&](const std::string& path, std::string_view name) {
        if (LowerCase(ExtensionOf(name)) == wanted) list.push_back(path);
      });
}

const LineList& TRuleFolder::FilesOf(std::string_view extension) {
  if (!listed_) {
    listed_ = true;
    WalkFiles(
        kRuleFolder, [this] { window_.ProcessMessages(); },
        [this](const std::string& path, std::string_view name) {
          if (const int kind = KindOf(LowerCase(ExtensionOf(name))); kind >= 0)
            files_[kind].push_back(path);
        });
  }
  static const LineList kNone;
  const int kind = KindOf(LowerCase(extension));
  return kind >= 0 ? files_[kind] : kNone;
}

std::shared_ptr<const LineList> LoadRuleFile(const std::string& path) {
  auto& cache = RuleCache();
  // The stamp is taken before the file is read: an edit that lands while it
  // is read changes the stamp again, and the next look reads it anew.
  const std::optional<TFileStamp> stamp = FileStampOf(path);
  if (!stamp) {
    cache.erase(path);
    return std::make_shared<const LineList>(LoadLines(path));  // fails, naming the file
  }
  if (auto found = cache.find(path); found != cache.end() && found->second.stamp == *stamp)
    return found->second.lines;
  auto lines = std::make_shared<const LineList>(LoadLines(path));
  // A file changed just now could change again unseen within the same tick
  // of the file times: it is kept only once its stamp has settled.
  if (IsSettled(*stamp)) {
    cache[path] = {*stamp, lines};
  } else {
    cache.erase(path);
  }
  return lines;
}

void ForEachRuleFile(std::string_view extension, MainWindow& window,
                     const std::function<void(const LineList& rule)>& apply, TRuleFolder* folder) {
  std::optional<TRuleFolder> own;
  if (!folder) folder = &own.emplace(window);
  // A copy: a rule pass lets window messages run, and nothing must change the
  // list it walks.
  const LineList files = folder->FilesOf(extension);
  for (const std::string& path : files) {
    window.ProcessMessages();
    const std::shared_ptr<const LineList> rule = LoadRuleFile(path);
    try {
      apply(*rule);
    } catch (const Failure& failure) {
      throw failure.At(path);
    }
  }
}

LineList NormalisedFragment(const LineList& rule, int first, int end) {
  LineList fragment;
  if (first < end) fragment.assign(rule.begin() + first, rule.begin() + end);
  SplitTagsToLines(fragment);
  return fragment;
}

LineList NormalisedFragmentWithIssueNumber(const LineList& rule, int first, int end,
                                           const MainWindow& window) {
  LineList fragment;
  for (int i = first; i < end; ++i) fragment.push_back(SubstituteIssueNumber(rule[i], window));
  SplitTagsToLines(fragment);
  return fragment;
}

}  // namespace tavex
