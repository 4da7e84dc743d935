// Starting a worker thread that nobody waits for.
#ifndef VANTREL_APP_START_THREAD_H_
#define VANTREL_APP_START_THREAD_H_

#include <functional>

namespace vantrel {

// Runs `routine` on a new detached thread and returns at once. True when the thread was started;
// when the system cannot start one, nothing runs and the result is false.
bool StartThread(std::function<void()> routine);

}  // namespace vantrel

#endif  // VANTREL_APP_START_THREAD_H_
