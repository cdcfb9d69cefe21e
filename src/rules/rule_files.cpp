#include "rules/rule_files.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "clean/clean_trace.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"
#include "platform/file_stamp.h"
#include "platform/files.h"
#include "platform/shown_path.h"
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

// The last listing of the rule folder, with the stamp of every folder its
// walk searched (the rule folder first; nullopt where a folder was missing).
struct TRuleListing {
  std::vector<std::pair<std::string, std::optional<TFileStamp>>> folders;
  std::shared_ptr<const TRuleFolder::Kinds> files;
};

std::optional<TRuleListing>& KeptListing() {
  static std::optional<TRuleListing> kept;
  return kept;
}

bool StillHolds(const TRuleListing& listing) {
  for (const auto& [folder, stamp] : listing.folders)
    if (FolderStampOf(folder) != stamp) return false;
  return true;
}

TRuleListing ListRuleFolder(MainWindow& window) {
  TRuleListing listing;
  auto files = std::make_shared<TRuleFolder::Kinds>();
  WalkFiles(
      kRuleFolder, [&window] { window.ProcessMessages(); },
      [&files](const std::string& path, std::string_view name) {
        if (const int kind = KindOf(LowerCase(ExtensionOf(name))); kind >= 0)
          (*files)[kind].push_back(path);
      },
      // Each folder's stamp is taken before its entries are read: a change
      // that lands while they are read moves the stamp again.
      [&listing](const std::string& folder) {
        listing.folders.emplace_back(folder, FolderStampOf(folder));
      });
  listing.files = std::move(files);
  return listing;
}

bool AllSettled(const TRuleListing& listing) {
  for (const auto& [folder, stamp] : listing.folders)
    if (stamp && !IsSettled(*stamp)) return false;
  return true;
}

}  // namespace

const LineList& TRuleFolder::FilesOf(std::string_view extension) {
  if (!files_) {
    std::optional<TRuleListing>& kept = KeptListing();
    if (!kept || !StillHolds(*kept)) {
      TRuleListing listing = ListRuleFolder(window_);
      files_ = listing.files;
      kept.reset();
      if (AllSettled(listing)) kept = std::move(listing);
    } else {
      files_ = kept->files;
    }
  }
  static const LineList kNone;
  const int kind = KindOf(LowerCase(extension));
  return kind >= 0 ? (*files_)[kind] : kNone;
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

void WarnOfMissingRuleFolder(MainWindow& window) {
  if (!window.IsChecked(Switch::RemoveAds) && !window.IsChecked(Switch::ReplaceFragments) &&
      !window.IsChecked(Switch::InsertExtraInfo))
    return;
  if (FolderExists(kRuleFolder)) return;
  // "Нет папки правил HtmClear в рабочей папке %s: правила не применены"
  window.ShowWarning(FillIn(
      "\xcd\xe5\xf2 \xef\xe0\xef\xea\xe8 \xef\xf0\xe0\xe2\xe8\xeb HtmClear \xe2 \xf0\xe0\xe1\xee"
      "\xf7\xe5\xe9 \xef\xe0\xef\xea\xe5 %s: \xef\xf0\xe0\xe2\xe8\xeb\xe0 \xed\xe5 \xef\xf0\xe8"
      "\xec\xe5\xed\xe5\xed\xfb",
      {ShownPath(CurrentFolder())}));
}

std::string_view PathBelowRuleFolder(std::string_view path) {
  if (path.starts_with(kRuleFolder) && path.size() > kRuleFolder.size() &&
      (path[kRuleFolder.size()] == '\\' || path[kRuleFolder.size()] == '/'))
    return path.substr(kRuleFolder.size() + 1);
  return path;
}

void ForEachRuleFile(std::string_view extension, MainWindow& window,
                     const std::function<int(const LineList& rule)>& apply, TRuleFolder* folder,
                     const LineList* article) {
  std::optional<TRuleFolder> own;
  if (!folder) folder = &own.emplace(window);
  // A copy: a rule pass lets window messages run, and nothing must change the
  // list it walks.
  const LineList files = folder->FilesOf(extension);
  for (const std::string& path : files) {
    window.ProcessMessages();
    const std::shared_ptr<const LineList> rule = LoadRuleFile(path);
    TCleanTrace* trace = article ? folder->Trace() : nullptr;
    const LineList before = trace ? *article : LineList();
    int rule_line = 0;
    try {
      rule_line = apply(*rule);
    } catch (const Failure& failure) {
      throw failure.At(path);
    }
    if (trace && *article != before) {
      TStepChange change = DescribeChange(before, *article);
      change.Step = PathBelowRuleFolder(path);
      change.RuleLine = rule_line;
      trace->StepChanged(change);
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
