// Squeezing spaces as the rule reads, one character at a time: the plain
// definition that the normalising tests and the normalise fuzz target hold the
// fast routine to. Written apart from the code under test so that the two can
// disagree.
#pragma once

#include <string>
#include <string_view>

namespace tavex::test {

// Trims codes up to 32 at both ends and keeps the first space of each run.
inline std::string SqueezePlainly(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
  std::string out;
  for (char c : text)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c;
  return out;
}

}  // namespace tavex::test
