// Discovery and reading of the editor's rule files.
//
// Rule files live in the folder "HtmClear" of the current folder and in its
// sub-folders to any depth. Each file holds one rule; its kind is told by the
// extension (".bet" cut, ".txt" delete, ".cha" replace, ".ins" insert). The
// program only reads them: it never creates, changes or deletes a rule file.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string_view>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;
class TCleanTrace;

inline constexpr std::string_view kRuleFolder = "HtmClear";

// One article's view of the rule folder "HtmClear" and its sub-folders to any
// depth. The first pass that asks for files takes the folder's listing, and
// every later pass of the same article takes that same listing. Rule files
// are the files whose extension (from the last "." of the name, "." included)
// is a rule kind with letter case ignored: "Rule.BET" is a ".bet" rule,
// "rule.bet.old" none. They come in name order with letter case ignored
// (folders searched depth first where the listing meets them), the same on
// every machine; paths keep the names as listed (a case-sensitive file
// system needs them). A missing folder has no rules.
//
// A listing is kept for the next articles while every folder it searched
// keeps its stamp (see platform/file_stamp.h): adding, removing or renaming a
// rule file anywhere in the tree moves the stamp of the folder that holds it,
// so a rule added during a build is found from the next article on, at one
// look per folder instead of a walk. A listing that met a folder changed in
// the last seconds is not kept (the folder could change again within the
// same tick of its times).
class TRuleFolder {
 public:
  explicit TRuleFolder(MainWindow& window) : window_(window) {}
  TRuleFolder(const TRuleFolder&) = delete;
  TRuleFolder& operator=(const TRuleFolder&) = delete;

  // The rule files of one kind (".bet", ".txt", ".cha" or ".ins"), in the
  // order above; any other extension has none.
  const LineList& FilesOf(std::string_view extension);

  // The rule files by kind, in the order above.
  using Kinds = std::array<LineList, 4>;

  // Where the passes tell what each rule file changed (null: nowhere).
  void SetTrace(TCleanTrace* trace) { trace_ = trace; }
  TCleanTrace* Trace() const { return trace_; }

 private:
  MainWindow& window_;
  TCleanTrace* trace_ = nullptr;
  std::shared_ptr<const Kinds> files_;  // null until the first pass asks
};

// A warning, once per run, when a switch that applies rules is on
// (RemoveAds, ReplaceFragments, InsertExtraInfo) and the working folder has no
// rule folder: the run goes on without rules, which would otherwise pass
// unnoticed.
void WarnOfMissingRuleFolder(MainWindow& window);

// The lines of a rule file. A file read before is read again only when its
// size, times or identity changed (see platform/file_stamp.h), so a rule
// edited during a build takes effect for the next article while unchanged
// rules cost one look at the file each. A file changed in the last seconds is
// read every time until its stamp settles. The answer stays valid after the
// file is read again. Fails with "Cannot open file %s".
std::shared_ptr<const LineList> LoadRuleFile(const std::string& path);

// For each rule file of one kind in order, lets pending window messages run,
// loads it and hands its lines to apply, which answers the line (from 1) of
// the rule's marker, 1 for a rule without one. With folder null, "HtmClear" is
// listed for this call alone. A failure while a rule is applied names the rule
// file, as listed, on its second line (see platform/failure.h). When the
// folder has a trace, each rule file that changed article is told to it under
// its path below "HtmClear" and that line.
void ForEachRuleFile(std::string_view extension, MainWindow& window,
                     const std::function<int(const LineList& rule)>& apply,
                     TRuleFolder* folder = nullptr, const LineList* article = nullptr);

// A rule file's path as listed, less the rule folder in front of it:
// "ads\banner.bet" for "HtmClear\ads\banner.bet".
std::string_view PathBelowRuleFolder(std::string_view path);

// Rule lines [first, end) as a fragment in the article's normalised form, so a
// fragment may be written on one line or many, in any letter case and spacing.
LineList NormalisedFragment(const LineList& rule, int first, int end);
// The same after the issue-number token of every line is replaced by the
// current issue number (replace and insert rules only).
LineList NormalisedFragmentWithIssueNumber(const LineList& rule, int first, int end,
                                           const MainWindow& window);

}  // namespace tavex
