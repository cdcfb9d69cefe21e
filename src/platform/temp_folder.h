// A scratch folder of the run's own, under the system's temporary folder.
//
// Pictures that a saved page carries inside itself (data: addresses, the parts
// of an MHTML archive) are written here as files, so that the picture pass can
// number and copy them like pictures beside the article. The editor's source
// folder is never written to.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tavex {

class TempFolder {
 public:
  TempFolder() = default;
  // Removes the folder with everything in it, also when the article that used
  // it ended in a failure or a cancel. Never throws.
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder's path text (Windows-1251, no trailing separator). The folder
  // is made on the first call, with a name no other folder has ("mytavex-" and
  // random hexadecimal digits); fails with "Cannot create file %s" naming the
  // temporary folder when it cannot be made.
  const std::string& Path();
  // Whether Path has made the folder.
  bool Made() const { return !path_.empty(); }

  // Writes a new file of the folder (made first when it is not yet) under a
  // plain ASCII name, and returns its path text. The folder is the run's own
  // and fresh, so the file is written in place, not moved there, and its name
  // is not looked up ignoring letter case: that lookup lists the folder, and a
  // page with thousands of pictures would list it once for each. Fails with
  // "Cannot create file %s".
  std::string WriteFile(std::string_view name, std::string_view bytes);

 private:
  std::string path_;
  std::filesystem::path native_;
};

}  // namespace tavex
