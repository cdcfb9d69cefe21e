// libFuzzer entry: any bytes as a page archive. The reader must answer with a
// page or with nothing, never crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "mhtml/mhtml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto archive =
      tavex::ReadMhtmlBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  // Touch what was read, so nothing of it can be optimised away.
  if (archive) {
    volatile size_t total = archive->page.size();
    for (const auto& part : archive->parts) total = total + part.bytes.size();
  }
  return 0;
}
