#include "fuzz_support.h"

#include <unistd.h>

#include <fstream>

namespace fs = std::filesystem;

namespace tavex::fuzz {

TwoParts SplitAtNul(std::string_view input) {
  const size_t nul = input.find('\0');
  if (nul == std::string_view::npos) return {input, {}, false};
  return {input.substr(0, nul), input.substr(nul + 1), true};
}

Workspace& Workspace::Get() {
  static Workspace workspace;
  return workspace;
}

Workspace::Workspace() {
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0;; ++attempt) {
    fs::path candidate =
        base / ("mytavex-fuzz-" + std::to_string(getpid()) + "-" + std::to_string(attempt));
    if (fs::create_directory(candidate)) {
      root_ = candidate;
      break;
    }
  }
  fs::current_path(root_);
}

Workspace::~Workspace() {
  std::error_code ec;
  fs::current_path(root_.parent_path(), ec);
  fs::remove_all(root_, ec);
}

std::string Workspace::PathText(std::string_view relative) const {
  return (root_ / fs::path(relative)).string();
}

void Workspace::Write(std::string_view relative, std::string_view bytes) const {
  const fs::path path = root_ / fs::path(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Workspace::Empty(std::string_view relative) const {
  const fs::path folder = root_ / fs::path(relative);
  std::error_code ec;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec))
    fs::remove_all(entry.path(), ec);
}

}  // namespace tavex::fuzz
