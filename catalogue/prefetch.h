#pragma once
// Fetching a document and, depth first, the documents of every group below it, so that later
// expansions of groups can read the local cache. Runs on worker threads and touches only the
// cache.

#include <functional>
#include <list>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>

#include "catalogue/json_cache.h"
#include "platform/alive_token.h"
#include "platform/event_loop.h"

namespace nivra::catalogue {

// Fetches `name` and the document id + ".js" of every entry whose "t" is "0", recursively,
// pausing 1 ms after each entry. Each document is fetched once per call, so a catalogue that
// refers back to itself ends. Stops when `stop` is requested. Returns the number of documents
// that were read and parsed.
std::size_t PrefetchSubtree(CatalogueCache& cache, std::string_view name,
                            std::stop_token stop = {});

// Runs PrefetchSubtree on its own threads. The completion is posted to the loop and runs there
// unless the worker was destroyed first. Destroying the worker stops and joins its threads.
// start() and the destructor belong to the loop's thread.
class PrefetchWorker {
 public:
  PrefetchWorker(CatalogueCache& cache, platform::EventLoop& loop);
  ~PrefetchWorker();
  PrefetchWorker(const PrefetchWorker&) = delete;
  PrefetchWorker& operator=(const PrefetchWorker&) = delete;

  void start(std::string name, std::function<void()> completion);
  // Threads not yet finished.
  std::size_t running() const;

 private:
  struct Task {
    std::shared_ptr<std::atomic<bool>> done;
    std::jthread thread;
  };
  void reapFinished();

  CatalogueCache& cache_;
  platform::EventLoop& loop_;
  platform::AliveToken alive_;  // completions run only while the worker exists
  std::list<Task> tasks_;
};

}  // namespace nivra::catalogue
