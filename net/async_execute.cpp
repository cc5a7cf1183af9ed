#include "net/async_execute.h"

#include <memory>

namespace nivra::net {

TAsyncExecuteThread::TAsyncExecuteThread(AsyncFunction function, std::string arg1,
                                         std::intptr_t arg2, AsyncCompletion completion,
                                         void* context)
    : function_(std::move(function)),
      arg1_(std::move(arg1)),
      arg2_(arg2),
      completion_(std::move(completion)),
      context_(context) {}

void TAsyncExecuteThread::Execute() {
  result_ = 0;
  if (!function_) return;
  try {
    result_ = function_(std::move(arg1_), arg2_);
  } catch (...) {
    result_ = 0;
  }
  if (!completion_) return;
  try {
    completion_(result_, context_);
  } catch (...) {
  }
}

void AsyncExecute(AsyncFunction function, std::string arg1, std::intptr_t arg2,
                  AsyncCompletion completion, void* context, BackgroundTasks& tasks) {
  auto thread = std::make_shared<TAsyncExecuteThread>(std::move(function), std::move(arg1), arg2,
                                                      std::move(completion), context);
  tasks.start([thread](std::stop_token) { thread->Execute(); });
}

}  // namespace nivra::net
