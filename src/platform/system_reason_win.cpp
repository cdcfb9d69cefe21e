#include <cstring>

#include "platform/system_reason.h"

namespace tavex {

// Windows: the C runtime's texts are English ASCII in every locale.
std::string SystemReason(int error) {
  char text[256];
  if (strerror_s(text, sizeof text, error) == 0) return text;
  return "error " + std::to_string(error);
}

}  // namespace tavex
