#include "tests/player/support/fake_media_graph.h"

namespace nivra::player::test {

MediaGraphFactory FakeGraphLab::factory() {
  return [this] { return std::make_unique<FakeMediaGraph>(*this); };
}

void FakeGraphLab::postEvent(int code) {
  if (current != nullptr) current->queueEvent(code);
}

void FakeGraphLab::finishRender(std::optional<std::string> error) {
  if (current == nullptr) return;
  if (error) current->setRenderError(*error);
  current->queueEvent(error ? EC_RENDER_FAILED : EC_RENDER_DONE);
}

bool FakeGraphLab::called(const std::string& prefix) const { return indexOf(prefix) >= 0; }

int FakeGraphLab::indexOf(const std::string& prefix) const {
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
  }
  return -1;
}

FakeMediaGraph::FakeMediaGraph(FakeGraphLab& lab) : lab_(lab) {
  ++lab_.made;
  lab_.current = this;
}

FakeMediaGraph::~FakeMediaGraph() {
  ++lab_.destroyed;
  if (lab_.current == this) lab_.current = nullptr;
}

GraphStatus FakeMediaGraph::step(const std::string& name) {
  log(name);
  auto it = lab_.failures.find(name);
  return it == lab_.failures.end() ? GraphStatus::success() : GraphStatus::failure(it->second);
}

GraphStatus FakeMediaGraph::createRenderer(TVideoMode& mode) {
  if (mode == vmVMR && !lab_.mixingRenderer) mode = vmNormal;
  auto st = step("createRenderer");
  lab_.calls.back() += mode == vmVMR ? " vmVMR" : " vmNormal";
  return st;
}

GraphStatus FakeMediaGraph::acquireVideoWindow(WindowId window) {
  auto st = step("acquireVideoWindow");
  lab_.calls.back() += " " + std::to_string(window);
  return st;
}

GraphStatus FakeMediaGraph::acquire(GraphInterface which) {
  switch (which) {
    case GraphInterface::Control:
      return step("Control");
    case GraphInterface::Events:
      return step("Events");
    case GraphInterface::Seeking:
      return step("Seeking");
    case GraphInterface::BasicAudio:
      return step("BasicAudio");
    case GraphInterface::BasicVideo:
      return step("BasicVideo");
  }
  return GraphStatus::failure("unknown");
}

void FakeMediaGraph::setNotify(std::function<void()> wake) {
  log(wake ? "setNotify on" : "setNotify off");
  wake_ = std::move(wake);
}

void FakeMediaGraph::addRenderer(std::string_view name) { log("addRenderer " + std::string(name)); }

bool FakeMediaGraph::addAudioFilter(std::string_view name) {
  log("addAudioFilter " + std::string(name));
  hasFilter_ = lab_.audioFilterOk;
  return hasFilter_;
}

GraphStatus FakeMediaGraph::render(const std::string& source) {
  auto st = step("render");
  lab_.calls.back() += " " + source;
  return st.ok && lab_.slowRender ? GraphStatus::inProgress() : st;
}

void FakeMediaGraph::setPositions(std::int64_t current, std::int64_t stop) {
  log("setPositions " + std::to_string(current) + " " + std::to_string(stop));
}

void FakeMediaGraph::setVolume(int level) { log("setVolume " + std::to_string(level)); }

void FakeMediaGraph::setAudioChannel(std::uint8_t mode) {
  log("setAudioChannel " + std::to_string(mode));
}

void FakeMediaGraph::attachVideoWindow(WindowId window) {
  log("attachVideoWindow " + std::to_string(window));
}

void FakeMediaGraph::placeVideoWindow(WindowId owner, const Rect& b) {
  log("placeVideoWindow " + std::to_string(owner) + " " + std::to_string(b.left) + "," +
      std::to_string(b.top) + "," + std::to_string(b.width) + "x" + std::to_string(b.height));
}

std::optional<int> FakeMediaGraph::nextEvent() {
  if (events_.empty()) return std::nullopt;
  int code = events_.front();
  events_.pop_front();
  return code;
}

bool FakeMediaGraph::registerForInspector() {
  log("registerForInspector");
  return true;
}

void FakeMediaGraph::queueEvent(int code) {
  events_.push_back(code);
  if (wake_) wake_();
}

}  // namespace nivra::player::test
