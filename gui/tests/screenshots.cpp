// Saves a picture of each tab of the main window and of the review dialog, to
// look at the layout and the Russian captions on a given platform:
//   xvfb-run -a build/gui/mytavex_screenshots OUTPUT_FOLDER
// It runs the window's first activation like a start does, so run it in a
// folder with a "tavex.sav" to see saved settings applied; messages go to
// standard error instead of a message box.
#include <QApplication>
#include <QDir>
#include <QListWidget>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "main_form.h"
#include "platform/text.h"
#include "review_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: mytavex_screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(".");

  tavex::gui::TForm1 form;
  form.message_hook = [](const QString& text) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
  };
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) std::fprintf(stderr, "window not exposed\n");
  QTest::qWait(200);
  // Sample rows, so the grid is seen filled whatever the settings file holds.
  const char* rows[][2] = {{"Internet", "Интернет"}, {"System", "Система"}, {"Новости", "Новости"}};
  form.SetRowCount(4);
  form.SetCell(0, 0, tavex::Utf8To1251("Название папки"));
  form.SetCell(1, 0, tavex::Utf8To1251("Название рубрики"));
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 2; ++c) form.SetCell(c, r + 1, tavex::Utf8To1251(rows[r][c]));

  for (int i = 0; i < form.PageControl1->count(); ++i) {
    form.PageControl1->setCurrentIndex(i);
    QTest::qWait(50);
    form.grab().save(out.filePath(QString("tab%1.png").arg(i + 1)));
  }
  form.PageControl1->setCurrentIndex(0);
  QTest::qWait(50);
  if (QScreen* screen = form.screen()) screen->grabWindow(0).save(out.filePath("screen.png"));

  tavex::ArticleTable table;
  auto title = [](const char* utf8) { return tavex::Utf8To1251(utf8); };
  table.Rubrics = {
      {{title("Новый процессор"), "", "", true}, {title("Обзор ноутбуков"), "", "", false}},
      {{title("Как выбрать роутер"), "", "", true}}};
  form.review_hook = [&](tavex::gui::TForm2& dialog) {
    dialog.show();
    QTest::qWait(100);
    dialog.CheckListBox1->setCurrentRow(0);
    dialog.grab().save(out.filePath("review.png"));
    dialog.hide();
    return int(QDialog::Rejected);
  };
  form.ReviewArticles(table);
  std::printf("saved to %s\n", out.absolutePath().toUtf8().constData());
  return 0;
}
