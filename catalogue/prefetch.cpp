#include "catalogue/prefetch.h"

#include <atomic>
#include <chrono>
#include <unordered_set>
#include <vector>

#include "catalogue/catalogue_document.h"

namespace nivra::catalogue {

std::size_t PrefetchSubtree(CatalogueCache& cache, std::string_view name, std::stop_token stop) {
  struct Frame {
    CatalogueDocument doc;
    std::size_t next = 0;
  };
  // An explicit stack keeps the depth-first order without recursion: a deep catalogue must not
  // exhaust the worker's stack.
  std::vector<Frame> stack;
  std::unordered_set<std::string> seen;
  std::size_t read = 0;
  auto open = [&](std::string document) {
    if (!seen.insert(document).second) return;
    auto doc = CatalogueDocument::parse(cache.GetCatalogueDocument(document, stop));
    if (!doc) return;
    ++read;
    stack.push_back(Frame{std::move(*doc)});
  };

  open(std::string(name));
  while (!stack.empty() && !stop.stop_requested()) {
    Frame& top = stack.back();
    const auto& entries = top.doc.entries();
    if (top.next >= entries.size()) {
      stack.pop_back();
      continue;
    }
    const auto& entry = entries[top.next++];
    std::string child;
    if (entry.is_object() && memberText(entry, "t") == "0") {
      if (auto id = entryId(entry)) child = std::to_string(*id) + ".js";
    }
    if (!child.empty()) open(std::move(child));
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return read;
}

PrefetchWorker::PrefetchWorker(CatalogueCache& cache, platform::EventLoop& loop)
    : cache_(cache), loop_(loop) {}

PrefetchWorker::~PrefetchWorker() {
  for (Task& t : tasks_) t.thread.request_stop();
  tasks_.clear();  // joins
}

void PrefetchWorker::start(std::string name, std::function<void()> completion) {
  reapFinished();
  auto done = std::make_shared<std::atomic<bool>>(false);
  auto finished = alive_.guard([completion = std::move(completion)] {
    if (completion) completion();
  });
  CatalogueCache& cache = cache_;
  platform::EventLoop& loop = loop_;
  std::jthread thread([&cache, &loop, name = std::move(name), finished = std::move(finished),
                       done](std::stop_token stop) mutable {
    PrefetchSubtree(cache, name, stop);
    if (!stop.stop_requested()) loop.post(std::move(finished));
    done->store(true);
  });
  tasks_.push_back(Task{std::move(done), std::move(thread)});
}

std::size_t PrefetchWorker::running() const {
  std::size_t n = 0;
  for (const Task& t : tasks_) n += t.done->load() ? 0 : 1;
  return n;
}

void PrefetchWorker::reapFinished() {
  tasks_.remove_if([](const Task& t) { return t.done->load(); });
}

}  // namespace nivra::catalogue
