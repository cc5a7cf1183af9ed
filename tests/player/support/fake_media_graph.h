#pragma once
// A complete MediaGraph without a media framework: every step succeeds unless the lab says it
// fails, events are queued by the test, and every call is logged in order.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "player/media_graph.h"

namespace nivra::player::test {

class FakeMediaGraph;

// Shared by all graphs the factory makes: what they do, and what was done to them.
class FakeGraphLab {
 public:
  // Step name ("createGraph", "createRenderer", "acquireVideoWindow", "Control", "Events",
  // "Seeking", "BasicAudio", "BasicVideo", "render") -> error text of its failure.
  std::map<std::string, std::string> failures;
  bool mixingRenderer = true;
  bool audioFilterOk = true;
  bool videoConnected = true;
  std::uint32_t capabilities = kSeekCanSeekAbsolute;
  std::int64_t duration = 0;  // 100-ns
  std::optional<std::int64_t> position = 0;
  // render() leaves the source pending; finishRender() then completes it.
  bool slowRender = false;
  Size video{640, 360};

  std::vector<std::string> calls;
  int made = 0;
  int destroyed = 0;
  FakeMediaGraph* current = nullptr;  // the newest graph still alive

  MediaGraphFactory factory();
  // Queues an event on the current graph and wakes it, as a streaming thread would.
  void postEvent(int code);
  // Ends the pending render of the current graph: ready, or failed with `error`.
  void finishRender(std::optional<std::string> error = std::nullopt);
  // Whether a call starting with `prefix` was logged.
  bool called(const std::string& prefix) const;
  // Index of the first call starting with `prefix`, -1 when none.
  int indexOf(const std::string& prefix) const;
  void clearCalls() { calls.clear(); }
};

class FakeMediaGraph final : public MediaGraph {
 public:
  explicit FakeMediaGraph(FakeGraphLab& lab);
  ~FakeMediaGraph() override;

  GraphStatus createGraph() override { return step("createGraph"); }
  GraphStatus createRenderer(TVideoMode& mode) override;
  GraphStatus acquireVideoWindow(WindowId window) override;
  GraphStatus acquire(GraphInterface which) override;
  void setNotify(std::function<void()> wake) override;
  void addRenderer(std::string_view name) override;
  bool addAudioFilter(std::string_view name) override;
  void extendCodecSearchPath() override { log("extendCodecSearchPath"); }
  GraphStatus render(const std::string& source) override;
  std::string renderError() override { return renderError_; }
  bool rendererConnected() override { return lab_.videoConnected; }
  void removeRenderer() override { log("removeRenderer"); }
  void run() override { log("run"); }
  void pause() override { log("pause"); }
  void stop() override { log("stop"); }
  std::uint32_t seekCapabilities() override { return lab_.capabilities; }
  std::optional<std::int64_t> duration() override { return lab_.duration; }
  std::optional<std::int64_t> currentPosition() override { return lab_.position; }
  void setPositions(std::int64_t current, std::int64_t stop) override;
  void setVolume(int level) override;
  bool hasAudioFilter() const override { return hasFilter_; }
  void setAudioChannel(std::uint8_t mode) override;
  void attachVideoWindow(WindowId window) override;
  void placeVideoWindow(WindowId owner, const Rect& bounds) override;
  void exposeVideo() override { log("exposeVideo"); }
  void releaseVideoWindow() override { log("releaseVideoWindow"); }
  Size videoSize() override { return lab_.video; }
  std::optional<int> nextEvent() override;
  bool registerForInspector() override;
  void unregisterFromInspector() override { log("unregisterFromInspector"); }
  void abort() override { log("abort"); }
  bool probeMixingRenderer() override { return lab_.mixingRenderer; }

  void queueEvent(int code);
  void setRenderError(std::string text) { renderError_ = std::move(text); }

 private:
  GraphStatus step(const std::string& name);
  void log(std::string call) { lab_.calls.push_back(std::move(call)); }

  FakeGraphLab& lab_;
  std::function<void()> wake_;
  std::deque<int> events_;
  bool hasFilter_ = false;
  std::string renderError_;
};

}  // namespace nivra::player::test
