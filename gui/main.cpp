// mytavex: the window program. Settings, templates and rule files are looked
// up in the working folder, so start it from the folder that holds them.
#include <QApplication>

#include "launch/plug_ins.h"
#include "main_form.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // Pages saved as one archive (".mht", ".mhtml") are read with GMime, in a
  // plug-in loaded when the first archive is met.
  tavex::UseArchiveReaderPlugIn();
  tavex::gui::TForm1 form1;
  form1.show();
  return application.exec();
}
