#include "epub/epub_container.h"

#include <zip.h>

#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/files.h"

namespace tavex {
namespace {

// zlib's own default level. libzip takes 0 ("default") as its best and
// slowest level, 9, which made the edition cost four times the build for a
// book only a few per cent smaller.
constexpr zip_uint32_t kDeflateLevel = 6;

// Adds one entry; false when libzip refuses it. bytes must live until the
// archive is closed.
bool AddEntry(zip_t* archive, const std::string& name, std::string_view bytes, bool store) {
  zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
  if (source == nullptr) return false;
  const zip_int64_t index =
      zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return false;
  }
  return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                  store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                  store ? 0 : kDeflateLevel) == 0;
}

// The bytes of the whole archive, made in a memory buffer; nothing when
// libzip refuses. pictures holds the bytes of the entries taken from files.
std::optional<std::string> ArchiveBytes(const std::vector<TContainerEntry>& entries,
                                        const std::vector<std::string>& pictures) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_error_fini(&error);
  if (buffer == nullptr) return std::nullopt;
  zip_source_keep(buffer);  // read back after the archive is closed
  zip_t* archive = zip_open_from_source(buffer, ZIP_CREATE | ZIP_TRUNCATE, nullptr);
  bool ok = archive != nullptr;
  for (size_t i = 0; ok && i < entries.size(); ++i) {
    const TContainerEntry& entry = entries[i];
    // Pictures are compressed already; deflating them again only costs time.
    const bool store = i == 0 || !entry.source_text.empty();
    ok =
        AddEntry(archive, entry.name, entry.source_text.empty() ? entry.bytes : pictures[i], store);
  }
  if (ok && zip_close(archive) != 0) ok = false;
  if (!ok && archive != nullptr) zip_discard(archive);
  std::optional<std::string> bytes;
  zip_stat_t stat;
  if (ok && zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
    bytes.emplace(static_cast<size_t>(stat.size), '\0');
    if (zip_source_read(buffer, bytes->data(), stat.size) != static_cast<zip_int64_t>(stat.size))
      bytes.reset();
    zip_source_close(buffer);
  }
  zip_source_free(buffer);
  return bytes;
}

}  // namespace

namespace {

ContainerWriter& Writer() {
  static ContainerWriter writer = &WriteFileWhole;
  return writer;
}

}  // namespace

void UseContainerWriter(ContainerWriter writer) {
  Writer() = writer;
}

void WriteContainerWhole(std::string_view path_text, const std::vector<TContainerEntry>& entries) {
  std::vector<std::string> pictures(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].source_text.empty()) continue;
    auto bytes = ReadFileBytes(entries[i].source_text);
    if (!bytes) throw CannotOpenFile(entries[i].source_text);
    pictures[i] = std::move(*bytes);
  }
  // The reason shown is the one known for sure: errno is not reliable after
  // the archive library.
  const auto bytes = ArchiveBytes(entries, pictures);
  if (!bytes) throw CannotCreateFile(path_text, 0);
  if (!Writer()(path_text, *bytes)) throw CannotCreateFile(path_text);
}

}  // namespace tavex
