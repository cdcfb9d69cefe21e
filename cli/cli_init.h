// mytavex-cli init DIR: a working folder made from the sample, where a new
// user's first build works.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_options.h"

namespace tavex::cli {

// The arguments of init (args[0] is "init"): one folder, or --help.
Options ParseInitArguments(const std::vector<std::string>& args);

// Makes options.folder (UTF-8, as typed, relative to the current folder) a
// working folder from the sample (launch/working_folder.h) and says where it
// is and how to build its issue. A folder that is not new or empty is refused
// and left as it was. Returns the exit status.
int RunInit(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace tavex::cli
