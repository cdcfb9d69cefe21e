// The system's reason for a C library error number, for a failure's message.
#pragma once

#include <string>

namespace tavex {

// The text for errno value error in plain ASCII (English, whatever locale the
// window set for itself), so the message stays valid Windows-1251.
std::string SystemReason(int error);

}  // namespace tavex
