// What every fuzz target shares: the input as text, a private working folder,
// and the rule that a Failure is an expected outcome.
//
// Each target defines LLVMFuzzerTestOneInput. Built with clang and
// -fsanitize=fuzzer it is driven by libFuzzer; built with the ordinary compiler
// it is driven by replay_main.cpp over saved inputs. Either way a Failure (the
// program's own way to end a run with a message) is caught here and counts as
// a correct answer; a crash, a sanitizer report, any other exception, a hang or
// a leak is a finding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace tavex::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Runs one input; a Failure is swallowed, everything else passes through.
template <typename Body>
void IgnoringFailure(Body body) {
  try {
    body();
  } catch (const Failure&) {
  }
}

// An input made of two parts: the text up to the first NUL and the text after
// it. Rule and settings files end at their first NUL anyway, so a NUL is free
// to use as the separator; second is empty (and has_second false) without one.
struct TwoParts {
  std::string_view first, second;
  bool has_second = false;
};
TwoParts SplitAtNul(std::string_view input);

// A fresh folder under the system's temporary folder, made the current folder
// (rules and templates are looked up there) for the life of the process and
// removed at its normal end. One per process: libFuzzer runs every input in the
// same process, so a target creates it once and clears what an input left.
class Workspace {
 public:
  static Workspace& Get();
  const std::filesystem::path& root() const { return root_; }
  // The path text of a file below the root, "/" separated.
  std::string PathText(std::string_view relative) const;
  // Writes bytes to a file below the root, creating its folders.
  void Write(std::string_view relative, std::string_view bytes) const;
  // Removes everything inside a folder below the root, keeping the folder.
  void Empty(std::string_view relative) const;

 private:
  Workspace();
  ~Workspace();
  std::filesystem::path root_;
};

}  // namespace tavex::fuzz
