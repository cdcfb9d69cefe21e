// Setting a file's or a folder's modification time in tests, as if it had
// been changed at that moment: std::filesystem cannot do it for folders on
// every system (mingw's library refuses them).
#pragma once

#include <chrono>
#include <filesystem>

namespace tavex::test {

// Sets the modification time of the file or folder at path; fails the test
// (an exception) when the system refuses.
void SetModifiedTime(const std::filesystem::path& path, std::chrono::system_clock::time_point when);

}  // namespace tavex::test
