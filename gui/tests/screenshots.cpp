// Saves a picture of each tab of the main window and of the review dialog, to
// look at the layout and the Russian captions on a given platform. Run it in
// a working folder (the sample workspace data/, say), as the window would be:
//   cd data && xvfb-run -a ../build/gui/mytavex_screenshots OUTPUT_FOLDER [--start]
// It goes through the window's first activation like a start does. With
// --start it also presses Start, which writes the issue and updates the help
// contents as the settings say: use a copy of the workspace then. The review
// dialog is pictured with the articles, once more with the preview of
// the first rubric's last article open, and closed with Ok, keeping all of
// them. Messages go to standard error, and are pictured in their message box
// (messageN.png, and the whole screen beside it) before it closes; the order
// they are printed in tells which came before the review. While the help
// compiler runs, the window is pictured with its status text (compiling.png).
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdio>
#include <cstring>

#include "main_form.h"
#include "review_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: mytavex_screenshots OUTPUT_FOLDER [--start]\n");
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(".");
  const bool start = argc > 2 && std::strcmp(argv[2], "--start") == 0;

  tavex::gui::TForm1 form;
  // Each message is also shown as the window would show it, and pictured.
  int messages = 0;
  form.message_hook = [&](const QString& text) {
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    QMessageBox box(QMessageBox::Information, form.windowTitle(), text, QMessageBox::Ok, &form);
    box.show();
    QTest::qWait(150);
    box.grab().save(out.filePath(QString("message%1.png").arg(++messages)));
    if (QScreen* screen = box.screen())
      screen->grabWindow(0).save(out.filePath(QString("message%1-screen.png").arg(messages)));
  };
  form.review_hook = [&](tavex::gui::TForm2& dialog) {
    dialog.show();
    QTest::qWait(100);
    dialog.CheckListBox1->setCurrentRow(0);
    dialog.grab().save(out.filePath("review.png"));
    std::printf("review: %d articles in the first rubric\n", dialog.CheckListBox1->count());
    // The same with the preview open, on the rubric's last article.
    dialog.SpeedButton5->click();
    dialog.CheckListBox1->setCurrentRow(dialog.CheckListBox1->count() - 1);
    QTest::qWait(200);
    dialog.grab().save(out.filePath("review-preview.png"));
    dialog.SpeedButton5->click();
    dialog.BitBtn1->click();
    return dialog.result();
  };
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) std::fprintf(stderr, "window not exposed\n");
  QTest::qWait(200);

  for (int i = 0; i < form.PageControl1->count(); ++i) {
    form.PageControl1->setCurrentIndex(i);
    QTest::qWait(50);
    form.grab().save(out.filePath(QString("tab%1.png").arg(i + 1)));
  }
  form.PageControl1->setCurrentIndex(0);
  QTest::qWait(50);
  if (QScreen* screen = form.screen()) screen->grabWindow(0).save(out.filePath("screen.png"));

  if (start) {
    // The window while the help compiler runs, with its status text.
    bool compiling_shot = false;
    QTimer status_watch;
    QObject::connect(&status_watch, &QTimer::timeout, [&] {
      if (compiling_shot || form.StatusLabel->text().isEmpty()) return;
      compiling_shot = true;
      form.grab().save(out.filePath("compiling.png"));
      std::printf("status: %s\n", form.StatusLabel->text().toUtf8().constData());
    });
    status_watch.start(10);
    form.Button1->click();
    status_watch.stop();
    form.grab().save(out.filePath("after-start.png"));
  }
  std::printf("saved to %s\n", out.absolutePath().toUtf8().constData());
  return 0;
}
