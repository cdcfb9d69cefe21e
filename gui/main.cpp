// mytavex: the window program. Settings, templates and rule files are looked
// up in the working folder, so start it from the folder that holds them.
#include <QApplication>

#include "main_form.h"
#include "mhtml/mhtml_reader.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Pages saved as one archive (".mht", ".mhtml") are read with GMime.
  static const tavex::MhtmlReader archive_reader;
  tavex::UsePageArchiveReader(&archive_reader);
  tavex::gui::TForm1 form1;
  form1.show();
  return application.exec();
}
