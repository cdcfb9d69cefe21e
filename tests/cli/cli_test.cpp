#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "app/main_window.h"
#include "clean/line_list.h"
#include "cli/cli_options.h"
#include "cli/cli_run.h"
#include "platform/process.h"
#include "platform/text.h"
#include "support/shown_place.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

using test::ReadFile;
using test::TempDir;

struct Outcome {
  int status;
  std::string out, err;
};

// A copy of the sample workspace, without what earlier builds left in it.
class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(MYTAVEX_DATA_DIR, dir.path(), fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(dir.path() / "help"))
      if (entry.is_directory() || entry.path().extension() == ".chm") fs::remove_all(entry.path());
  }

  Outcome Run(std::vector<std::string> args, bool terminal = false) {
    test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
    std::ostringstream out, err;
    int status = RunCli(args, out, err, terminal);
    return {status, out.str(), err.str()};
  }
  Outcome Build(std::vector<std::string> extra) {
    std::vector<std::string> args = {"build", "--workdir", dir.text(), "--set", "RunCompiler=off"};
    args.insert(args.end(), extra.begin(), extra.end());
    return Run(args);
  }
  fs::path Issue(int number) const {
    const std::string name = "tavex" + std::to_string(number);
    return dir.path() / "help" / name / name;
  }

  TempDir dir;
};

TEST_F(Cli, BuildsTheSampleIssueFromItsSettings) {
  const std::string contents = ReadFile(dir.path() / "help" / "Table of Contents.hhc");
  Outcome run = Build({});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(fs::exists(Issue(1) / "index.htm"));
  EXPECT_TRUE(fs::exists(Issue(1) / "pub" / "6.htm"));
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "7.htm"));
  EXPECT_TRUE(fs::exists(Issue(1) / "images" / "Logo.gif"));
  // The sample's contents already list issue 1: a build of it changes nothing.
  EXPECT_EQ(ReadFile(dir.path() / "help" / "Table of Contents.hhc"), contents);
  // Progress, one line per article on a pipe, names the rubric in UTF-8.
  EXPECT_NE(run.err.find("1 [Интернет 1/3] "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("7 [Железо и техника 2/2] "), std::string::npos);
}

// A build without the EPUB library says so and, asked for the edition, makes
// the issue tree alone.
TEST_F(Cli, VersionNamesTheEditionsBuiltIn) {
  Outcome version = Run({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("mytavex-cli " MYTAVEX_VERSION " ", 0), 0u) << version.out;
  const bool epub = MYTAVEX_EPUB_BUILT;
  EXPECT_EQ(version.out.find("EPUB edition: built in") != std::string::npos, epub);
  EXPECT_EQ(version.out.find("EPUB edition: not built in") != std::string::npos, !epub);
  // Only alone: with a command it is an unknown option, as before.
  EXPECT_EQ(Run({"build", "--version"}).status, kExitUsage);
  if (epub) return;
  ASSERT_EQ(Build({"--set", "MakeEpub=on", "--quiet"}).status, kExitSuccess);
  EXPECT_TRUE(fs::exists(Issue(1) / "index.htm"));
  for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
    EXPECT_NE(entry.path().extension(), ".epub") << entry.path();
}

TEST_F(Cli, SetValuesRubricsAndQuietReplaceTheSavedOnes) {
  Outcome run = Build({"--set", "IssueNumber=12", "--set", "IssueDate=2024-02-29", "--rubric",
                       "Software=Софт = программы", "--quiet"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(fs::exists(Issue(12) / "pub" / "1.htm"));
  EXPECT_FALSE(fs::exists(Issue(12) / "pub" / "2.htm"));
  const LineList left = LoadLines((Issue(12) / "frame" / "left.htm").string());
  EXPECT_NE(std::find(left.begin(), left.end(), Utf8To1251("Софт = программы")), left.end());
  const std::string contents = ReadFile(dir.path() / "help" / "Table of Contents.hhc");
  EXPECT_NE(contents.find("tavex12\\tavex12\\index.htm"), std::string::npos);
}

TEST_F(Cli, ExcludeDropsEveryArticleWithThatTitle) {
  // Every page of the Software rubric gets the same title with the placeholder
  // cleaner and different ones with the real cleaner; either way the first
  // page's title goes, with all its namesakes.
  ASSERT_EQ(Build({"--rubric", "Software=Soft", "--quiet"}).status, kExitSuccess);
  const LineList first = LoadLines((Issue(1) / "frame" / "left.htm").string());
  const auto link = std::find(first.begin(), first.end(), "<a href=\"..\\pub\\0.htm\">");
  ASSERT_NE(link, first.end());
  const std::string title = Cp1251ToUtf8(*(link + 1));

  ASSERT_EQ(Build({"--rubric", "Software=Soft", "--exclude", title, "--quiet"}).status,
            kExitSuccess);
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "0.htm"));
  const LineList left = LoadLines((Issue(1) / "frame" / "left.htm").string());
  EXPECT_EQ(std::find(left.begin(), left.end(), Utf8To1251(title)), left.end());
}

TEST_F(Cli, ExitStatusesTellUsageNumbersAndFailuresApart) {
  EXPECT_EQ(Run({}).status, kExitUsage);
  EXPECT_EQ(Run({"publish"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "Colour=red"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "RemoveAds=yes"}).status, kExitUsage);
  EXPECT_EQ(Build({"--set", "IssueDate=2023-02-29"}).status, kExitUsage);
  EXPECT_EQ(Build({"--rubric", "=Title"}).status, kExitUsage);
  EXPECT_EQ(Build({"--exclude"}).status, kExitUsage);
  EXPECT_EQ(Run({"clean", "only-one"}).status, kExitUsage);
  EXPECT_EQ(Run({"build", "--workdir", (dir.path() / "none").string()}).status, kExitUsage);
  EXPECT_EQ(Run({"--help"}).status, kExitSuccess);

  // The field by its option name and its label, the text that is no number.
  Outcome number = Build({"--set", "IssueNumber=5a"});
  EXPECT_EQ(number.status, kExitUsage);
  EXPECT_EQ(number.err, "mytavex-cli: ошибка: IssueNumber (поле «№») не число: «5a»\n");
  EXPECT_FALSE(fs::exists(dir.path() / "help" / "tavex5a"));

  // A failure's every line in the program's error form.
  fs::remove(dir.path() / "left.htm");
  Outcome failed = Build({"--quiet"});
  EXPECT_EQ(failed.status, kExitFailure);
  EXPECT_EQ(failed.err,
            "mytavex-cli: ошибка: Cannot open file left.htm\n"
            "mytavex-cli: ошибка: left.htm: No such file or directory\n");
}

// A number in tavex.sav that is no number is a field that is not a number:
// exit status 2, as the README says, with the file and line.
TEST_F(Cli, BadSettingsFileFailsTheRun) {
  test::WriteFile(dir.path() / "tavex.sav", "x 1 2 3\r\n");
  Outcome run = Build({});
  EXPECT_EQ(run.status, kExitUsage);
  EXPECT_EQ(run.err,
            "mytavex-cli: ошибка: 'x' is not a valid integer value\n"
            "mytavex-cli: ошибка: tavex.sav:1\n");
  // A settings file cut short is no number problem: the run failed.
  test::WriteFile(dir.path() / "tavex.sav", "4 2000 30 10\r\n1\r\n");
  EXPECT_EQ(Build({}).status, kExitFailure);
}

TEST_F(Cli, CleanWritesThePageAndPrintsItsTitle) {
  // The page's pictures go to the folder above its own: one of the test's.
  const fs::path target = dir.path() / "issue" / "pub" / "one.htm";
  fs::create_directories(target.parent_path());
  Outcome run = Run({"clean", (dir.path() / "source" / "Software" / "office.htm").string(),
                     target.string(), "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(fs::exists(target));
  // The title from the page's centred heading, in UTF-8 on a line of its own.
  EXPECT_EQ(run.out, "Обновление офисного пакета\n");
}

TEST_F(Cli, CleanReadsAPageArchive) {
  if (!MYTAVEX_MHTML_BUILT)
    GTEST_SKIP() << "this build has no page-archive reader (MYTAVEX_MHTML=OFF)";
  // A page saved as one archive: the command line has its reader plugged in.
  const fs::path source = dir.path() / "saved.mht";
  test::WriteFile(source,
                  "MIME-Version: 1.0\r\n"
                  "Content-Type: multipart/related; boundary=\"b\"; type=\"text/html\"\r\n\r\n"
                  "--b\r\nContent-Type: text/html; charset=\"utf-8\"\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n"
                  "Content-Location: http://x.ru/a.html\r\n\r\n"
                  "<title>=D0=90=D1=80=D1=85=D0=B8=D0=B2</title><img src=3D\"P.gif\">\r\n"
                  "--b\r\nContent-Type: image/gif\r\nContent-Location: http://x.ru/P.gif\r\n"
                  "Content-Transfer-Encoding: base64\r\n\r\nR0lGODlh\r\n--b--\r\n");
  const fs::path target = dir.path() / "issue" / "pub" / "one.htm";
  fs::create_directories(target.parent_path());
  Outcome run = Run({"clean", source.string(), target.string(), "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.out, "Архив\n");
  EXPECT_NE(ReadFile(target).find("<img src=\"..\\Images\\1.gif\">"), std::string::npos)
      << ReadFile(target);
}

TEST_F(Cli, TerminalGetsALiveBar) {
  Outcome run = Run({"build", "--workdir", dir.text(), "--set", "RunCompiler=off"}, true);
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_NE(run.err.find("\r\x1b[K["), std::string::npos);
  EXPECT_NE(run.err.find("100% рубрика 3/3, статья 2/2"), std::string::npos) << run.err;
}

TEST_F(Cli, CompilerRunReportsTheHelpFile) {
  if (!FindProgram("chmcmd")) GTEST_SKIP() << "chmcmd is not installed";
  Outcome run = Run({"build", "--workdir", dir.text(), "--quiet"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_NE(run.out.find("Файл справки собран: "), std::string::npos) << run.out;
  EXPECT_GT(fs::file_size(dir.path() / "help" / "tavex.chm"), 0u);

  // What the help file holds: the issue's pages, its article pictures (the
  // pages call the folder "Images") and the fixed ones, and the contents.
  if (!FindProgram("7zz")) return;
  const ProgramResult listing =
      RunProgram({"7zz", "l", (dir.path() / "help" / "tavex.chm").string()}, "");
  ASSERT_TRUE(listing.started);
  for (const char* name :
       {"tavex1/tavex1/index.htm", "tavex1/tavex1/frame/left.htm", "tavex1/tavex1/pub/0.htm",
        "tavex1/tavex1/pub/6.htm", "tavex1/tavex1/Images/1.gif", "tavex1/tavex1/images/tvred.gif",
        "Table of Contents.hhc",
        // The project's own options: full-text search, binary contents and index.
        "$FIftiMain", "#TOCIDX", "#IDXHDR"})
    EXPECT_NE(listing.output.find(name), std::string::npos) << name << "\n" << listing.output;
}

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Columns a UTF-8 line takes: one per character.
size_t Columns(const std::string& line) {
  size_t columns = 0;
  for (unsigned char c : line) columns += (c & 0xC0) != 0x80;
  return columns;
}

TEST_F(Cli, HelpNamesEveryOptionWithItsKindDefaultAndMeaning) {
  Outcome help = Run({"--help"});
  ASSERT_EQ(help.status, kExitSuccess);
  // "build --help" and "clean --help" are no errors: the same help.
  EXPECT_EQ(Run({"build", "--help"}).out, help.out);
  EXPECT_EQ(Run({"clean", "-h"}).out, help.out);
  EXPECT_EQ(Run({"build", "--help"}).status, kExitSuccess);

  const std::vector<std::string> lines = Lines(help.out);
  // Every line fits a terminal of 80 columns.
  for (const std::string& line : lines) EXPECT_LE(Columns(line), 80u) << line;
  // An option name's line, and its meaning: the lines below it, indented.
  auto line_of = [&](const std::string& name) -> std::string {
    for (const std::string& line : lines)
      if (line.rfind("  " + name + " ", 0) == 0) return line;
    return {};
  };
  auto meaning_of = [&](const std::string& name) -> std::string {
    std::string meaning;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].rfind("  " + name + " ", 0) != 0) continue;
      for (size_t j = i + 1; j < lines.size() && lines[j].rfind("        ", 0) == 0; ++j)
        meaning += lines[j].substr(7);
    }
    return meaning;
  };
  for (const FieldInfo& info : kFields) {
    const std::string line = line_of(info.name);
    ASSERT_FALSE(line.empty()) << info.name << "\n" << help.out;
    // The designer's "Edit8" is no path: it is not offered as a default.
    const std::string shown =
        info.field == Field::IndexPagePath ? "не задан" : Cp1251ToUtf8(info.default_text);
    EXPECT_NE(line.find("[" + shown + "]"), std::string::npos) << line;
    EXPECT_GT(meaning_of(info.name).size(), 10u) << info.name;
  }
  EXPECT_EQ(help.out.find("[Edit8]"), std::string::npos);
  for (const SwitchInfo& info : kSwitches) {
    const std::string line = line_of(info.name);
    ASSERT_FALSE(line.empty()) << info.name;
    EXPECT_NE(line.find(info.default_on ? "on/off  [on]" : "on/off  [off]"), std::string::npos)
        << line;
    EXPECT_GT(meaning_of(info.name).size(), 10u) << info.name;
  }
  EXPECT_NE(line_of("IssueDate").find("ГГГГ-ММ-ДД"), std::string::npos);
  // The window's captions, as the editor knows them, in Cyrillic letters only.
  EXPECT_NE(meaning_of("RemoveAds").find("«Убрать рекламу»"), std::string::npos);
  EXPECT_NE(meaning_of("RecoverTitle").find("восстановить"), std::string::npos);
  EXPECT_EQ(help.out.find("во\x63ст"), std::string::npos);  // a Latin "c"
  for (const char* option :
       {"--workdir", "--set", "--rubric", "--exclude", "--list", "-q, --quiet", "-o, --output"})
    EXPECT_NE(help.out.find("  " + std::string(option) + " "), std::string::npos) << option;
  // One line per option name, none twice.
  int option_lines = 0;
  for (const std::string& line : lines)
    option_lines += line.find("  on/off  [") != std::string::npos ||
                    line.find("  текст   [") != std::string::npos ||
                    line.find("  число   [") != std::string::npos ||
                    line.find("  дата    [") != std::string::npos;
  EXPECT_EQ(option_lines, kFieldCount + kSwitchCount + 1);
}

TEST_F(Cli, VersionNamesTheProgramAndAMistypedCommandStillShowsTheUsage) {
  Outcome version = Run({"--version"});
  EXPECT_EQ(version.status, kExitSuccess);
  EXPECT_EQ(version.out.rfind("mytavex-cli 3.71", 0), 0u) << version.out;
  Outcome wrong = Run({"biuld"});
  EXPECT_EQ(wrong.status, kExitUsage);
  EXPECT_NE(wrong.err.find("mytavex-cli: ошибка: неизвестная команда «biuld»\n"),
            std::string::npos);
  EXPECT_NE(wrong.err.find("использование: mytavex-cli build"), std::string::npos);
}

TEST_F(Cli, SummaryNamesTheIssueItsStartPageAndCounts) {
  Outcome run = Build({"--quiet"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(Issue(1) / "images"))
    pictures += entry.path().filename() != "tvred.gif" && entry.path().filename() != "Logo.gif";
  ASSERT_GT(pictures, 0);
  const std::string folder = Issue(1).lexically_normal().string();
  EXPECT_EQ(run.out,
            test::InSystemSeparators("Выпуск 1: " + folder + "\n  стартовая страница: " + folder +
                                     "/index.htm\n  рубрик: 3, статей: 7, картинок: " +
                                     std::to_string(pictures) + ", убрано: 0\n"));
  // Every rubric of the sample has its folder and its articles: no warning.
  EXPECT_EQ(run.err, "");

  Outcome book = Build({"--quiet", "--set", "MakeEpub=on", "--set", "IssueNumber=2"});
  ASSERT_EQ(book.status, kExitSuccess) << book.err;
  const std::string epub = (Issue(2) / "tavex2.epub").lexically_normal().string();
  if (MYTAVEX_EPUB_BUILT) {
    EXPECT_NE(book.out.find("\n  книга: " + epub + "\n"), std::string::npos) << book.out;
    EXPECT_TRUE(fs::exists(epub));
  } else {
    // Without an edition built in, the switch makes no book and none is named.
    EXPECT_EQ(book.out.find("книга:"), std::string::npos) << book.out;
    EXPECT_FALSE(fs::exists(epub));
  }
}

TEST_F(Cli, RubricsWithoutArticlesAndPagesWithoutTitlesAreWarnedAbout) {
  fs::create_directories(dir.path() / "source" / "Empty" / "sub");
  test::WriteFile(dir.path() / "source" / "Empty" / "notes.txt", "not an article");
  test::WriteFile(dir.path() / "source" / "Untitled" / "a.htm",
                  "<html><body><p>No title anywhere.</p></body></html>");
  Outcome run = Build({"--quiet", "--rubric", "Internet=Интернет", "--rubric", "Gone=Пропало",
                       "--rubric", "Empty=Пусто", "--rubric", "Untitled=Без названия"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  const std::string source = (dir.path() / "source").lexically_normal().string();
  EXPECT_EQ(Lines(run.err),
            test::InSystemSeparators(std::vector<std::string>{
                // The folders as they really are: the run looked at those.
                "mytavex-cli: предупреждение: Рубрика «Пропало»: нет папки " + source + "/Gone",
                "mytavex-cli: предупреждение: Рубрика «Пусто»: в папке " + source +
                    "/Empty нет статей",
                "mytavex-cli: предупреждение: в странице " + Issue(1).lexically_normal().string() +
                    "/pub/3.htm не найден заголовок; в выпуске она названа «Непонятный "
                    "заголовок»"}));
  // Counted as they are: two rubrics got articles.
  EXPECT_NE(run.out.find("  рубрик: 2, статей: 4, "), std::string::npos) << run.out;
}

class CliTitles : public Cli {
 protected:
  void SetUp() override {
    Cli::SetUp();
    // Titles as saved pages write them: character references for letters the
    // page's code page lacks, and for punctuation.
    test::WriteFile(dir.path() / "source" / "Refs" / "a.htm",
                    "<html><head><title>Sch&#252;lerinnen &mdash; heute</title></head>"
                    "<body><p>Text.</p></body></html>");
    test::WriteFile(dir.path() / "source" / "Refs" / "b.htm",
                    "<html><head><title>Tom &amp; Jerry</title></head>"
                    "<body><p>Text.</p></body></html>");
  }
  Outcome BuildRefs(std::vector<std::string> excluded) {
    std::vector<std::string> args = {"--quiet", "--rubric", "Refs=R"};
    for (const std::string& title : excluded) {
      args.push_back("--exclude");
      args.push_back(title);
    }
    return Build(args);
  }
};

TEST_F(CliTitles, ExcludeMatchesTheTitleAsAReaderSeesIt) {
  Outcome run = BuildRefs({"Schülerinnen — heute"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "0.htm"));
  EXPECT_TRUE(fs::exists(Issue(1) / "pub" / "1.htm"));
  EXPECT_NE(run.out.find(", убрано: 1\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.err, "");
}

TEST_F(CliTitles, ExcludeStillTakesTheRawTitleAndWarnsForOneThatMatchesNothing) {
  Outcome run = BuildRefs({"Tom &amp; Jerry", "Schulerinnen", "Tom &amp;amp; Jerry"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_TRUE(fs::exists(Issue(1) / "pub" / "0.htm"));
  EXPECT_FALSE(fs::exists(Issue(1) / "pub" / "1.htm"));
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                "mytavex-cli: предупреждение: --exclude «Schulerinnen»: такой статьи нет",
                "mytavex-cli: предупреждение: --exclude «Tom &amp;amp; Jerry»: такой статьи нет"}));
}

// Every file below a folder with its size and time: what "writes nothing" keeps.
std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> Snapshot(const fs::path& root) {
  std::map<std::string, std::pair<uintmax_t, fs::file_time_type>> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (entry.is_regular_file())
      files[entry.path().string()] = {entry.file_size(), entry.last_write_time()};
  return files;
}

// Pages are numbered in file order, as the build numbers them, and listed in
// title order, as the navigation page, the review and the book list them.
TEST_F(CliTitles, ListShowsEachRubricsArticlesAndWritesNothing) {
  test::WriteFile(dir.path() / "source" / "Refs" / "c.htm",
                  "<html><head><title>Alpha</title></head><body><p>Text.</p></body></html>");
  const auto before = Snapshot(dir.path());
  Outcome run = Run({"build", "--workdir", dir.text(), "--list", "--rubric", "Refs=Ссылки",
                     "--rubric", "Gone=Пропало", "--rubric", "Software=Программы"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  const std::string source = (dir.path() / "source").lexically_normal().string();
  EXPECT_EQ(Lines(run.out),
            test::InSystemSeparators(std::vector<std::string>{
                "рубрика 1 «Ссылки»: статей: 3, папка " + source + "/Refs",
                "  2.htm  Alpha  <- " + source + "/Refs/c.htm",
                "  0.htm  Schülerinnen — heute  <- " + source + "/Refs/a.htm",
                "  1.htm  Tom & Jerry  <- " + source + "/Refs/b.htm",
                "рубрика 2 «Пропало»: нет папки " + source + "/Gone",
                "рубрика 3 «Программы»: статей: 2, папка " + source + "/Software",
                "  3.htm  Архиватор для всех  <- " + source + "/Software/Archiver.HTM",
                "  4.htm  Обновление офисного пакета  <- " + source + "/Software/office.htm"}));
  EXPECT_EQ(Snapshot(dir.path()), before);
  EXPECT_FALSE(fs::exists(Issue(1)));
}

TEST_F(Cli, CleanIntoABuiltIssueNumbersItsPicturesAfterTheIssuesOwn) {
  ASSERT_EQ(Build({}).status, kExitSuccess);
  const fs::path images = Issue(1) / "images";
  int highest = 0;
  std::map<std::string, std::string> before;
  for (const auto& entry : fs::directory_iterator(images)) {
    const std::string name = entry.path().filename().string();
    before[name] = ReadFile(entry.path());
    if (std::isdigit(static_cast<unsigned char>(name[0])))
      highest = std::max(highest, std::stoi(name));
  }
  ASSERT_GE(highest, 2);
  // A page with a picture of its own, cleaned into the built issue's pages.
  test::WriteFile(dir.path() / "extra" / "own.gif", "GIF89a-a picture no article has");
  test::WriteFile(dir.path() / "extra" / "page.htm",
                  "<html><head><title>Extra</title></head><body><img src=own.gif></body></html>");
  const fs::path target = Issue(1) / "pub" / "extra.htm";
  Outcome run = Run({"clean", (dir.path() / "extra" / "page.htm").string(), target.string(),
                     "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  const std::string name = std::to_string(highest + 1) + ".gif";
  EXPECT_NE(ReadFile(target).find("..\\Images\\" + name), std::string::npos) << ReadFile(target);
  EXPECT_EQ(ReadFile(images / name), "GIF89a-a picture no article has");
  for (const auto& [file, bytes] : before) EXPECT_EQ(ReadFile(images / file), bytes) << file;
}

TEST_F(Cli, CleanWithoutTargetDirPutsThePicturesWhereThePageLooks) {
  test::TempDir elsewhere;
  const fs::path target = elsewhere.path() / "out" / "page.htm";
  fs::create_directories(target.parent_path());
  Outcome run = Run({"clean", (dir.path() / "source" / "Internet" / "mail.htm").string(),
                     target.string(), "--workdir", dir.text()});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string page = ReadFile(target);
  // Every picture the page names is there, by the very name it uses.
  size_t found = 0;
  for (size_t at = page.find("src=\"..\\Images\\"); at != std::string::npos;
       at = page.find("src=\"..\\Images\\", at + 1)) {
    const size_t from = at + std::string("src=\"..\\Images\\").size();
    const std::string name = page.substr(from, page.find('"', from) - from);
    EXPECT_TRUE(fs::is_regular_file(target.parent_path() / ".." / "Images" / name)) << name;
    ++found;
  }
  EXPECT_GE(found, 2u);
  EXPECT_TRUE(fs::is_directory(elsewhere.path() / "images"));
}

TEST_F(Cli, CleanSaysSoWhenAPictureCannotBeCopied) {
  test::TempDir elsewhere;
  const fs::path target = elsewhere.path() / "out" / "page.htm";
  fs::create_directories(target.parent_path());
  test::WriteFile(elsewhere.path() / "images", "a file where the folder should be");
  Outcome run = Run({"clean", (dir.path() / "source" / "Internet" / "mail.htm").string(),
                     target.string(), "--workdir", dir.text()});
  EXPECT_EQ(run.status, kExitSuccess);
  const std::vector<std::string> warnings = Lines(run.err);
  ASSERT_EQ(warnings.size(), 2u) << run.err;
  for (const std::string& warning : warnings)
    EXPECT_EQ(warning.rfind("mytavex-cli: предупреждение: Картинку ", 0), 0u) << warning;
  for (const std::string& warning : warnings)
    EXPECT_NE(warning.find("не удалось скопировать в " + (elsewhere.path() / "images").string()),
              std::string::npos)
        << warning;
  EXPECT_NE(warnings[0].find("mail.gif"), std::string::npos);
}

}  // namespace
}  // namespace tavex::cli

namespace tavex::cli {
namespace {

// PATH set to a folder for the object's lifetime.
class ScopedPath {
 public:
  explicit ScopedPath(const std::string& path) : saved_(std::getenv("PATH")) { Set(path); }
  ~ScopedPath() { Set(saved_); }

 private:
  static void Set(const std::string& value) {
#ifdef _WIN32
    _putenv_s("PATH", value.c_str());
#else
    setenv("PATH", value.c_str(), 1);
#endif
  }
  std::string saved_;
};

// Every line of a text starts with the program's name.
void ExpectEveryLinePrefixed(const std::string& text) {
  for (const std::string& line : Lines(text)) EXPECT_EQ(line.rfind("mytavex-cli: ", 0), 0u) << line;
}

// With RunCompiler on and no help compiler on PATH the build used to end in
// silence and exit 0 while the old help file stayed: now a warning names the
// file not made, and the run exits 1.
TEST_F(Cli, NoHelpCompilerIsAWarningAndExitsOne) {
  test::WriteFile(dir.path() / "help" / "tavex.chm", "an old help file");
  test::TempDir empty;
  Outcome run;
  {
    ScopedPath path(empty.text());
    run = Run({"build", "--workdir", dir.text(), "--quiet"});
  }
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.err,
            "mytavex-cli: предупреждение: Компилятор справки не найден (в PATH нет ни "
            "chmcmd, ни hhc): файл " +
                (dir.path() / "help" / "tavex.chm").string() + " не собран\n");
  EXPECT_NE(run.out.find("статей: 7"), std::string::npos) << run.out;  // the issue was built
  EXPECT_EQ(ReadFile(dir.path() / "help" / "tavex.chm"), "an old help file");
}

// A compile that made nothing exits 1, and the warning quotes the compiler's
// own reason from its log (chmcmd exits 0 on a missing project).
TEST_F(Cli, AFailedHelpCompileExitsOneAndSaysWhy) {
  if (!FindProgram("chmcmd")) GTEST_SKIP() << "chmcmd is not installed";
  Outcome run =
      Run({"build", "--workdir", dir.text(), "--quiet", "--set", "ProjectPath=help\\none.hhp"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_NE(run.err.find("mytavex-cli: предупреждение: Компилятор справки не собрал файл "),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("mytavex-cli: предупреждение: Компилятор сообщил: Can't find project "
                         "file none.hhp\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("mytavex-cli: предупреждение: Вывод компилятора: " +
                         (dir.path() / "help" / "none.log").string() + "\n"),
            std::string::npos)
      << run.err;
  ExpectEveryLinePrefixed(run.err);
}

// A mistyped rubric used to empty the previous issue and report success with
// "rubrics 0, articles 0": the run now fails before it empties anything.
TEST_F(Cli, ARubricTypoFailsAndKeepsThePreviousIssue) {
  ASSERT_EQ(Build({"--quiet"}).status, kExitSuccess);
  const std::string page = ReadFile(Issue(1) / "pub" / "0.htm");
  ASSERT_FALSE(page.empty());
  Outcome run = Build({"--quiet", "--rubric", "Nope=Нет"});
  EXPECT_EQ(run.status, kExitFailure);
  EXPECT_EQ(run.out, "");
  // The folders named as they really are: the run looked at those.
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                test::InSystemSeparators("mytavex-cli: предупреждение: Рубрика «Нет»: нет папки " +
                                         (dir.path() / "source" / "Nope").string()),
                "mytavex-cli: ошибка: В папках рубрик нет ни одной статьи: выпуск не собран, "
                "папка " +
                    test::InSystemSeparators(Issue(1).string()) + " не тронута"}));
  EXPECT_EQ(ReadFile(Issue(1) / "pub" / "0.htm"), page);
}

// The command line's own texts in one language and one form; exit statuses
// as the README states them.
TEST_F(Cli, OwnTextsAreRussianWithTheProgramsPrefix) {
  // A folder without tavex.sav: the missing file is named, not "e:\temp".
  test::TempDir bare;
  Outcome bare_run = Run({"build", "--workdir", bare.text()});
  EXPECT_EQ(bare_run.status, kExitUsage);
  EXPECT_EQ(bare_run.err, "mytavex-cli: ошибка: в рабочей папке " + bare.path().string() +
                              " нет файла настроек tavex.sav: задайте рабочую папку (--workdir) "
                              "или папки (--set SourceDir=…, -o)\n");
  // clean reads no source folder: it goes on with the defaults, and says that
  // no rule applied.
  fs::create_directories(bare.path() / "out");
  Outcome clean = Run({"clean", (dir.path() / "source" / "Software" / "office.htm").string(),
                       (bare.path() / "out" / "page.htm").string(), "--workdir", bare.text()});
  EXPECT_EQ(clean.status, kExitSuccess) << clean.err;
  EXPECT_EQ(clean.err, "mytavex-cli: предупреждение: Нет папки правил HtmClear в рабочей папке " +
                           bare.path().string() + ": правила не применены\n");

  // Lines of mytavex.ini that set nothing are warned about; comments are not.
  test::WriteFile(dir.path() / "mytavex.ini",
                  "; a comment\r\nPickArticleBlock=on\r\nColour=red\r\nTrimSiteName=yes\r\n"
                  "RemoveAds=off\r\njunk\r\n");
  Outcome run = Build({"--quiet"});
  EXPECT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                "mytavex-cli: предупреждение: mytavex.ini:3: неизвестный параметр «Colour»; "
                "строка оставлена как есть",
                "mytavex-cli: предупреждение: mytavex.ini:4: TrimSiteName принимает on или off, "
                "а не «yes»; взято значение по умолчанию",
                "mytavex-cli: предупреждение: mytavex.ini:5: параметр RemoveAds хранится в "
                "tavex.sav, здесь он не читается",
                "mytavex-cli: предупреждение: mytavex.ini:6: строка без «=» не задаёт "
                "параметра: «junk»"}));
  // The summary is Russian too.
  EXPECT_EQ(run.out.rfind("Выпуск 1: ", 0), 0u) << run.out;

  // Usage errors: Russian, prefixed, then the usage.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"build", "--set", "Colour=red"},
        std::vector<std::string>{"build", "--set", "RemoveAds=yes"},
        std::vector<std::string>{"build", "--rubric", "=Title"},
        std::vector<std::string>{"build", "stray"}, std::vector<std::string>{"clean", "one"}}) {
    Outcome usage = Run(args);
    EXPECT_EQ(usage.status, kExitUsage);
    EXPECT_EQ(usage.err.rfind("mytavex-cli: ошибка: ", 0), 0u) << usage.err;
    EXPECT_NE(usage.err.find("\nиспользование: "), std::string::npos) << usage.err;
  }
  EXPECT_NE(Run({"build", "--set", "RemoveAds=yes"})
                .err.find("RemoveAds принимает on или off, а не «yes»"),
            std::string::npos);
}

// The forms pandoc's and wget's users type: --opt=value, -q, -o for the
// issue folder, switch values in any letter case.
TEST_F(Cli, GetoptFormsSitBesideTheOldOnes) {
  test::TempDir caller;
  test::ScopedCurrentDir there(caller.path());
  Outcome run = Run({"build", "--workdir=" + dir.text(), "--set=RunCompiler=OFF", "-q", "-o",
                     "issue#x1", "--set=IssueNumber=4", "--set", "AddToProject=Off"});
  ASSERT_EQ(run.status, kExitSuccess) << run.err;
  EXPECT_EQ(run.err, "");
  // -o is where the caller stands, with the issue number put in.
  EXPECT_TRUE(fs::exists(caller.path() / "issue4" / "pub" / "6.htm"));
  EXPECT_NE(run.out.find("Выпуск 4: " + (caller.path() / "issue4").string()), std::string::npos)
      << run.out;
  Outcome equals =
      Run({"build", "--workdir", dir.text(), "--quiet", "--set=RunCompiler=off",
           "--output=" + (caller.path() / "other").string(), "--rubric=Software=Программы"});
  ASSERT_EQ(equals.status, kExitSuccess) << equals.err;
  EXPECT_TRUE(fs::exists(caller.path() / "other" / "pub" / "1.htm"));
  EXPECT_FALSE(fs::exists(caller.path() / "other" / "pub" / "2.htm"));
  // -o is the build's: clean has TARGET.
  EXPECT_EQ(Run({"clean", "a", "b", "-o", "x"}).status, kExitUsage);
}

}  // namespace
}  // namespace tavex::cli
