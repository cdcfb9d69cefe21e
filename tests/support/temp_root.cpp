#include "support/temp_root.h"

#include <stdlib.h>

#include <algorithm>

namespace fs = std::filesystem;

namespace tavex::test {
namespace {

using Text = fs::path::string_type;

#ifdef _WIN32
// Wide, so that a folder with any name reaches GetTempPathW as it is.
constexpr const wchar_t* kVariables[] = {L"TMP", L"TEMP"};
const wchar_t* Get(const wchar_t* name) {
  return _wgetenv(name);
}
void Set(const wchar_t* name, const Text& value) {
  _wputenv_s(name, value.c_str());
}
// An empty value removes the variable.
void Unset(const wchar_t* name) {
  _wputenv_s(name, L"");
}
#else
constexpr const char* kVariables[] = {"TMPDIR"};
const char* Get(const char* name) {
  return getenv(name);
}
void Set(const char* name, const Text& value) {
  setenv(name, value.c_str(), 1);
}
void Unset(const char* name) {
  unsetenv(name);
}
#endif

}  // namespace

ScopedTempRoot::ScopedTempRoot(const fs::path& root) : root_(root) {
  fs::create_directories(root);
  for (const auto* name : kVariables) {
    const auto* value = Get(name);
    previous_.push_back(value ? std::optional<Text>(value) : std::nullopt);
    Set(name, root.native());
  }
}

ScopedTempRoot::~ScopedTempRoot() {
  for (size_t i = 0; i < previous_.size(); ++i) {
    if (previous_[i]) {
      Set(kVariables[i], *previous_[i]);
    } else {
      Unset(kVariables[i]);
    }
  }
}

std::vector<std::string> ScopedTempRoot::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(root_))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tavex::test
