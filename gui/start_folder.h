// The window's command line and the working folder it starts in.
//
//   mytavex [--workdir DIR]
//   mytavex --help | --version
//
// Without --workdir the window works in the folder it was started in, as it
// always did, when that folder holds "tavex.sav" or is not the home folder (a
// start from a terminal in a folder of one's own). Started in the home folder
// with no "tavex.sav" there, as a desktop entry starts it, it works in
// ~/MyTavex instead, which its first start makes from the sample working
// folder (launch/working_folder.h), and says so.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavex::gui {

struct WindowArguments {
  bool help = false;
  bool version = false;
  std::optional<QString> workdir;
  QString error;  // a command line that does not fit; empty when it fits
};

// Reads the arguments after the program name (Qt's own taken out already).
WindowArguments ParseWindowArguments(const QStringList& args);

// The texts for --help (wrapped at 80 columns) and --version; the manual page
// is made from them.
QString WindowHelpText();
QString WindowVersionText();

// The name of the folder a desktop start works in, below the home folder.
inline constexpr const char* kHomeWorkFolder = "MyTavex";

// Makes the folder the window works in the current folder (see above): the
// folder --workdir names, the current one, or home + "/MyTavex", made from the
// sample when it is missing or empty. Answers what to tell the user once the
// window is up (empty when nothing), or, when workdir cannot be entered, sets
// error and changes nothing.
QString EnterStartFolder(const std::optional<QString>& workdir, const QString& home,
                         QString& error);

}  // namespace tavex::gui
