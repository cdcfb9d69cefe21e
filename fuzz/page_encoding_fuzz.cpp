// Encoding detection and conversion of a saved page.
//
// Besides not crashing: a page found to be Windows-1251 must come back byte for
// byte, since the cleaner relies on that to leave the editor's own pages alone.
#include <cstdlib>

#include "clean/page_encoding.h"
#include "fuzz_support.h"

using namespace tavex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view page = fuzz::AsText(data, size);
  fuzz::IgnoringFailure([&] {
    const TPageEncoding encoding = DetectPageEncoding(page);
    const std::string converted = PageTo1251(page);
    if (encoding == TPageEncoding::Cp1251 && converted != page) std::abort();
  });
  return 0;
}
