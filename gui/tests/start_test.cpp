// Start inside the window: the input check, a build of a small real source
// folder, failures, a second Start and closing the window during a build.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "gui_test_support.h"
#include "main_form.h"
#include "platform/text.h"
#include "review_form.h"

using tavex::Field;
using tavex::Switch;
using tavex::gui::TForm1;
using tavex::gui::TForm2;
using namespace tavex::gui::test;

namespace {

const QString kCorpus = QStringLiteral(MYTAVEX_SHARED_DIR "/corpus/");

// A window in a working folder with the page templates and fixed pictures,
// two rubric folders of real saved pages (one with a Cyrillic name) and a
// third row whose folder is missing. Options that would reach outside the
// folder (the help project) are off; the settings are saved as they stand, so
// the activations during a build put back the same values.
struct Setup {
  Setup() {
    WriteFile(work.path() + "/left.htm",
              "<html>\r\n<head><title>MyTitle</title></head>\r\n<body>\r\n<table>\r\n"
              "<!-- begin -->\r\n</table>\r\n</body>\r\n</html>\r\n");
    WriteFile(work.path() + "/index.htm", "<html><frameset></frameset></html>\r\n");
    WriteFile(work.path() + "/tvred.gif", "GIF89a");
    WriteFile(work.path() + "/Logo.gif", "GIF89a");
    QDir().mkpath(work.path() + "/HtmClear");
    const QString apache = kCorpus + "apache-httpd/test-page-1.3-cp1251/";
    WriteFile(work.path() + "/in/Apache/page.htm", ReadFile(apache + "source.html"));
    WriteFile(work.path() + "/in/Apache/apache_pb.gif", ReadFile(apache + "apache_pb.gif"));
    WriteFile(work.path() + QString::fromUtf8("/in/Новости/a.htm"),
              ReadFile(kCorpus + "chardet/chromium-windows-1251-no-meta/source.html"));

    form.message_hook = [this](const QString& text) { messages << text; };
    form.review_hook = [this](TForm2& dialog) { return Review(dialog); };
    form.Edit(Field::SourceDir)->setText(work.path() + "/in");
    form.Edit(Field::TargetDir)->setText(work.path() + "/out#x1/");
    form.Edit(Field::IssueNumber)->setText("5");
    form.CheckBox(Switch::AddToProject)->setChecked(false);
    form.CheckBox(Switch::RunCompiler)->setChecked(false);
    form.SetRowCount(4);
    const char* rows[][2] = {{"Apache", "Сервер"}, {"Новости", "Новости"}, {"missing", "Нет"}};
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 2; ++c)
        form.StringGrid1->setItem(r, c, new QTableWidgetItem(QString::fromUtf8(rows[r][c])));
    form.SpeedButtons[1]->click();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(20);
    messages.clear();
  }

  // The messages other than the warning about the row whose folder is
  // missing, which every build of this setup shows at its end.
  QStringList Failures() const {
    QStringList failures = messages;
    failures.removeIf(
        [](const QString& m) { return m.startsWith(QString::fromUtf8("Рубрика «Нет»")); });
    return failures;
  }

  // Looks at the dialog as the editor would and keeps every article.
  int Review(TForm2& dialog) {
    ++reviews;
    building_during_review = form.IsBuilding();
    messages_at_review = messages;
    dialog.show();
    labels << dialog.Label1->text();
    items = dialog.CheckListBox1->count();
    if (on_review) on_review();
    dialog.BitBtn1->click();
    return dialog.result();
  }

  WorkFolder work;
  TForm1 form;
  QStringList messages;
  QStringList messages_at_review;  // what had been shown when the review opened
  int reviews = 0;
  bool building_during_review = false;
  QStringList labels;
  int items = -1;
  std::function<void()> on_review;
};

}  // namespace

class StartTest : public QObject {
  Q_OBJECT

 private slots:
  void aBadIssueNumberStopsBeforeAnythingChanges() {
    Setup setup;
    QStringList before = Tree(setup.work.path());
    setup.form.Edit(Field::IssueNumber)->setText("5a");
    setup.form.Button1->click();
    // Coming back from the check's message box activates the window, and the
    // activation cannot take the number either: it says so and keeps the
    // window as it stands.
    QCOMPARE(setup.messages,
             (QStringList{QString::fromUtf8("№ не число"), "'5a' is not a valid integer value"}));
    QCOMPARE(Tree(setup.work.path()), before);
    QCOMPARE(setup.reviews, 0);
    QCOMPARE(setup.form.Edit(Field::IssueNumber)->text(), QString("5a"));
  }

  void aBadThresholdIsReportedAndTheSettingsReturn() {
    Setup setup;
    QStringList before = Tree(setup.work.path());
    setup.form.Edit(Field::KeepTablesThreshold)->setText("many");
    setup.form.Button1->click();
    QCOMPARE(setup.messages, QStringList{QString::fromUtf8("Кол-во знаков не число")});
    QCOMPARE(Tree(setup.work.path()), before);
    QCOMPARE(setup.form.Edit(Field::KeepTablesThreshold)->text(), QString("2000"));
  }

  void buildsASmallRealSourceFolder() {
    Setup setup;
    setup.form.Button1->click();
    // The row whose folder is missing is skipped, and the run says so before
    // the review opens, where an empty rubric would otherwise pass unremarked.
    const QStringList warning{QString::fromUtf8("Рубрика «Нет»: нет папки ") + setup.work.path() +
                              "/in/missing"};
    QCOMPARE(setup.messages_at_review, warning);
    QCOMPARE(setup.messages, warning);
    QCOMPARE(setup.reviews, 1);
    QVERIFY(setup.building_during_review);
    QCOMPARE(setup.labels, QStringList{QString::fromUtf8("Сервер")});
    QCOMPARE(setup.items, 1);

    const QString out = setup.work.path() + "/out5";
    QVERIFY(QFile::exists(out + "/pub/0.htm"));
    QVERIFY(QFile::exists(out + "/pub/1.htm"));
    QVERIFY(!QFile::exists(out + "/pub/2.htm"));
    QVERIFY(QFile::exists(out + "/index.htm"));
    QVERIFY(QFile::exists(out + "/images/tvred.gif"));
    std::string left = ReadFile(out + "/frame/left.htm");
    QVERIFY(left.find("Tavex \xb9"
                      "5") != std::string::npos);  // Tavex №5
    QVERIFY(left.find(tavex::Utf8To1251("\r\nСервер\r\n")) != std::string::npos);
    QVERIFY(left.find(tavex::Utf8To1251("\r\nНовости\r\n")) != std::string::npos);
    QVERIFY(left.find(tavex::Utf8To1251("\r\nНет\r\n")) == std::string::npos);

    // The run gives the typed folder back and resets its progress.
    QCOMPARE(setup.form.Edit(Field::TargetDir)->text(), setup.work.path() + "/out#x1/");
    QCOMPARE(setup.form.ProgressBar1->value(), 0);
    QCOMPARE(setup.form.ProgressBar2->value(), 0);
    QVERIFY(!setup.form.IsBuilding());
  }

  // The EPUB switch adds the book beside the issue tree; a book that cannot
  // be written is reported like any other failure. The switch is read after
  // the review, when the activation has put the saved settings back, so it
  // takes effect once saved.
  void theEpubSwitchAddsTheBook() {
    Setup setup;
    const QString book = setup.work.path() + "/out5/tavex5.epub";
    setup.form.Button1->click();
    QVERIFY(!QFile::exists(book));
    setup.form.CheckBox(Switch::MakeEpub)->setChecked(true);
    setup.form.SpeedButtons[1]->click();
    setup.form.Button1->click();
    QVERIFY2(setup.Failures().isEmpty(), qPrintable(setup.messages.join("\n")));
    QVERIFY(ReadFile(book).starts_with("PK\x03\x04"));
    QFile::remove(book);
    QVERIFY(QDir().mkpath(book));
    setup.messages.clear();
    setup.form.Button1->click();
    const QStringList failures = setup.Failures();
    QCOMPARE(failures.size(), 1);
    // The message's second line names the book as the system writes paths.
    QVERIFY2(failures[0].startsWith("Cannot create file") &&
                 failures[0].contains(setup.work.path() + "/out5/tavex5.epub"),
             qPrintable(failures[0]));
  }

  // Saving during a build writes the typed folder texts, so the next start
  // builds the next issue into its own folder, not into this one's.
  void aSaveDuringABuildKeepsTheTypedFolders() {
    Setup setup;
    const QString work = setup.work.path();
    setup.form.Edit(Field::IndexPagePath)->setText("out#x1/index.htm");
    QString shown;
    setup.on_review = [&] {
      setup.form.SpeedButtons[1]->click();
      shown = setup.form.Edit(Field::TargetDir)->text();
    };
    setup.form.Button1->click();
    QVERIFY2(setup.Failures().isEmpty(), qPrintable(setup.messages.join("\n")));
    QCOMPARE(shown, work + "/out5");  // the run still shows and uses its own folder
    // Lines 4 to 7 of the file: SourceDir, TargetDir, ProjectPath, IndexPagePath.
    const QStringList lines = QString::fromStdString(ReadFile(work + "/tavex.sav")).split("\r\n");
    QVERIFY(lines.size() > 6);
    QCOMPARE(lines[3], work + "/in");
    QCOMPARE(lines[4], work + "/out#x1/");
    QCOMPARE(lines[6], QString("out#x1/index.htm"));
    QCOMPARE(setup.form.Edit(Field::TargetDir)->text(), work + "/out#x1/");

    const std::string first_page = ReadFile(work + "/out5/pub/0.htm");
    QVERIFY(!first_page.empty());
    setup.form.Edit(Field::IssueNumber)->setText("6");
    setup.on_review = nullptr;
    setup.form.Button1->click();
    QVERIFY2(setup.Failures().isEmpty(), qPrintable(setup.messages.join("\n")));
    QVERIFY(QFile::exists(work + "/out6/pub/1.htm"));
    QCOMPARE(ReadFile(work + "/out5/pub/0.htm"), first_page);
  }

  // Loading during a build (at its first pause, before any page is cleaned,
  // and again as the review opens) leaves the folders the build writes; the
  // loaded folders are what the window shows once the build is over.
  void aLoadDuringABuildLeavesTheRunsFolders() {
    Setup setup;
    const QString work = setup.work.path();
    // The settings record that the load button applies names other folders.
    setup.form.Edit(Field::SourceDir)->setText(work + "/elsewhere-in");
    setup.form.Edit(Field::TargetDir)->setText(work + "/elsewhere#x1/");
    setup.form.SpeedButtons[1]->click();
    setup.form.Edit(Field::SourceDir)->setText(work + "/in");
    setup.form.Edit(Field::TargetDir)->setText(work + "/out#x1/");
    QStringList shown;
    auto load = [&] {
      setup.form.SpeedButtons[2]->click();
      shown << setup.form.Edit(Field::SourceDir)->text()
            << setup.form.Edit(Field::TargetDir)->text();
    };
    QTimer::singleShot(0, &setup.form, load);
    setup.on_review = load;
    setup.form.Button1->click();
    QVERIFY2(setup.Failures().isEmpty(), qPrintable(setup.messages.join("\n")));
    QCOMPARE(shown, (QStringList{work + "/in", work + "/out5", work + "/in", work + "/out5"}));
    QCOMPARE(setup.reviews, 1);
    QCOMPARE(setup.items, 1);
    const QString out = work + "/out5";
    QVERIFY(QFile::exists(out + "/pub/0.htm"));
    QVERIFY(QFile::exists(out + "/pub/1.htm"));
    QVERIFY(QFile::exists(out + "/images/tvred.gif"));
    QVERIFY(ReadFile(out + "/frame/left.htm").find(tavex::Utf8To1251("\r\nНовости\r\n")) !=
            std::string::npos);
    QVERIFY(!QFileInfo::exists(work + "/elsewhere5"));
    QVERIFY(!QFileInfo::exists(work + "/elsewhere#x1"));
    QVERIFY(!QFileInfo::exists(work + "/elsewhere-in"));
    QCOMPARE(setup.form.Edit(Field::SourceDir)->text(), work + "/elsewhere-in");
    QCOMPARE(setup.form.Edit(Field::TargetDir)->text(), work + "/elsewhere#x1/");
  }

  void aSecondStartDuringABuildIsRefused() {
    Setup setup;
    setup.on_review = [&] { setup.form.Button1->click(); };
    setup.form.Button1->click();
    QCOMPARE(setup.reviews, 1);
    QCOMPARE(setup.Failures(), QStringList());
    // Once the build is over, Start works again.
    setup.on_review = nullptr;
    setup.form.Button1->click();
    QCOMPARE(setup.reviews, 2);
  }

  void aFailureIsShownAndTheWindowGoesOn() {
    Setup setup;
    QFile::remove(setup.work.path() + "/left.htm");
    setup.form.Button1->click();
    const QStringList failures = setup.Failures();
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures[0].startsWith("Cannot open file") && failures[0].contains("left.htm"),
             qPrintable(failures[0]));
    QCOMPARE(setup.reviews, 0);
    QVERIFY(setup.form.isVisible());
    QVERIFY(!setup.form.IsBuilding());
    WriteFile(setup.work.path() + "/left.htm", "<!-- begin -->\r\n");
    setup.form.Button1->click();
    QCOMPARE(setup.reviews, 1);
  }

  // The close is handled at the build's next pause: the build stops there and
  // the window then closes, without reaching the review.
  void closingDuringABuildStopsItAndCloses() {
    Setup setup;
    QTimer::singleShot(0, &setup.form, [&] { setup.form.close(); });
    setup.form.Button1->click();
    QVERIFY(!setup.form.isVisible());
    QCOMPARE(setup.reviews, 0);
    QCOMPARE(setup.messages, QStringList());
    QVERIFY(!setup.form.IsBuilding());
  }
};

QTEST_MAIN(StartTest)
#include "start_test.moc"
