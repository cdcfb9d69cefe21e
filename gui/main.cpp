// mytavex: the window program. Settings, templates and rule files are looked
// up in the working folder (start_folder.h tells which one that is).
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "launch/plug_ins.h"
#include "main_form.h"
#include "qt_text.h"
#include "start_folder.h"

namespace {

// --help and --version are answered before Qt starts, so they need no display
// (the manual page is made from them at build time).
bool AnswersAlone(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      const QString text =
          arg == "--version" ? tavex::gui::WindowVersionText() : tavex::gui::WindowHelpText();
      std::fputs(text.toUtf8().constData(), stdout);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (AnswersAlone(argc, argv)) return 0;
  QApplication application(argc, argv);
  // What Qt took for itself (-platform, -style, ...) is gone from here.
  const tavex::gui::WindowArguments args =
      tavex::gui::ParseWindowArguments(application.arguments().mid(1));
  QString error = args.error;
  QString notice;
  if (error.isEmpty()) notice = tavex::gui::EnterStartFolder(args.workdir, QDir::homePath(), error);
  if (!error.isEmpty()) {
    std::fputs(("mytavex: " + error + "\n" + tavex::gui::WindowHelpText()).toUtf8().constData(),
               stderr);
    return 2;
  }
  // Pages saved as one archive (".mht", ".mhtml") are read with GMime, in a
  // plug-in loaded when the first archive is met.
  tavex::UseArchiveReaderPlugIn();
  tavex::gui::TForm1 form1;
  form1.show();
  // After the first activation (queued at the show), so the window is up.
  if (!notice.isEmpty())
    QTimer::singleShot(0, &form1,
                       [&form1, notice] { form1.ShowMessage(tavex::gui::ToCore(notice)); });
  return application.exec();
}
