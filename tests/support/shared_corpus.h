// Tests over the shared corpus of real saved pages (../shared beside the
// checkout). A fresh clone has no such folder: the tests say so and skip. CI
// has it and sets MYTAVEX_REQUIRE_SHARED, so there a missing corpus fails
// instead of passing unnoticed.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tavex::test {

// True when MYTAVEX_REQUIRE_SHARED is set to anything but "" or "0".
inline bool SharedCorpusRequired() {
  const char* value = std::getenv("MYTAVEX_REQUIRE_SHARED");
  return value && std::string_view(value) != "" && std::string_view(value) != "0";
}

// The cases the corpus's manifest lists (one row each after its header): what
// a walk over the corpus must have met, so a case that vanished is noticed.
inline int CorpusCaseCount(const std::filesystem::path& corpus) {
  std::ifstream manifest(corpus / "manifest.tsv");
  int rows = 0;
  for (std::string line; std::getline(manifest, line);)
    if (!line.empty()) ++rows;
  return rows > 0 ? rows - 1 : 0;
}

}  // namespace tavex::test

// Ends the test (or its SetUp) when present is false: a skip that names the
// missing folder, or a failure where the corpus is required.
#define MYTAVEX_NEED_CORPUS(present, folder)                                           \
  do {                                                                                 \
    if (!(present)) {                                                                  \
      if (::tavex::test::SharedCorpusRequired())                                       \
        FAIL() << "no corpus at " << std::filesystem::path(folder).string()            \
               << ", and MYTAVEX_REQUIRE_SHARED is set";                               \
      GTEST_SKIP() << "no corpus at " << std::filesystem::path(folder).string()        \
                   << " (the shared folder beside the checkout holds the real pages)"; \
    }                                                                                  \
  } while (0)
