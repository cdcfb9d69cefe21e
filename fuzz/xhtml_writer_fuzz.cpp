// The EPUB edition's XHTML writer on a fuzzed cleaned page.
//
// The page is parsed as the edition parses it, then written with links that
// resolve for every page and picture name made of digits only, so both the
// kept and the dropped reference paths run.
#include <libxml/parser.h>

#include <algorithm>
#include <cctype>

#include "epub/page_source.h"
#include "epub/xhtml_writer.h"
#include "fuzz_support.h"

using namespace tavex;

namespace {

// The name's stem ("12" of "12.htm") when it is all digits.
std::optional<std::string> DigitStem(std::string_view name, std::string_view folder) {
  const size_t dot = name.find('.');
  const std::string_view stem = name.substr(0, dot);
  if (stem.empty() ||
      !std::all_of(stem.begin(), stem.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
    return std::nullopt;
  return std::string(folder) + std::string(stem) + ".xhtml";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const TPageLinks kLinks{
      [](std::string_view page) { return DigitStem(page, "p"); },
      [](std::string_view picture) { return DigitStem(picture, "images/"); }};
  fuzz::IgnoringFailure([&] {
    TXmlDocPtr doc = ParsePage(fuzz::AsText(data, size), "fuzz.htm");
    WriteXhtmlBody(doc.get(), kLinks);
  });
  return 0;
}
