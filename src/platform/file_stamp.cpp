#include "platform/file_stamp.h"

#include <chrono>

namespace tavex {

bool IsSettled(const TFileStamp& stamp) {
  constexpr int64_t kSettleNs = 2'000'000'000;
  const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::system_clock::now().time_since_epoch())
                          .count();
  return stamp.ModifiedNs < now - kSettleNs;
}

}  // namespace tavex
