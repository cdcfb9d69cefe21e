#include "clean/page_load.h"

#include <cerrno>
#include <optional>

#include "clean/embedded_pictures.h"
#include "clean/page_archive.h"
#include "clean/page_encoding.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The bytes of the page file or archive. Within a build the file is read
// through the checked open file, so a file swapped for a link to somewhere
// else after it was listed is not read.
std::string ReadSourceFile(std::string_view source_path, std::string_view source_root) {
  errno = 0;  // a failure that sets no reason shows none
  ReadRefusal refusal = ReadRefusal::None;
  auto bytes = source_root.empty() ? ReadFileBytes(source_path)
                                   : ReadFileWithin(source_path, source_root, SIZE_MAX, refusal);
  if (!bytes) throw CannotOpenFile(source_path);
  return std::move(*bytes);
}

TPageArchive ReadArchive(std::string_view source_path, std::string_view source_root) {
  // Without a reader the file is not even read. Neither that nor a damaged
  // archive has a system reason to show.
  const PageArchiveReader* reader = CurrentPageArchiveReader();
  if (!reader) throw CannotOpenFile(source_path, 0);
  std::optional<TPageArchive> archive = reader->Parse(ReadSourceFile(source_path, source_root));
  if (!archive) throw CannotOpenFile(source_path, 0);
  return std::move(*archive);
}

// The archive's page as page bytes. A part that was converted to UTF-8 gets
// a byte order mark, which outranks the page's own <meta> declaration: that
// still names the charset the page had before its archive's reader converted
// it.
std::string ArchivePageBytes(const TPageArchive& archive) {
  static constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (EqualsIgnoreCase(archive.charset, "utf-8") && archive.page.substr(0, 3) != kBom)
    return std::string(kBom) + archive.page;
  return archive.page;
}

}  // namespace

std::string LoadPageText(std::string_view source_path, std::string_view source_root,
                         TempFolder& scratch, bool every_picture_attribute) {
  if (IsPageArchiveName(source_path)) {
    const TPageArchive archive = ReadArchive(source_path, source_root);
    return TakeOutEmbeddedPictures(PageTo1251(ArchivePageBytes(archive)), scratch, &archive,
                                   every_picture_attribute);
  }
  std::string bytes = ReadSourceFile(source_path, source_root);
  ConvertPageTo1251(bytes);  // in place: one copy of a large page the less
  const size_t slash = source_path.find_last_of("\\/");
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view(".") : source_path.substr(0, slash);
  return TakeOutEmbeddedPictures(std::move(bytes), scratch, nullptr, every_picture_attribute,
                                 folder);
}

}  // namespace tavex
