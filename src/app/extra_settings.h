// The second settings file, "mytavex.ini", beside "tavex.sav".
//
// "tavex.sav" keeps its layout of fifteen flags, which older versions read;
// every option beyond them lives here, one "Name=on" or "Name=off" a line
// (the option names of the command line's --set), Windows-1251 text with CR LF
// line ends. Lines the program does not know (comments, options of a newer
// version) are kept in their place when the file is written again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"

namespace tavex {

inline constexpr const char* kExtraSettingsFile = "mytavex.ini";

// The second file's path beside the given "tavex.sav" path: same folder.
std::string ExtraSettingsPathBeside(std::string_view settings_path);

// Reads the file into the record: every switch beyond tavex.sav's flags takes
// its designer default, then the value its first line gives. A missing file, a
// name it lacks or a value other than on/off (letter case ignored) leaves
// that switch at its default. Fails with "Cannot open file %s" only when the
// file exists and cannot be read.
void LoadExtraSettings(TSettings& settings, std::string_view path);

// The lines of the file as read last (settings.ExtraLines) that set nothing
// although they are neither blank nor a comment (";" or "#" first): a name
// the program does not know (it is kept, for a newer version), a switch that
// tavex.sav holds, a value other than on/off, a line without "=", a name given
// again. One text for each, "mytavex.ini:N: ..." with N its line from 1
// (Windows-1251), in line order, for a front end to warn with.
std::vector<std::string> ExtraSettingsProblems(const TSettings& settings);

// Writes the file whole: the lines read last in their order, a known name's
// line with the record's value (once, a repeated one dropped), then the known
// names the file lacked. Fails with "Cannot create file %s".
void SaveExtraSettings(const TSettings& settings, std::string_view path);

}  // namespace tavex
