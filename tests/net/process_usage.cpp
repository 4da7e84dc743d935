#include "tests/net/process_usage.h"

#include <chrono>
#include <filesystem>
#include <thread>

#if defined(__SANITIZE_ADDRESS__)
// From the address sanitizer's runtime (its header ships with clang, not with GCC).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace vantrel::testing {

int OpenFileCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

int SettledOpenFileCount(int expected) {
  int count = OpenFileCount();
  for (int i = 0; i < 500 && count > expected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    count = OpenFileCount();
  }
  return count;
}

std::size_t LiveHeapBytes() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

}  // namespace vantrel::testing
