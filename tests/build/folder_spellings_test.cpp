// Random spellings of TargetDir, IssuesRoot and SourceDir ("..", missing
// levels, letter case, links, doubled and trailing separators, both
// separators) drawn over one tree that holds a working folder, its sources,
// its contents file and an earlier issue. Whatever a spelling leads to, a
// build changes at most one issue tree and only the files a build writes
// there; every other file stays byte for byte, the contents file only gains
// lines, and no issue tree ever appears as the working folder or in a rubric
// folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>

#include "app/memory_window.h"
#include "build/issue_tree.h"
#include "build/start_run.h"
#include "clean/line_list.h"
#include "platform/failure.h"
#include "support/tree_snapshot.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::WriteFile;

using test::kPosix;

// 2,000 unless MYTAVEX_SPELLINGS says otherwise (a slower build may run fewer).
int SpellingCount() {
  const char* set = std::getenv("MYTAVEX_SPELLINGS");
  return set && *set ? std::atoi(set) : 2000;
}

constexpr const char* kContents = "wd/help/Table of Contents.hhc";

// The tree every spelling is drawn over, made afresh for each.
void PlantTree(const fs::path& root) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root, ec)) fs::remove_all(entry.path(), ec);
  const fs::path wd = root / "wd";
  WriteFile(wd / "left.htm", test::kLeftTemplate);
  WriteFile(wd / "index.htm", test::kIndexTemplate);
  WriteFile(wd / "tvred.gif", "GIF89a-red");
  WriteFile(wd / "Logo.gif", "GIF89a-logo");
  WriteFile(wd / "HtmClear" / "ads.txt", "<blink>\r\n");
  WriteFile(root / kContents, test::kContentsWithIssue10);
  WriteFile(wd / "source" / "Internet" / "a.htm",
            "<html><head><title>A</title></head><body><img src=p.gif>A</body></html>");
  WriteFile(wd / "source" / "Internet" / "p.gif", "GIF89a-p");
  WriteFile(wd / "source" / "System" / "b.htm", "<html><head><title>B</title></head></html>");
  WriteFile(root / "lib" / "notes.txt", "the editor's notes");
  // An issue built earlier, with everything a build writes.
  WriteFile(root / "iss" / kIssueMarkFile, "mark");
  WriteFile(root / "iss" / "index.htm", "old start");
  WriteFile(root / "iss" / "frame" / "left.htm", "old navigation");
  WriteFile(root / "iss" / "pub" / "0.htm", "old page");
  WriteFile(root / "iss" / "images" / "1.gif", "old picture");
  if (kPosix) {
    fs::create_directory_symlink(wd, root / "lib" / "to-wd");
    fs::create_directory_symlink(root / "iss" / "pub", root / "lib" / "to-pub");
  }
}

class Speller {
 public:
  explicit Speller(unsigned seed) : random_(seed) {}

  // One spelling of root/relative.
  std::string Spell(const fs::path& root, std::string relative) {
    if (kPosix && relative.rfind("wd", 0) == 0 && Chance(0.2))
      relative = "lib/to-wd" + relative.substr(2);
    if (kPosix && relative.rfind("iss/pub", 0) == 0 && Chance(0.2))
      relative = "lib/to-pub" + relative.substr(7);
    std::string text = root.string();
    for (const std::string& part : Parts(relative)) {
      if (Chance(0.15)) text += Separator() + Detour();
      text += Separator() + Cased(part);
    }
    if (Chance(0.3)) text += Separator();
    return text;
  }

  template <typename T>
  const T& Pick(const std::vector<T>& options) {
    return options[std::uniform_int_distribution<size_t>(0, options.size() - 1)(random_)];
  }

 private:
  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }

  static std::vector<std::string> Parts(const std::string& relative) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < relative.size()) {
      size_t end = relative.find('/', start);
      if (end == std::string::npos) end = relative.size();
      parts.push_back(relative.substr(start, end - start));
      start = end + 1;
    }
    return parts;
  }

  std::string Separator() { return Pick(std::vector<std::string>{"/", "\\", "//", "/./"}); }

  // A way out and back: a level that does not exist, one that does, a link.
  std::string Detour() {
    std::vector<std::string> detours = {"zz" + Separator() + "..", ".", "lib" + Separator() + ".."};
    if (kPosix) detours.push_back("lib/to-pub/../..");
    return Pick(detours);
  }

  std::string Cased(std::string part) {
    if (!kPosix || !Chance(0.3)) return part;
    for (char& c : part)
      if (Chance(0.5)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return part;
  }

  std::mt19937 random_;
};

bool IsBelowOrSame(const std::string& key, const std::string& folder) {
  return key == folder || key.rfind(folder + "/", 0) == 0;
}

// What a build may change in the issue tree at zone (a folder relative to the
// root, "" for the root): its mark, start page, picture folder's other
// spelling, and everything in its three folders.
bool IsIssueFile(const std::string& key, const std::string& zone) {
  const std::string prefix = zone.empty() ? "" : zone + "/";
  if (key.rfind(prefix, 0) != 0) return false;
  const std::string rest = key.substr(prefix.size());
  if (rest == kIssueMarkFile || rest == "index.htm" || rest == "Images") return true;
  for (const char* sub : kEmptiedFolders)
    if (rest == sub || rest.rfind(std::string(sub) + "/", 0) == 0) return true;
  return false;
}

// The issue trees after a build: every folder holding a mark, relative.
std::vector<std::string> Zones(const test::TreeSnapshot& after) {
  std::vector<std::string> zones;
  const std::string mark = kIssueMarkFile;
  for (const auto& [key, what] : after) {
    if (key == mark) zones.push_back("");
    if (key.size() > mark.size() &&
        key.compare(key.size() - mark.size() - 1, std::string::npos, "/" + mark) == 0)
      zones.push_back(key.substr(0, key.size() - mark.size() - 1));
  }
  return zones;
}

// Whether every line of before stands in after, in order.
bool OnlyGainedLines(const std::string& before, const std::string& after) {
  const LineList old_lines = SplitIntoLines(before), new_lines = SplitIntoLines(after);
  size_t at = 0;
  for (const std::string& line : new_lines)
    if (at < old_lines.size() && line == old_lines[at]) ++at;
  return at == old_lines.size();
}

// What is wrong with the tree after one build; empty when nothing is.
std::string Violations(const test::TreeSnapshot& before, const test::TreeSnapshot& after) {
  std::string report;
  std::set<std::string> touched;  // the zones a change fell in
  const std::vector<std::string> zones = Zones(after);
  const auto zone_of = [&](const std::string& key) -> const std::string* {
    for (const std::string& zone : zones)
      if (IsIssueFile(key, zone)) return &zone;
    return nullptr;
  };
  const auto check = [&](const std::string& key, bool is_new, const std::string& what) {
    if (key == kContents && !is_new) {
      auto it = after.find(key);
      if (it != after.end() && OnlyGainedLines(before.at(key), it->second)) return;
    }
    if (is_new && what == "folder") return;  // a level made on the way
    if (const std::string* zone = zone_of(key)) {
      touched.insert(*zone);
      return;
    }
    report += (is_new ? "new: " : "lost or changed: ") + key + "\n";
  };
  for (const auto& [key, what] : before) {
    auto it = after.find(key);
    if (it == after.end() || it->second != what) check(key, false, what);
  }
  for (const auto& [key, what] : after)
    if (!before.count(key)) check(key, true, what);
  if (touched.size() > 1) report += "more than one issue tree changed\n";
  // Never the working folder itself, never inside a rubric folder (its pages
  // would be read as articles by the next build).
  for (const std::string& zone : zones)
    if (zone == "wd" || IsBelowOrSame(zone, "wd/source/Internet") ||
        IsBelowOrSame(zone, "wd/source/System"))
      report += "an issue tree in " + zone + "\n";
  return report;
}

TEST(FolderSpellings, NoFileOutsideTheIssueTreeChangesWhateverTheSpelling) {
  test::TempDir root;
  const int count = SpellingCount();
  Speller speller(20261209);
  const std::vector<std::string> targets = {"",
                                            "wd",
                                            "wd/out",
                                            "wd/source",
                                            "wd/source/Internet",
                                            "wd/source/Internet/x",
                                            "wd/help",
                                            "wd/HtmClear",
                                            "iss",
                                            "iss/pub",
                                            "iss/images",
                                            "lib",
                                            "new",
                                            "new/a/b",
                                            "wd/out/deeper"};
  const std::vector<std::string> roots = {"wd/help", "wd/help", "iss/pub", "iss", "lib"};
  // Always the one source, so that its rubric folders are the ones to keep out of.
  const std::vector<std::string> sources = {"wd/source"};
  int finished = 0;
  for (int i = 0; i < count; ++i) {
    PlantTree(root.path());
    test::ScopedCurrentDir in_work(root.path() / "wd");
    MemoryWindow window;
    test::PointWindowAt(window, speller.Spell(root.path(), speller.Pick(sources)),
                        speller.Spell(root.path(), speller.Pick(targets)),
                        speller.Spell(root.path(), speller.Pick(roots)));
    window.SetChecked(Switch::AddToProject, true);
    test::SetRubricRows(window, {{"Internet", "Internet"}, {"System", "System"}});

    const test::TreeSnapshot before = test::SnapshotTree(root.path());
    ArticleTable table;
    try {
      StartRun(window, table);
      ++finished;
    } catch (const Failure&) {
    }
    const std::string violations = Violations(before, test::SnapshotTree(root.path()));
    ASSERT_EQ(violations, "") << "TargetDir " << window.FieldText(Field::TargetDir)
                              << "\nIssuesRoot " << window.FieldText(Field::IssuesRoot)
                              << "\nSourceDir " << window.FieldText(Field::SourceDir);
  }
  std::printf("%d spellings: %d builds finished, %d refused or failed\n", count, finished,
              count - finished);
  EXPECT_GT(finished, count / 20);  // the draw reaches builds, not only refusals
}

}  // namespace
}  // namespace tavex
