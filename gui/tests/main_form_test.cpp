// The main window on the offscreen platform: its designed state, the edge
// between its widgets and the core, activation, settings and the grid buttons.
#include "main_form.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "app/memory_window.h"
#include "app/settings.h"
#include "gui_test_support.h"
#include "platform/text.h"
#include "qt_text.h"

using tavex::Field;
using tavex::Switch;
using tavex::gui::TForm1;
using namespace tavex::gui::test;

namespace {

// A window whose messages are collected instead of shown.
struct Form : TForm1 {
  Form() {
    message_hook = [this](const QString& text) { messages << text; };
  }
  QStringList messages;
};

// Shows the window as a start does and lets its first activation run.
void ShowAndActivate(Form& form) {
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTest::qWait(20);
}

void SetRows(Form& form, const QList<QPair<QString, QString>>& rows) {
  form.SetRowCount(rows.size() + 1);
  for (int r = 0; r < rows.size(); ++r) {
    form.StringGrid1->setItem(r, 0, new QTableWidgetItem(rows[r].first));
    form.StringGrid1->setItem(r, 1, new QTableWidgetItem(rows[r].second));
  }
}

QStringList GridRows(const Form& form) {
  QStringList rows;
  for (int r = 0; r < form.StringGrid1->rowCount(); ++r) {
    QString row;
    for (int c = 0; c < 2; ++c) {
      const QTableWidgetItem* item = form.StringGrid1->item(r, c);
      row += (c ? "|" : "") + (item ? item->text() : QString());
    }
    rows << row;
  }
  return rows;
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheDesignerDefaults() {
    Form form;
    QCOMPARE(form.windowTitle(), QString("MyTavex v3.71b"));
    QCOMPARE(form.size(), QSize(451, 314));
    for (const auto& info : tavex::kFields)
      QCOMPARE(form.FieldText(info.field), std::string(info.default_text));
    for (const auto& info : tavex::kSwitches) QCOMPARE(form.IsChecked(info.sw), info.default_on);
    QVERIFY(!form.CheckBox(Switch::MakeEpub)->isChecked());
    QCOMPARE(form.RowCount(), 6);
    QVERIFY(!form.Edit(Field::IssuesPerFolder)->isEnabled());
    QCOMPARE(form.ProgressBar1->maximum(), 100);
    QCOMPARE(form.ProgressBar2->value(), 0);
    tavex::Date today = tavex::Today();
    QCOMPARE(form.DateTimePicker1->date(), QDate(today.year, today.month, today.day));
  }

  void captionsAreRussian() {
    Form form;
    QCOMPARE(form.PageControl1->count(), 3);
    QCOMPARE(form.PageControl1->tabText(0), QString::fromUtf8("Главная"));
    QCOMPARE(form.PageControl1->tabText(1), QString::fromUtf8("Продвинутые настройки"));
    QCOMPARE(form.PageControl1->tabText(2), QString::fromUtf8("Компиляция"));
    QCOMPARE(form.CheckBox(Switch::RemoveAds)->text(), QString::fromUtf8("Убрать рекламу"));
    // "восстановить" in Cyrillic letters only: the Latin "c" it once had is gone.
    QCOMPARE(form.CheckBox(Switch::RecoverTitle)->text(),
             QString::fromUtf8("Пытаться восстановить название из title"));
    QCOMPARE(form.CheckBox(Switch::MakeEpub)->text(), QString::fromUtf8("Создавать EPUB"));
    QCOMPARE(form.Button1->text(), QString::fromUtf8("Старт"));
    QCOMPARE(form.BitBtn1->text(), QString::fromUtf8("Выход"));
    QCOMPARE(form.SpeedButtons[5]->text(), QString::fromUtf8("Автоскан"));
    QCOMPARE(form.SpeedButtons[3]->toolTip(), QString::fromUtf8("Добавить строку"));
    QCOMPARE(form.SpeedButtons[1]->toolTip(), QString::fromUtf8("Сохранить настройки"));
    QStringList labels;
    for (const QLabel* label : form.findChildren<QLabel*>()) labels << label->text();
    for (const char* text :
         {"Исходная директория", "Целевая директория", "№", "Путь к проекту",
          "Путь к файлу Index.htm", "Путь к папке с журналами", "Количество журналов в папке"})
      QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    // Every picture button has a picture.
    for (int i = 1; i <= 7; ++i) QVERIFY(!form.SpeedButtons[i]->icon().isNull());
  }

  void coreTextsCrossTheEdgeAsRussian() {
    Form form;
    const std::string folder = tavex::Utf8To1251("Название папки");
    form.SetCell(0, 0, folder);
    QCOMPARE(form.StringGrid1->horizontalHeaderItem(0)->text(),
             QString::fromUtf8("Название папки"));
    QCOMPARE(form.Cell(0, 0), folder);
    form.StringGrid1->setItem(1, 1, new QTableWidgetItem(QString::fromUtf8("Железо")));
    QCOMPARE(form.Cell(1, 2), tavex::Utf8To1251("Железо"));
    form.SetFieldText(Field::SourceDir, tavex::Utf8To1251("d:\\Статьи"));
    QCOMPARE(form.Edit(Field::SourceDir)->text(), QString::fromUtf8("d:\\Статьи"));
    form.SetCaption(tavex::Utf8To1251("Сборка"));
    QCOMPARE(form.windowTitle(), QString::fromUtf8("Сборка"));
    form.ShowMessage(tavex::Utf8To1251("№ не число"));
    QCOMPARE(form.messages, QStringList{QString::fromUtf8("№ не число")});
  }

  void gridRowZeroIsTheHeader() {
    Form form;
    form.SetRowCount(3);
    QCOMPARE(form.StringGrid1->rowCount(), 2);
    form.SetCell(1, 2, "x");
    QCOMPARE(form.StringGrid1->item(1, 1)->text(), QString("x"));
    form.SetCell(1, 3, "past the end");  // ignored, as the in-memory window does
    QCOMPARE(form.RowCount(), 3);
    QCOMPARE(form.Cell(1, 3), std::string());
    form.SetRowCount(1);  // a grid without data rows
    QCOMPARE(form.StringGrid1->rowCount(), 0);
    QCOMPARE(form.RowCount(), 1);
  }

  // The default rubric rows fit their columns whole, "Hardware и техника"
  // the widest, in the window's own font.
  void gridColumnsHoldTheDefaultRubricNames() {
    Form form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    tavex::TSettings defaults;
    tavex::PutDefaultRows(defaults);
    const QFontMetrics metrics(form.StringGrid1->font());
    for (const auto& [folder, rubric] : defaults.Rows) {
      QVERIFY2(form.StringGrid1->columnWidth(0) >
                   metrics.horizontalAdvance(tavex::gui::FromCore(folder)) + 4,
               folder.c_str());
      QVERIFY2(form.StringGrid1->columnWidth(1) >
                   metrics.horizontalAdvance(tavex::gui::FromCore(rubric)) + 4,
               qPrintable(tavex::gui::FromCore(rubric)));
    }
    // Both columns stay inside the grid: no horizontal scrolling to see them.
    QVERIFY(form.StringGrid1->columnWidth(0) + form.StringGrid1->columnWidth(1) <=
            form.StringGrid1->viewport()->width());
  }

  // The insert-row button says "row", not "folder": a picture of its own.
  void insertRowHasItsOwnGlyph() {
    Form form;
    const QImage glyph = form.SpeedButtons[3]->icon().pixmap(16, 16).toImage();
    const QImage folder =
        form.style()->standardIcon(QStyle::SP_FileDialogNewFolder).pixmap(16, 16).toImage();
    QVERIFY(glyph != folder);
    QVERIFY(!glyph.isNull());
  }

  void shortDateFollowsTheLocale() {
    Form form;
    form.SetIssueDate({2026, 3, 5});
    QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    std::string russian = form.ShortDate();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::string american = form.ShortDate();
    QLocale::setDefault(previous);
    QLocale::setDefault(QLocale::c());
    std::string c_library = form.ShortDate();
    QLocale::setDefault(previous);
    QCOMPARE(russian, std::string("05.03.2026"));
    QCOMPARE(american, std::string("3/5/26"));
    // The C locale's own short date would be American; readers get theirs.
    QCOMPARE(c_library, std::string("05.03.2026"));
    QCOMPARE(form.IssueDate().day, 5);
  }

  void progressBarsNeverTurnIntoBusyIndicators() {
    Form form;
    form.SetProgressMax(tavex::ProgressBar::Articles, -1);  // a rubric without articles
    form.SetProgressPosition(tavex::ProgressBar::Articles, 0);
    QVERIFY(form.ProgressBar2->maximum() > form.ProgressBar2->minimum());
    form.SetProgressMax(tavex::ProgressBar::Rubrics, 4);
    form.SetProgressPosition(tavex::ProgressBar::Rubrics, 3);
    QCOMPARE(form.ProgressBar1->maximum(), 4);
    QCOMPARE(form.ProgressBar1->value(), 3);
  }

  void checkBox8EnablesItsTableOptions() {
    Form form;
    QCheckBox* box8 = form.CheckBox(Switch::PickRichestTable);
    QCheckBox* box6 = form.CheckBox(Switch::KeepTablesAboveRatio);
    QCheckBox* box7 = form.CheckBox(Switch::PreferFewerLinks);
    QLineEdit* edit4 = form.Edit(Field::KeepTablesThreshold);
    box7->setChecked(false);
    edit4->setText("1234");
    box8->click();
    QVERIFY(!box6->isEnabled() && !box7->isEnabled() && !edit4->isEnabled());
    QVERIFY(box6->isChecked() && !box7->isChecked());
    QCOMPARE(edit4->text(), QString("1234"));
    box8->click();
    QVERIFY(box6->isEnabled() && box7->isEnabled() && edit4->isEnabled());
    QVERIFY(box6->isChecked() && !box7->isChecked());
    // Through the core's interface, as applying settings sets it.
    form.SetChecked(Switch::PickRichestTable, false);
    QVERIFY(!edit4->isEnabled());
    form.SetChecked(Switch::PickRichestTable, true);
    QVERIFY(edit4->isEnabled());
  }

  void firstStartWithoutSettingsFileShowsOneMessage() {
    WorkFolder work;
    Form form;
    ShowAndActivate(form);
    QCOMPARE(form.messages,
             QStringList{"Cannot open file tavex.sav\ntavex.sav: No such file or directory"});
    for (const auto& info : tavex::kFields)
      QCOMPARE(form.FieldText(info.field), std::string(info.default_text));
    for (const auto& info : tavex::kSwitches) QCOMPARE(form.IsChecked(info.sw), info.default_on);
    QCOMPARE(form.StringGrid1->horizontalHeaderItem(0)->text(),
             QString::fromUtf8("Название папки"));
    QCOMPARE(form.StringGrid1->horizontalHeaderItem(1)->text(),
             QString::fromUtf8("Название рубрики"));
    QCOMPARE(GridRows(form), QStringList(5, "|"));
    QVERIFY(!QFile::exists(work.path() + "/tavex.sav"));
  }

  // The switches for today's pages stand on the advanced tab with the others,
  // each wholly inside the fixed window, none over another.
  void advancedTabHoldsEverySwitchInsideTheWindow() {
    Form form;
    form.show();
    QWidget* tab = form.PageControl1->widget(1);
    form.PageControl1->setCurrentIndex(1);
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QList<QRect> boxes;
    for (Switch sw :
         {Switch::CutScripts, Switch::WidenTables, Switch::PickRichestTable,
          Switch::KeepTablesAboveRatio, Switch::PreferFewerLinks, Switch::CutTablesBelowRatio,
          Switch::CutCellsBelowRatio, Switch::PickArticleBlock, Switch::RecoverTitle,
          Switch::TrimSiteName, Switch::ModernPictures, Switch::UnlinkMissingPages}) {
      QCheckBox* box = form.CheckBox(sw);
      QVERIFY(tab->isAncestorOf(box));
      QVERIFY(box->isVisible());
      const QRect rect(box->mapTo(&form, QPoint(0, 0)), box->size());
      QVERIFY2(form.rect().contains(rect), qPrintable(box->text()));
      QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->text()));  // not cut off
      for (const QRect& other : boxes) QVERIFY2(!other.intersects(rect), qPrintable(box->text()));
      boxes << rect;
    }
    QCOMPARE(form.CheckBox(Switch::PickArticleBlock)->text(),
             QString::fromUtf8("Выбирать блок статьи в вёрстке без таблиц"));
  }

  // They are kept in mytavex.ini beside tavex.sav.
  void todaysSwitchesRoundTripThroughTheSecondFile() {
    WorkFolder work;
    {
      Form form;
      form.CheckBox(Switch::PickArticleBlock)->setChecked(true);
      form.CheckBox(Switch::TrimSiteName)->setChecked(true);
      form.SpeedButtons[1]->click();
      QCOMPARE(form.messages, QStringList());
    }
    QVERIFY(ReadFile(work.path() + "/mytavex.ini").find("PickArticleBlock=on\r\n") !=
            std::string::npos);
    Form form;
    ShowAndActivate(form);
    QVERIFY(form.CheckBox(Switch::PickArticleBlock)->isChecked());
    QVERIFY(form.CheckBox(Switch::TrimSiteName)->isChecked());
    QVERIFY(!form.CheckBox(Switch::ModernPictures)->isChecked());
  }

  void settingsRoundTripKeepsCyrillicRubrics() {
    WorkFolder work;
    {
      Form form;
      form.Edit(Field::SourceDir)->setText(QString::fromUtf8("d:\\Статьи\\#x1"));
      form.Edit(Field::IssueNumber)->setText("12");
      form.Edit(Field::CutTablesThreshold)->setText("25");
      form.CheckBox(Switch::RemoveAds)->setChecked(false);
      form.CheckBox(Switch::MakeEpub)->setChecked(true);
      SetRows(form, {{QString::fromUtf8("Новости"), QString::fromUtf8("Свежие новости")},
                     {"Soft", QString::fromUtf8("Программы")}});
      form.SpeedButtons[1]->click();
      QCOMPARE(form.messages, QStringList());
    }
    // The file is the core's Windows-1251 text, one value per line.
    std::string saved = ReadFile(work.path() + "/tavex.sav");
    QVERIFY(saved.find(tavex::Utf8To1251("\r\nНовости\r\nСвежие новости\r\n")) !=
            std::string::npos);
    QVERIFY(saved.find(tavex::Utf8To1251("d:\\Статьи\\#x1\r\n")) != std::string::npos);
    // Switch 1 and switch 4 clear ("1"), the EPUB switch in the 15th place set.
    QVERIFY(saved.starts_with("3 2000 25 10\r\n12\r\n100100000000000\r\n"));

    Form form;
    ShowAndActivate(form);
    QCOMPARE(form.messages, QStringList());
    QCOMPARE(form.Edit(Field::SourceDir)->text(), QString::fromUtf8("d:\\Статьи\\#x1"));
    QCOMPARE(form.Edit(Field::IssueNumber)->text(), QString("12"));
    QCOMPARE(form.Edit(Field::CutTablesThreshold)->text(), QString("25"));
    QVERIFY(!form.CheckBox(Switch::RemoveAds)->isChecked());
    QVERIFY(form.CheckBox(Switch::MakeEpub)->isChecked());
    QCOMPARE(GridRows(form), (QStringList{QString::fromUtf8("Новости|Свежие новости"),
                                          QString::fromUtf8("Soft|Программы")}));

    // "Загрузить настройки" puts the record back over what was typed since.
    form.Edit(Field::IssueNumber)->setText("13");
    form.StringGrid1->item(0, 1)->setText("x");
    form.SpeedButtons[2]->click();
    QCOMPARE(form.Edit(Field::IssueNumber)->text(), QString("12"));
    QCOMPARE(form.StringGrid1->item(0, 1)->text(), QString::fromUtf8("Свежие новости"));
  }

  // Qt reports a return from another program as activation; it must not
  // throw away what the editor typed since the settings were loaded.
  void comingBackFromAnotherProgramKeepsTypedValues() {
    WorkFolder work;
    Form form;
    form.SpeedButtons[1]->click();  // a settings file with issue 1
    ShowAndActivate(form);
    form.Edit(Field::IssueNumber)->setText("9");
    form.DateTimePicker1->setDate(QDate(2001, 2, 3));
    QEvent deactivate(QEvent::WindowDeactivate);
    QApplication::sendEvent(&form, &deactivate);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&form, &activate);
    form.activateWindow();
    QTest::qWait(20);
    QCOMPARE(form.Edit(Field::IssueNumber)->text(), QString("9"));
    QCOMPARE(form.DateTimePicker1->date(), QDate(2001, 2, 3));
    // An activation the program itself causes does reload them.
    form.FormActivate();
    QCOMPARE(form.Edit(Field::IssueNumber)->text(), QString("1"));
    QVERIFY(form.DateTimePicker1->date() != QDate(2001, 2, 3));
  }

  void rubricButtonsActOnTheFocusedRow() {
    Form form;
    SetRows(form, {{"a", "A"}, {"b", "B"}, {"c", "C"}});
    form.StringGrid1->setCurrentCell(1, 0);
    form.SpeedButtons[3]->click();  // insert
    QCOMPARE(GridRows(form), (QStringList{"a|A", "|", "b|B", "c|C"}));
    form.StringGrid1->setCurrentCell(0, 1);
    form.SpeedButtons[4]->click();  // delete
    QCOMPARE(GridRows(form), (QStringList{"|", "b|B", "c|C"}));
    form.StringGrid1->setCurrentCell(2, 1);
    form.SpeedButtons[6]->click();  // swap, on the last row
    QCOMPARE(GridRows(form), (QStringList{"|", "c|C", "b|B"}));
  }

  // The picture buttons take no focus; a cell still being edited must reach
  // the grid before they act.
  void aCellBeingEditedIsTakenIn() {
    Form form;
    ShowAndActivate(form);
    SetRows(form, {{"a", "A"}, {"b", "B"}});
    form.StringGrid1->setFocus();
    form.StringGrid1->setCurrentCell(1, 1);
    form.StringGrid1->editItem(form.StringGrid1->item(1, 1));
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor && editor != form.StringGrid1);
    QTest::keyClicks(editor, "typed");
    form.SpeedButtons[3]->click();
    QCOMPARE(form.Cell(1, 3), std::string("typed"));
  }

  void autoScanShowsFolderNamesInRussian() {
    WorkFolder work;
    QDir().mkpath(work.path() + "/in5/Soft");
    QDir().mkpath(work.path() + QString::fromUtf8("/in5/Новости"));
    QDir().mkpath(work.path() + "/in5/IMAGES");
    Form form;
    form.Edit(Field::SourceDir)->setText(work.path() + "/in#x1");
    form.Edit(Field::IssueNumber)->setText("5");
    form.SpeedButtons[5]->click();  // the grid holds empty rows only: nothing to ask
    QCOMPARE(GridRows(form), (QStringList{"Soft|Soft", QString::fromUtf8("Новости|Новости")}));
    QCOMPARE(form.Edit(Field::SourceDir)->text(), work.path() + "/in#x1");
  }

  // Filled rows are replaced only when the editor says yes; the titles typed
  // for folders found again stay, and a folder of pictures is no rubric.
  void autoScanAsksBeforeReplacingRows() {
    WorkFolder work;
    QDir().mkpath(work.path() + "/in/Soft");
    QDir().mkpath(work.path() + "/in/Net");
    WriteFile(work.path() + "/in/foto/a.gif", "GIF89a");
    Form form;
    form.Edit(Field::SourceDir)->setText(work.path() + "/in");
    SetRows(form, {{"Soft", QString::fromUtf8("Программы")}, {"Old", "Old"}});
    QStringList asked;
    bool answer = false;
    form.confirm_hook = [&](const QString& text) {
      asked << text;
      return answer;
    };
    form.SpeedButtons[5]->click();
    QCOMPARE(asked.size(), 1);
    QVERIFY2(asked[0].contains(work.path() + "/in"), qPrintable(asked[0]));
    QCOMPARE(GridRows(form), (QStringList{QString::fromUtf8("Soft|Программы"), "Old|Old"}));
    answer = true;
    form.SpeedButtons[5]->click();
    QCOMPARE(GridRows(form), (QStringList{"Net|Net", QString::fromUtf8("Soft|Программы")}));
  }

  void speedButton7DerivesTheTargetFolder() {
    Form form;
    QVERIFY(!form.SpeedButtons[7]->toolTip().isEmpty());
    QStringList asked;
    form.confirm_hook = [&](const QString& text) {
      asked << text;
      return true;
    };
    form.Edit(Field::ProjectPath)->setText("d:\\help\\tavex.hhp");
    form.SpeedButtons[7]->click();
    QCOMPARE(form.Edit(Field::TargetDir)->text(), QString("d:\\tavex\\tavex#x1\\tavex#x1"));
    QCOMPARE(asked.size(), 1);  // "e:\tempout" was there before
    // A project without a drive letter: the issues go beside the project.
    form.Edit(Field::ProjectPath)->setText("/home/ed/help/tavex.hhp");
    form.confirm_hook = [&](const QString&) { return false; };
    form.SpeedButtons[7]->click();
    QCOMPARE(form.Edit(Field::TargetDir)->text(), QString("d:\\tavex\\tavex#x1\\tavex#x1"));
    form.confirm_hook = [&](const QString&) { return true; };
    form.SpeedButtons[7]->click();
    QCOMPARE(form.Edit(Field::TargetDir)->text(), QString("/home/ed/help/tavex#x1/tavex#x1"));
  }

  void exitClosesTheWindow() {
    WorkFolder work;
    Form form;
    ShowAndActivate(form);
    form.BitBtn1->click();
    QVERIFY(!form.isVisible());
    QVERIFY(!QFile::exists(work.path() + "/tavex.sav"));  // nothing saved on the way out
  }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
