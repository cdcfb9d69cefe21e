#include "clean/page_archive.h"

#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

const PageArchiveReader* plugged_reader = nullptr;

}  // namespace

bool IsPageArchiveName(std::string_view name) {
  const size_t slash = name.find_last_of("\\/");
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  const std::string extension = LowerCase(ExtensionOf(name));
  return extension == ".mht" || extension == ".mhtml";
}

void UsePageArchiveReader(const PageArchiveReader* reader) {
  plugged_reader = reader;
}

const PageArchiveReader* CurrentPageArchiveReader() {
  return plugged_reader;
}

}  // namespace tavex
