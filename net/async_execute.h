#pragma once
// TAsyncExecuteThread: runs one function on a worker, then its completion on the same worker.
// A completion that touches windows hands that work to the GUI thread with EventLoop::post.

#include <cstdint>
#include <functional>
#include <string>

#include "net/background_tasks.h"

namespace nivra::net {

// The work; receives ownership of the text argument.
using AsyncFunction = std::function<std::int32_t(std::string arg1, std::intptr_t arg2)>;
// Runs after the work with its result (0 when the work raised) and the caller's context.
using AsyncCompletion = std::function<void(std::int32_t result, void* context)>;

class TAsyncExecuteThread {
 public:
  TAsyncExecuteThread(AsyncFunction function, std::string arg1, std::intptr_t arg2,
                      AsyncCompletion completion, void* context);

  // The run: without a function it ends at once (no completion); otherwise the function, then
  // the completion if given. Errors raised by either are swallowed. (No per-thread COM set-up is
  // needed on this platform.)
  void Execute();
  // The function's result; 0 before it ran or when it raised.
  std::int32_t Result() const { return result_; }

 private:
  AsyncFunction function_;
  std::string arg1_;
  std::intptr_t arg2_;
  AsyncCompletion completion_;
  void* context_;
  std::int32_t result_ = 0;
};

// Starts a TAsyncExecuteThread on `tasks`. Nothing runs once the program is stopping.
void AsyncExecute(AsyncFunction function, std::string arg1, std::intptr_t arg2,
                  AsyncCompletion completion, void* context,
                  BackgroundTasks& tasks = BackgroundTasks::instance());

}  // namespace nivra::net
