// The review dialog "Статьи" on the offscreen platform, and its Ok through the
// main window: unchecked articles leave the navigation page and the disk.
#include "review_form.h"

#include <QBuffer>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTableWidgetItem>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

#include "app/memory_window.h"
#include "gui_test_support.h"
#include "main_form.h"
#include "platform/text.h"

using tavex::ArticleTable;
using tavex::TArticleEntry;
using tavex::Utf8To1251;
using tavex::gui::TForm1;
using tavex::gui::TForm2;
using namespace tavex::gui::test;

namespace {

TArticleEntry Article(const char* title, int page, const std::string& folder = "out") {
  std::string name = std::to_string(page) + ".htm";
  return {Utf8To1251(title), "<a href=\"..\\pub\\" + name + "\">", folder + "/pub/" + name, true};
}

// Three rubrics: Сеть with two articles, Программы with none, Разное with one.
struct Sample {
  Sample() {
    window.SetRowCount(4);
    window.SetCell(1, 1, Utf8To1251("Сеть"));
    window.SetCell(1, 2, Utf8To1251("Программы"));
    window.SetCell(1, 3, Utf8To1251("Разное"));
    table.Rubrics = {{Article("Альфа", 0), Article("Бета", 1)}, {}, {Article("Гамма", 2)}};
    dialog.SetTable(window, table);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  }
  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < dialog.CheckListBox1->count(); ++i) {
      const QListWidgetItem* item = dialog.CheckListBox1->item(i);
      items << item->text() + (item->checkState() == Qt::Checked ? "+" : "-");
    }
    return items;
  }
  tavex::MemoryWindow window;
  ArticleTable table;
  TForm2 dialog;
};

// The navigation page as the build writes it: rubric heading blocks of 8
// lines (name on the 4th), article blocks of 9 (link on the 4th, title on the 5th).
std::string Heading(const char* name) {
  return "<td>\r\n<font color=\"#660000\">\r\n<b>\r\n" + Utf8To1251(name) +
         "\r\n</b>\r\n</font>\r\n</td>\r\n</tr>\r\n";
}
std::string Block(const TArticleEntry& entry) {
  return "<tr>\r\n<td>\r\n<font size=\"2\">\r\n" + entry.LinkMarkup + "\r\n" + entry.Title +
         "\r\n</a>\r\n</font>\r\n</td>\r\n</tr>\r\n";
}

// A picture of one colour, 40 by 40, as PNG bytes.
std::string Picture(QColor colour) {
  QImage image(40, 40, QImage::Format_RGB32);
  image.fill(colour);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes.toStdString();
}

// How many pixels of the widget, as it paints itself, have the colour.
int PixelsOf(QWidget* widget, QColor colour) {
  const QImage shot = widget->grab().toImage();
  int count = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) count += shot.pixelColor(x, y) == colour;
  return count;
}

}  // namespace

class ReviewFormTest : public QObject {
  Q_OBJECT

 private slots:
  void isDesignedAsTheArticlesDialog() {
    TForm2 dialog;
    QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Статьи"));
    QCOMPARE(dialog.size(), QSize(298, 496));
    QCOMPARE(dialog.Label1->toolTip(), QString::fromUtf8("Двойной клик по статье покажет ее"));
    QVERIFY(dialog.Label1->font().bold());
    QCOMPARE(dialog.SpeedButton1->text(), QString("<"));
    QCOMPARE(dialog.SpeedButton2->toolTip(), QString::fromUtf8("Следующая рубрика"));
    QCOMPARE(dialog.SpeedButton3->toolTip(), QString::fromUtf8("Добавить в рубрику все"));
    QCOMPARE(dialog.SpeedButton4->toolTip(), QString::fromUtf8("Убрать из рубрики все"));
    QVERIFY(!dialog.SpeedButton3->icon().isNull() && !dialog.SpeedButton4->icon().isNull());
    QCOMPARE(dialog.BitBtn1->text(), QString("Ok"));
    QVERIFY(dialog.BitBtn1->isDefault());
    dialog.show();
    dialog.resize(279, 99);
    QCOMPARE(dialog.size(), QSize(280, 100));
    dialog.resize(280, 100);
    QCOMPARE(dialog.size(), QSize(280, 100));
  }

  // The two "all" buttons have pictures of their own, told apart at a glance.
  void theAllButtonsHaveDistinctGlyphs() {
    TForm2 dialog;
    const QImage add = dialog.SpeedButton3->icon().pixmap(16, 16).toImage();
    const QImage remove = dialog.SpeedButton4->icon().pixmap(16, 16).toImage();
    QVERIFY(add != remove);
    QVERIFY(add != dialog.style()->standardIcon(QStyle::SP_DialogYesButton).pixmap(16).toImage());
  }

  // Titles show as the reader sees them; the table keeps them as written,
  // since Ok looks for them on the navigation page.
  void titlesShowWithTheirCharacterReferencesDecoded() {
    tavex::MemoryWindow window;
    window.SetRowCount(2);
    window.SetCell(1, 1, "Schule");
    ArticleTable table;
    table.Rubrics = {{Article("Sch&#252;lerinnen &mdash; heute", 0), Article("A &amp; B", 1)}};
    TForm2 dialog;
    dialog.SetTable(window, table);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.CheckListBox1->item(0)->text(), QString::fromUtf8("Schülerinnen — heute"));
    QCOMPARE(dialog.CheckListBox1->item(1)->text(), QString("A & B"));
    dialog.CheckListBox1->item(0)->setCheckState(Qt::Unchecked);
    QCOMPARE(table.Rubrics[0][0].Title, std::string("Sch&#252;lerinnen &mdash; heute"));
    QVERIFY(!table.Rubrics[0][0].Included);
  }

  void stepsThroughTheRubrics() {
    Sample s;
    QCOMPARE(s.dialog.Label1->text(), QString::fromUtf8("Сеть"));
    QCOMPARE(s.Items(), (QStringList{QString::fromUtf8("Альфа+"), QString::fromUtf8("Бета+")}));
    s.dialog.SpeedButton1->click();  // "<" on the first rubric
    QCOMPARE(s.dialog.Label1->text(), QString::fromUtf8("Сеть"));
    s.dialog.SpeedButton2->click();
    QCOMPARE(s.dialog.Label1->text(), QString::fromUtf8("Программы"));
    QCOMPARE(s.Items(), QStringList());
    s.dialog.SpeedButton2->click();
    s.dialog.SpeedButton2->click();  // ">" on the last rubric
    QCOMPARE(s.dialog.Label1->text(), QString::fromUtf8("Разное"));
    QCOMPARE(s.Items(), QStringList{QString::fromUtf8("Гамма+")});
    // Every show starts again at the first rubric.
    s.dialog.hide();
    s.dialog.show();
    QCOMPARE(s.dialog.Label1->text(), QString::fromUtf8("Сеть"));
  }

  void checkMarksReachTheTable() {
    Sample s;
    s.dialog.CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
    QVERIFY(s.table.Rubrics[0][0].Included);
    QVERIFY(!s.table.Rubrics[0][1].Included);
    s.dialog.SpeedButton2->click();
    s.dialog.SpeedButton1->click();  // the mark is kept while the editor moves on
    QCOMPARE(s.Items(), (QStringList{QString::fromUtf8("Альфа+"), QString::fromUtf8("Бета-")}));
    s.dialog.SpeedButton4->click();
    QCOMPARE(s.Items(), (QStringList{QString::fromUtf8("Альфа-"), QString::fromUtf8("Бета-")}));
    QVERIFY(!s.table.Rubrics[0][0].Included);
    QVERIFY(s.table.Rubrics[2][0].Included);  // another rubric is not touched
    s.dialog.SpeedButton3->click();
    QVERIFY(s.table.Rubrics[0][0].Included && s.table.Rubrics[0][1].Included);
  }

  void doubleClickOpensTheSelectedArticle() {
    Sample s;
    QStringList opened;
    s.dialog.open_document = [&](const std::string& path) {
      opened << QString::fromStdString(path);
    };
    QWidget* viewport = s.dialog.CheckListBox1->viewport();
    // A real double click: a click, then the double click event.
    auto double_click = [viewport](QPoint at) {
      QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
      QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    };
    const QPoint below_items(20, viewport->height() - 5);
    double_click(below_items);  // nothing selected: nothing opens
    QCOMPARE(opened, QStringList());
    QRect second = s.dialog.CheckListBox1->visualItemRect(s.dialog.CheckListBox1->item(1));
    double_click(second.center() + QPoint(30, 0));
    QCOMPARE(opened, QStringList{"out/pub/1.htm"});
  }

  // Ok through the main window: the unchecked article's block and page go, a
  // rubric left without articles loses its heading, and the window is
  // activated again (the date is today's once more).
  void okRemovesUncheckedArticlesAndEmptyHeadings() {
    WorkFolder work;
    const std::string out = work / "out";
    ArticleTable table;
    // Two articles with the same title: the unchecked one's own block goes.
    table.Rubrics = {
        {Article("Альфа", 0, out), Article("Альфа", 1, out)}, {Article("Гамма", 2, out)}, {}};
    const std::string head = "<html>\r\n<!-- begin -->\r\n";
    const std::string tail = "</table>\r\n</html>\r\n";
    WriteFile(work.path() + "/out/frame/left.htm",
              head + Heading("Сеть") + Block(table.Rubrics[0][0]) + Block(table.Rubrics[0][1]) +
                  Heading("Программы") + Block(table.Rubrics[1][0]) + Heading("Пусто") + tail);
    for (int page = 0; page < 3; ++page)
      WriteFile(work.path() + QString("/out/pub/%1.htm").arg(page), "page");

    TForm1 form;
    QStringList messages;
    form.message_hook = [&](const QString& text) { messages << text; };
    form.SpeedButtons[1]->click();  // a settings file, so activation finds one
    form.Edit(tavex::Field::TargetDir)->setText(QString::fromStdString(out));
    form.SetRowCount(4);
    for (int r = 0; r < 3; ++r)
      form.StringGrid1->setItem(r, 1,
                                new QTableWidgetItem(QString::fromUtf8(r == 0   ? "Сеть"
                                                                       : r == 1 ? "Программы"
                                                                                : "Пусто")));
    form.DateTimePicker1->setDate(QDate(2001, 2, 3));
    form.review_hook = [&](TForm2& dialog) {
      dialog.show();
      dialog.CheckListBox1->item(1)->setCheckState(Qt::Unchecked);
      dialog.SpeedButton2->click();
      dialog.SpeedButton4->click();
      dialog.BitBtn1->click();
      return dialog.result();
    };
    form.ReviewArticles(table);

    QCOMPARE(messages, QStringList());
    QCOMPARE(ReadFile(work.path() + "/out/frame/left.htm"),
             head + Heading("Сеть") + Block(table.Rubrics[0][0]) + tail);
    QVERIFY(QFile::exists(work.path() + "/out/pub/0.htm"));
    QVERIFY(!QFile::exists(work.path() + "/out/pub/1.htm"));
    QVERIFY(!QFile::exists(work.path() + "/out/pub/2.htm"));
    QVERIFY(form.DateTimePicker1->date() != QDate(2001, 2, 3));
  }

  void closingTheDialogChangesNothing() {
    WorkFolder work;
    ArticleTable table;
    table.Rubrics = {{Article("Альфа", 0, work / "out")}};
    const std::string page = "<!-- begin -->\r\n" + Heading("Сеть") + Block(table.Rubrics[0][0]);
    WriteFile(work.path() + "/out/frame/left.htm", page);
    WriteFile(work.path() + "/out/pub/0.htm", "page");
    TForm1 form;
    form.message_hook = [](const QString&) {};
    form.Edit(tavex::Field::TargetDir)->setText(work.path() + "/out");
    form.StringGrid1->setItem(0, 1, new QTableWidgetItem(QString::fromUtf8("Сеть")));
    form.review_hook = [](TForm2& dialog) {
      dialog.show();
      dialog.SpeedButton4->click();
      dialog.reject();
      return dialog.result();
    };
    form.ReviewArticles(table);
    QCOMPARE(ReadFile(work.path() + "/out/frame/left.htm"), page);
    QVERIFY(QFile::exists(work.path() + "/out/pub/0.htm"));
  }

  // The preview: off as designed; on, it shows the selected article's page
  // with the pictures and nothing from outside the issue.
  void thePreviewShowsTheSelectedArticlesPage() {
    WorkFolder work;
    const std::string out = work / "out";
    WriteFile(work.path() + "/out/images/1.png", Picture(Qt::red));
    WriteFile(work.path() + "/secret.png", Picture(Qt::blue));
    WriteFile(work.path() + "/out/pub/0.htm",
              Utf8To1251("<html><head></head><body><h2 align=\"center\">Альфа</h2>"
                         "<p>Первая статья выпуска.</p><img src=\"..\\Images\\1.png\">"
                         "<img src=\"..\\..\\secret.png\"></body></html>\r\n"));
    WriteFile(work.path() + "/out/pub/1.htm",
              "<html><body><p>The second page, without pictures.</p></body></html>\r\n");
    tavex::MemoryWindow window;
    window.SetRowCount(3);
    window.SetCell(1, 1, Utf8To1251("Сеть"));
    window.SetCell(1, 2, Utf8To1251("Пусто"));
    ArticleTable table;
    table.Rubrics = {{Article("Альфа", 0, out), Article("Бета", 1, out)}, {}};
    TForm2 dialog;
    dialog.SetTable(window, table);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.Preview->isHidden());
    QCOMPARE(dialog.size(), QSize(298, 496));
    QCOMPARE(dialog.SpeedButton5->toolTip(),
             QString::fromUtf8("Показать страницу выбранной статьи"));

    dialog.CheckListBox1->setCurrentRow(0);
    dialog.SpeedButton5->click();
    QVERIFY(!dialog.Preview->isHidden());
    QCOMPARE(dialog.width(), 298 + 560);
    QCOMPARE(dialog.CheckListBox1->width(), 298);  // the list keeps its place
    QVERIFY2(dialog.Preview->toPlainText().contains(QString::fromUtf8("Первая статья выпуска.")),
             qPrintable(dialog.Preview->toPlainText()));
    QTest::qWait(50);
    QCOMPARE(PixelsOf(dialog.Preview->viewport(), Qt::red), 40 * 40);
    QCOMPARE(PixelsOf(dialog.Preview->viewport(), Qt::blue), 0);

    dialog.CheckListBox1->setCurrentRow(1);  // another article, another page
    QVERIFY(dialog.Preview->toPlainText().contains("The second page, without pictures."));
    QCOMPARE(PixelsOf(dialog.Preview->viewport(), Qt::red), 0);
    dialog.SpeedButton2->click();  // a rubric without articles shows no page
    QCOMPARE(dialog.Preview->toPlainText(), QString());

    dialog.SpeedButton5->click();
    QVERIFY(dialog.Preview->isHidden());
    QCOMPARE(dialog.width(), 298);
    // Every show starts without it.
    dialog.SpeedButton5->click();
    dialog.hide();
    dialog.show();
    QVERIFY(dialog.Preview->isHidden());
    QCOMPARE(dialog.width(), 298);
  }

  void okWithoutANavigationPageShowsWhyAndDeletesNothing() {
    WorkFolder work;
    ArticleTable table;
    table.Rubrics = {{Article("Альфа", 0, work / "out")}};
    WriteFile(work.path() + "/out/pub/0.htm", "page");
    TForm1 form;
    QStringList messages;
    form.message_hook = [&](const QString& text) { messages << text; };
    form.SpeedButtons[1]->click();
    form.Edit(tavex::Field::TargetDir)->setText(work.path() + "/out");
    form.review_hook = [](TForm2& dialog) {
      dialog.show();
      dialog.SpeedButton4->click();
      dialog.BitBtn1->click();
      return dialog.result();
    };
    form.ReviewArticles(table);
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].startsWith("Cannot open file") && messages[0].contains("left.htm"),
             qPrintable(messages[0]));
    QVERIFY(QFile::exists(work.path() + "/out/pub/0.htm"));
  }
};

QTEST_MAIN(ReviewFormTest)
#include "review_form_test.moc"
