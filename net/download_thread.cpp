#include "net/download_thread.h"

#include <memory>

#include "net/download_file.h"

namespace nivra::net {

TDownLoadThread::TDownLoadThread(platform::MessageTarget& window, std::string url,
                                 std::filesystem::path localFile, std::uint32_t message,
                                 DownloadRetry retry)
    : window_(window),
      url_(std::move(url)),
      localFile_(std::move(localFile)),
      message_(message),
      retry_(retry) {}

void TDownLoadThread::Execute(std::stop_token stop) {
  std::error_code ec;
  std::filesystem::remove(localFile_, ec);
  try {
    for (int attempt = 0; attempt < retry_.attempts; ++attempt) {
      if (stop.stop_requested() || !BackgroundTasks::sleepFor(stop, retry_.delay)) return;
      if (DownloadFile(url_, localFile_, stop) && std::filesystem::exists(localFile_, ec)) {
        if (!stop.stop_requested()) window_.postMessage({message_, 0, 0});
        return;
      }
    }
  } catch (...) {
    // An attempt that raised (the local file cannot be written) ends the download silently.
  }
}

bool StartDownload(platform::MessageTarget& window, std::string url,
                   std::filesystem::path localFile, std::uint32_t message, BackgroundTasks& tasks,
                   DownloadRetry retry) {
  auto thread = std::make_shared<TDownLoadThread>(window, std::move(url), std::move(localFile),
                                                  message, retry);
  return tasks.start([thread](std::stop_token stop) { thread->Execute(stop); });
}

}  // namespace nivra::net
