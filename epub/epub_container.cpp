#include "epub/epub_container.h"

#include <zip.h>

#include <system_error>

#include "platform/failure.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// zlib's own default level. libzip takes 0 ("default") as its best and
// slowest level, 9, which made the edition cost four times the build for a
// book only a few per cent smaller.
constexpr zip_uint32_t kDeflateLevel = 6;

// Adds one entry; false when libzip refuses it.
bool AddEntry(zip_t* archive, const TContainerEntry& entry, bool store) {
  zip_source_t* source = entry.source_file.empty()
                             ? zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0)
                             : zip_source_file(archive, entry.source_file.c_str(), 0, -1);
  if (source == nullptr) return false;
  const zip_int64_t index =
      zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return false;
  }
  return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                  store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                  store ? 0 : kDeflateLevel) == 0;
}

// Writes the whole archive at temp; false (and nothing left there) on failure.
bool WriteArchive(const fs::path& temp, const std::vector<TContainerEntry>& entries) {
  int error = 0;
  zip_t* archive = zip_open(temp.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) return false;
  bool first = true;
  for (const TContainerEntry& entry : entries) {
    // Pictures are compressed already; deflating them again only costs time.
    const bool store = first || !entry.source_file.empty();
    first = false;
    if (!AddEntry(archive, entry, store)) {
      zip_discard(archive);
      return false;
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    return false;
  }
  return true;
}

}  // namespace

void WriteContainerWhole(std::string_view path_text, const std::vector<TContainerEntry>& entries) {
  const fs::path target = NativePath(path_text);
  fs::path temp = target;
  temp += ".tmp-write";
  std::error_code ec;
  fs::remove(temp, ec);
  // The reason shown is the one known for sure: errno is not reliable after
  // the archive library or the folder test.
  if (fs::is_directory(target, ec)) throw CannotCreateFile(path_text, EISDIR);
  if (!WriteArchive(temp, entries)) {
    fs::remove(temp, ec);
    throw CannotCreateFile(path_text, 0);
  }
  fs::rename(temp, target, ec);
  if (ec) {
    const int error = ec.value();
    fs::remove(temp, ec);
    throw CannotCreateFile(path_text, error);
  }
}

}  // namespace tavex
