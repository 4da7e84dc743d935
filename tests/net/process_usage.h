// What the test process holds right now, for the soak tests: open files and live heap bytes.
#ifndef VANTREL_TESTS_NET_PROCESS_USAGE_H_
#define VANTREL_TESTS_NET_PROCESS_USAGE_H_

#include <cstddef>

namespace vantrel::testing {

// The number of open file descriptors of this process.
int OpenFileCount();

// The open file count once loopback servers have closed their side of each connection (a moment
// after the client): waits up to five seconds for it to come down to `expected`.
int SettledOpenFileCount(int expected);

// The bytes the program holds allocated on its heap right now. Under the address sanitizer this is
// its allocator's own count, which freed blocks waiting in its quarantine do not inflate.
std::size_t LiveHeapBytes();

}  // namespace vantrel::testing

#endif  // VANTREL_TESTS_NET_PROCESS_USAGE_H_
