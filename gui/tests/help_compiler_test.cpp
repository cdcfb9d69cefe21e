// The help compiler at the end of Start, inside the window: a stand-in
// compiler on PATH that takes its time, as chmcmd does on a big issue.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cstdlib>
#include <set>

#include "gui_test_support.h"
#include "main_form.h"
#include "review_form.h"

using tavex::Field;
using tavex::Switch;
using tavex::gui::TForm1;
using tavex::gui::TForm2;
using namespace tavex::gui::test;

namespace {

// A window in a working folder with one rubric of one page, the help project
// in "help" and a stand-in chmcmd first on PATH. The stand-in sleeps, then
// writes the help file naming the issue's start page, as chmcmd's directory
// does; its output goes to the log.
struct Setup {
  explicit Setup(const std::string& sleep_seconds) {
    WriteFile(work.path() + "/left.htm", "<html>\r\n<body>\r\n<!-- begin -->\r\n</body>\r\n");
    WriteFile(work.path() + "/index.htm", "<html><frameset></frameset></html>\r\n");
    WriteFile(work.path() + "/tvred.gif", "GIF89a");
    WriteFile(work.path() + "/Logo.gif", "GIF89a");
    QDir().mkpath(work.path() + "/HtmClear");
    WriteFile(work.path() + "/in/News/a.htm",
              "<html><head><title>A</title></head><body><p>Text</p></body></html>");
    WriteFile(work.path() + "/help/t.hhp", "[OPTIONS]\r\nCompiled file=t.chm\r\n");
    WriteFile(work.path() + "/bin/chmcmd", "#!/bin/sh\necho \"Error: Html parsing a.htm\"\nsleep " +
                                               sleep_seconds +
                                               "\nprintf 'ITSF /tavex5/index.htm' > t.chm\n");
    QFile::setPermissions(work.path() + "/bin/chmcmd",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    saved_path = std::getenv("PATH");
    setenv("PATH", (work.path().toStdString() + "/bin:" + saved_path).c_str(), 1);

    form.message_hook = [this](const QString& text) { messages << text; };
    form.review_hook = [](TForm2& dialog) {
      dialog.BitBtn1->click();
      return dialog.result();
    };
    form.Edit(Field::SourceDir)->setText(work.path() + "/in");
    form.Edit(Field::TargetDir)->setText(work.path() + "/help/tavex#x1");
    form.Edit(Field::IssueNumber)->setText("5");
    form.Edit(Field::ProjectPath)->setText(work.path() + "/help/t.hhp");
    form.Edit(Field::IndexPagePath)->setText("tavex#x1\\index.htm");
    form.CheckBox(Switch::AddToProject)->setChecked(false);
    form.CheckBox(Switch::RunCompiler)->setChecked(true);
    form.SetRowCount(2);
    form.StringGrid1->setItem(0, 0, new QTableWidgetItem("News"));
    form.StringGrid1->setItem(0, 1, new QTableWidgetItem("News"));
    form.SpeedButtons[1]->click();  // the activations put these values back
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    messages.clear();
  }
  ~Setup() { setenv("PATH", saved_path.c_str(), 1); }

  WorkFolder work;
  TForm1 form;
  QStringList messages;
  std::string saved_path;
};

}  // namespace

class HelpCompilerTest : public QObject {
  Q_OBJECT

 private slots:
  // A timer only fires while the window's messages run: its ticks during the
  // compiler's second and a half prove the window never froze.
  void theWindowHandlesEventsWhileTheCompilerRuns() {
    Setup setup("1.5");
    int ticks = 0;
    std::set<int> progress;
    QString status;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
      if (!QFile::exists(setup.work.path() + "/help/.t.log.mytavex-tmp-" +
                         QString::number(QCoreApplication::applicationPid()) + "-0"))
        return;  // only the compiler's wait counts
      ++ticks;
      progress.insert(setup.form.ProgressBar2->value());
      status = setup.form.StatusLabel->text();
    });
    timer.start(50);
    setup.form.Button1->click();
    timer.stop();

    QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
    // The thin bar moved while the window waited, and was put back after.
    QVERIFY2(progress.size() >= 5, qPrintable(QString::number(progress.size())));
    QCOMPARE(setup.form.ProgressBar2->value(), 0);
    // A status text said what the window waited for, and went with the wait.
    QCOMPARE(status, QString::fromUtf8("Компиляция справки: chmcmd t.hhp…"));
    QCOMPARE(setup.form.StatusLabel->text(), QString());
    // Two short lines: the file was made, and where the log is.
    const QString help = setup.work.path() + "/help/t.chm";
    const QString log = setup.work.path() + "/help/t.log";
    QCOMPARE(setup.messages, QStringList{QString::fromUtf8("Файл справки собран: ") + help +
                                         QString::fromUtf8("\nВывод компилятора: ") + log});
    QCOMPARE(ReadFile(log), std::string("Error: Html parsing a.htm\n"));
  }

  // A compile that made no file is a message naming the cause and the log,
  // shown when the run is over (it used to be a success-looking silence).
  void aFailedCompileIsShownWithItsCause() {
    Setup setup("0");
    WriteFile(setup.work.path() + "/bin/chmcmd", "#!/bin/sh\necho \"Can't find project file\"\n");
    setup.form.Button1->click();
    const QString help = setup.work.path() + "/help/t.chm";
    const QString log = setup.work.path() + "/help/t.log";
    QCOMPARE(setup.messages,
             QStringList{QString::fromUtf8("Компилятор справки не собрал файл ") + help +
                         QString::fromUtf8(" (файл не записан)\nКомпилятор сообщил: Can't find "
                                           "project file\nВывод компилятора: ") +
                         log});
  }

  // Closing the window during the wait ends the compiler and the window.
  void closingTheWindowEndsTheWait() {
    Setup setup("30");
    QTimer::singleShot(800, &setup.form, [&] { setup.form.close(); });
    const auto started = std::chrono::steady_clock::now();
    setup.form.Button1->click();
    QVERIFY(std::chrono::steady_clock::now() - started < std::chrono::seconds(15));
    QVERIFY(!setup.form.isVisible());
    QCOMPARE(setup.messages, QStringList());
    QVERIFY(!setup.form.IsBuilding());
    QVERIFY(!QFile::exists(setup.work.path() + "/help/t.chm"));
  }
};

QTEST_MAIN(HelpCompilerTest)
#include "help_compiler_test.moc"
