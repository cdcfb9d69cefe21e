// The folder the window starts in: --workdir, a folder holding "tavex.sav",
// a folder of one's own, and a start in the home folder as a desktop entry
// makes it, which works in ~/MyTavex, made from the sample on the first start.
#include "start_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include "gui_test_support.h"
#include "main_form.h"

using tavex::Field;
using tavex::gui::EnterStartFolder;
using tavex::gui::ParseWindowArguments;
using tavex::gui::TForm1;
using namespace tavex::gui::test;

namespace {

// A home folder made the current folder, as a desktop starts a program.
struct Home {
  Home() : home(work.path()) {}
  QString Enter(const std::optional<QString>& workdir = std::nullopt) {
    error.clear();
    return EnterStartFolder(workdir, home, error);
  }
  QString Current() const { return QFileInfo(QDir::currentPath()).canonicalFilePath(); }
  QString Canonical(const QString& path) const { return QFileInfo(path).canonicalFilePath(); }

  WorkFolder work;
  QString home;
  QString error;
};

}  // namespace

class StartFolderTest : public QObject {
  Q_OBJECT

 private slots:
  void aDesktopStartMakesMyTavexOnceAndTheWindowWorksThere() {
    Home start;
    const QString notice = start.Enter();
    const QString folder = start.home + "/MyTavex";
    QCOMPARE(start.Current(), start.Canonical(folder));
    QVERIFY2(notice.contains(QString::fromUtf8("Рабочая папка программы — ") + folder),
             qPrintable(notice));
    QVERIFY(QFileInfo::exists(folder + "/tavex.sav"));
    QVERIFY(QFileInfo::exists(folder + "/source/Software/office.htm"));
    // The window there reads the sample's settings: no "Cannot open file".
    {
      TForm1 form;
      QStringList messages;
      form.message_hook = [&](const QString& text) { messages << text; };
      form.show();
      QVERIFY(QTest::qWaitForWindowExposed(&form));
      QTest::qWait(20);
      QCOMPARE(messages, QStringList());
      QCOMPARE(form.FieldText(Field::SourceDir), std::string("source"));
      QCOMPARE(form.RowCount(), 4);
    }

    // The next start works there again, with nothing to say, and the
    // editor's own files in it stay as they are.
    WriteFile(folder + "/tavex.sav", "the editor's settings");
    QDir::setCurrent(start.home);
    QCOMPARE(start.Enter(), QString());
    QCOMPARE(start.Current(), start.Canonical(folder));
    QCOMPARE(ReadFile(folder + "/tavex.sav"), std::string("the editor's settings"));
  }

  // An empty ~/MyTavex is filled; one that holds files of its own (but no
  // settings) is used as it is.
  void anEmptyMyTavexIsFilledAndAnotherOneKept() {
    Home start;
    QDir(start.home).mkdir("MyTavex");
    start.Enter();
    QVERIFY(QFileInfo::exists(start.home + "/MyTavex/tavex.sav"));

    Home other;
    WriteFile(other.home + "/MyTavex/notes.txt", "mine");
    QCOMPARE(other.Enter(), QString());
    QCOMPARE(other.Current(), other.Canonical(other.home + "/MyTavex"));
    QCOMPARE(Tree(other.home + "/MyTavex"), QStringList{"notes.txt"});
  }

  // Started in a working folder, or in a folder of one's own from a
  // terminal, the window stays where it was started, as it always did.
  void aWorkingFolderOrAFolderOfOnesOwnIsKept() {
    Home start;
    WriteFile(start.home + "/tavex.sav", "");
    QCOMPARE(start.Enter(), QString());
    QCOMPARE(start.Current(), start.Canonical(start.home));
    QVERIFY(!QFileInfo::exists(start.home + "/MyTavex"));

    Home elsewhere;
    QDir(elsewhere.home).mkdir("project");
    QDir::setCurrent(elsewhere.home + "/project");
    QCOMPARE(elsewhere.Enter(), QString());
    QCOMPARE(elsewhere.Current(), elsewhere.Canonical(elsewhere.home + "/project"));
    QVERIFY(!QFileInfo::exists(elsewhere.home + "/MyTavex"));
  }

  void workdirIsEnteredOrNamedWhenMissing() {
    Home start;
    QDir(start.home).mkdir("issues");
    QCOMPARE(start.Enter(start.home + "/issues"), QString());
    QCOMPARE(start.error, QString());
    QCOMPARE(start.Current(), start.Canonical(start.home + "/issues"));

    start.Enter(start.home + "/missing");
    QVERIFY2(start.error.contains(start.home + "/missing"), qPrintable(start.error));
    QCOMPARE(start.Current(), start.Canonical(start.home + "/issues"));
    QVERIFY(!QFileInfo::exists(start.home + "/MyTavex"));
  }

  void theCommandLineAndItsHelp() {
    QCOMPARE(ParseWindowArguments({"--workdir", "/a b"}).workdir, std::optional<QString>("/a b"));
    QCOMPARE(ParseWindowArguments({"--workdir=/c"}).workdir, std::optional<QString>("/c"));
    QVERIFY(ParseWindowArguments({"--help"}).help);
    QVERIFY(ParseWindowArguments({"--version"}).version);
    QVERIFY(!ParseWindowArguments({"--workdir"}).error.isEmpty());
    QVERIFY(ParseWindowArguments({"--bogus"}).error.contains("--bogus"));
    QCOMPARE(ParseWindowArguments({}).workdir, std::nullopt);

    const QString help = tavex::gui::WindowHelpText();
    QVERIFY(help.startsWith(QString::fromUtf8("Использование: mytavex [--workdir DIR]\n")));
    for (const QString& line : help.split('\n')) QVERIFY2(line.size() <= 80, qPrintable(line));
    QVERIFY(tavex::gui::WindowVersionText().startsWith("mytavex " MYTAVEX_VERSION " "));
  }
};

QTEST_MAIN(StartFolderTest)
#include "start_folder_test.moc"
