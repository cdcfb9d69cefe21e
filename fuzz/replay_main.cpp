// Replays saved inputs through a fuzz target without libFuzzer, so an input
// that once crashed a target is run by the ordinary test suite from then on.
//
// Usage: replay_<target> PATH...  Each PATH is a file or a folder searched to
// any depth; a folder named "known" is passed over (inputs that still fail,
// kept for whoever fixes them). Fails (exit 1) on an exception other than the
// Failure the target catches itself, or when no input was found at all, so a
// mistyped folder cannot pass unnoticed; a crash ends the process as it would
// under libFuzzer.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "fuzz_support.h"

namespace fs = std::filesystem;

namespace {

void CollectInputs(const fs::path& path, std::vector<fs::path>& inputs) {
  if (fs::is_regular_file(path)) {
    inputs.push_back(path);
    return;
  }
  fs::recursive_directory_iterator it(path), end;
  for (; it != end; ++it) {
    if (it->is_directory() && it->path().filename() == "known") {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file()) inputs.push_back(it->path());
  }
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    const fs::path root = fs::absolute(argv[i]);
    if (!fs::exists(root)) {
      std::cerr << "no such input: " << root << "\n";
      return 1;
    }
    CollectInputs(root, inputs);
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::cerr << "no inputs to replay\n";
    return 1;
  }
  for (const fs::path& input : inputs) {
    const std::string bytes = ReadBytes(input);
    try {
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    } catch (const std::exception& e) {
      std::cerr << input << ": unexpected exception: " << e.what() << "\n";
      return 1;
    } catch (...) {
      std::cerr << input << ": unexpected exception of unknown type\n";
      return 1;
    }
  }
  std::cout << "replayed " << inputs.size() << " inputs\n";
  return 0;
}
