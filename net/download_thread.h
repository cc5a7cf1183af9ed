#pragma once
// TDownLoadThread: fetches one URL into a file on a worker, retrying, and posts a message to a
// window when the file is there. Fire and forget; the worker belongs to BackgroundTasks.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>

#include "net/background_tasks.h"
#include "platform/message.h"

namespace nivra::net {

struct DownloadRetry {
  int attempts = 5;
  std::chrono::milliseconds delay{1000};  // waited before every attempt
};

class TDownLoadThread {
 public:
  // `window` receives `message` (wParam 0, lParam 0) on success. It must outlive the worker:
  // the program stops its workers before it destroys its windows.
  TDownLoadThread(platform::MessageTarget& window, std::string url, std::filesystem::path localFile,
                  std::uint32_t message, DownloadRetry retry = {});

  // The run: deletes the local file, then up to `attempts` times waits `delay` and calls
  // DownloadFile; the first success whose file exists posts the message, once. A stop request
  // ends it before the next attempt (and suppresses the message); an error raised by an attempt
  // ends the attempts silently. FTP attempts continue the partial file of the one before.
  void Execute(std::stop_token stop);

 private:
  platform::MessageTarget& window_;
  std::string url_;
  std::filesystem::path localFile_;
  std::uint32_t message_;
  DownloadRetry retry_;
};

// Starts a TDownLoadThread on `tasks`. True when the worker was started.
bool StartDownload(platform::MessageTarget& window, std::string url,
                   std::filesystem::path localFile, std::uint32_t message,
                   BackgroundTasks& tasks = BackgroundTasks::instance(), DownloadRetry retry = {});

}  // namespace nivra::net
