// A working folder for build tests: templates, fixed pictures, a help
// contents file, an empty rule folder and a source folder, all in a fresh temporary folder that is
// current while the object lives. The window points at it with absolute paths.
#pragma once

#include <string>
#include <string_view>

#include "app/memory_window.h"
#include "support/temp_dir.h"

namespace tavex::test {

// Whether the tests run on a POSIX system (links, named pipes and names that
// differ only in letter case are tried there) or on Windows.
#ifdef _WIN32
inline constexpr bool kPosix = false;
#else
inline constexpr bool kPosix = true;
#endif

// The navigation template: a title line with the placeholders, the begin
// marker, and a closing line.
inline constexpr const char* kLeftTemplate =
    "<html><head><title>MyTitle</title></head>\r\n<table>\r\n<!-- begin -->\r\n</table>\r\n";
inline constexpr const char* kIndexTemplate =
    "<frameset><frame src=\"frame/left.htm\"><frame src=\"../../main.htm\"></frameset>\r\n";
// The contents file of a help project that holds issue 10 in the group 1-10.
inline constexpr const char* kContentsWithIssue10 =
    "<HTML>\r\n<BODY>\r\n<UL>\r\n"
    "\t<LI> <OBJECT type=\"text/sitemap\">\r\n\t\t<param name=\"Name\" value=\"1-10\">\r\n"
    "\t\t</OBJECT>\r\n\t<UL>\r\n"
    "\t\t<LI> <OBJECT type=\"text/sitemap\">\r\n\t\t\t<param name=\"Name\" value=\"10\">\r\n"
    "\t\t\t<param name=\"Local\" value=\"tavex10\\index.htm\">\r\n\t\t\t</OBJECT>\r\n"
    "\t</UL>\r\n</UL>\r\n</BODY>\r\n</HTML>\r\n";

// The options every build test starts from, with the three folders given:
// issue 11 of 9 March 2024, its start page as the contents name it, the help
// compiler off.
void PointWindowAt(MemoryWindow& window, std::string_view source, std::string_view target,
                   std::string_view issues_root);
// Makes a named pipe: an entry that is neither file nor folder. False on
// Windows, which has none in its folders; a test that needs one skips there.
bool MakeFifo(const std::filesystem::path& path);

// Sets the rubric grid to these (folder, rubric) rows, texts in UTF-8.
void SetRubricRows(MemoryWindow& window,
                   std::initializer_list<std::pair<const char*, const char*>> rows);

class Workspace {
 public:
  Workspace();

  // A source article with a title element (text in UTF-8, stored as Windows-1251).
  void AddArticle(std::string_view relative, std::string_view title_utf8);
  // Makes a named pipe: an entry that is neither file nor folder. False on
  // Windows, which has none in its folders; a test that needs one skips there.
  bool MakeFifo(const std::filesystem::path& path);

  // Sets the rubric grid to these (folder, rubric) rows, texts in UTF-8.
  void SetRubrics(std::initializer_list<std::pair<const char*, const char*>> rows);

  std::string source() const { return dir_ / "source"; }
  std::string target() const { return dir_ / "out"; }
  std::string help() const { return dir_ / "help"; }
  const TempDir& dir() const { return dir_; }

  MemoryWindow window;

 private:
  TempDir dir_;
  ScopedCurrentDir current_;
};

}  // namespace tavex::test
