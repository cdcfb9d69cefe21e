#include "platform/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// Tries this many names before giving up: a clash is already unlikely at the
// first, so only a folder that cannot be written to runs through them all.
constexpr int kAttempts = 64;

std::string RandomSuffix(std::mt19937_64& random) {
  static const char kDigits[] = "0123456789abcdef";
  std::string suffix;
  uint64_t bits = random();
  for (int i = 0; i < 12; ++i, bits >>= 4) suffix += kDigits[bits & 15];
  return suffix;
}

}  // namespace

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  std::error_code ec;
  fs::remove_all(native_, ec);
}

const std::string& TempFolder::Path() {
  if (!path_.empty()) return path_;
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) throw CannotCreateFile("mytavex-*");
  std::mt19937_64 random(std::random_device{}());
  for (int i = 0; i < kAttempts; ++i) {
    const fs::path candidate = base / ("mytavex-" + RandomSuffix(random));
    // create_directory answers false for a folder that exists already, so two
    // runs at once can never share one.
    if (fs::create_directory(candidate, ec) && !ec) {
      native_ = candidate;
      path_ = Utf8To1251(Utf8OfPath(candidate));
      return path_;
    }
  }
  throw CannotCreateFile(Utf8To1251(Utf8OfPath(base / "mytavex-*")));
}

std::string TempFolder::WriteFile(std::string_view name, std::string_view bytes) {
  const std::string path = Path() + "\\" + std::string(name);
  std::ofstream out(native_ / std::string(name), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw CannotCreateFile(path);
  return path;
}

}  // namespace tavex
