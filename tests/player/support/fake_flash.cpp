#include "tests/player/support/fake_flash.h"

#include "platform/error.h"

namespace nivra::player::test {

namespace {
std::string rect(const Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.width) +
         "x" + std::to_string(r.height);
}
}  // namespace

FakeFlashBridge::FakeFlashBridge(FakeFlashEnvironment& env) : env_(env) {
  ++env_.bridgesMade;
  env_.bridge = this;
}

FakeFlashBridge::~FakeFlashBridge() {
  ++env_.bridgesDestroyed;
  if (env_.bridge == this) env_.bridge = nullptr;
}

void FakeFlashBridge::log(std::string call) { env_.calls.push_back(std::move(call)); }

std::uint32_t FakeFlashBridge::FlashVersion() { return env_.version; }

void FakeFlashBridge::SetVisible(bool visible) {
  visible_ = visible;
  log(visible ? "SetVisible 1" : "SetVisible 0");
}

void FakeFlashBridge::SetBounds(const Rect& b) {
  bounds = b;
  log("SetBounds " + rect(b));
}

void FakeFlashBridge::SetPositionRect(const Rect& b) {
  positionRect = b;
  log("SetPositionRect " + rect(b));
}

void FakeFlashBridge::SetCursorHidden(bool hidden) {
  log(hidden ? "SetCursorHidden 1" : "SetCursorHidden 0");
}

void FakeFlashBridge::PlayList(const std::vector<std::string>& lines) {
  playList = lines;
  listLoaded_ = true;
  visible_ = true;
  log("PlayList " + std::to_string(lines.size()));
}

void FakeFlashBridge::SetDuration(int ms) {
  duration_ = ms;
  log("SetDuration " + std::to_string(ms));
}

void FakeFlashBridge::DoubleClick() {
  log("DoubleClick");
  doubleClick();
}

void FakeFlashBridge::RightButtonDown(Point screen) {
  log("RightButtonDown " + std::to_string(screen.x) + "," + std::to_string(screen.y));
  if (callbacks_.PopupMenu) callbacks_.PopupMenu(screen);
}

std::unique_ptr<FlashBridge> FakeFlashEnvironment::CreateBridge(std::uintptr_t window) {
  calls.push_back("CreateBridge " + std::to_string(window));
  return std::make_unique<FakeFlashBridge>(*this);
}

void FakeFlashEnvironment::PrepareWebPage(FlashBridge& b, const std::string& pageUrl) {
  calls.push_back("PrepareWebPage " + pageUrl);
  if (!libraryError.empty()) throw Error(libraryError);
  b.SetServerType(serverType);
}

std::shared_ptr<VideoResolver> FakeFlashEnvironment::CreateResolver() {
  calls.push_back("CreateResolver");
  resolver = std::make_shared<FakeResolver>();
  return resolver;
}

void FakeFlashEnvironment::PlaySegmentLink(FlashBridge& b, const std::string& address) {
  calls.push_back("PlaySegmentLink " + address);
  b.SetServerType(9);
  b.PlayList({address});
}

}  // namespace nivra::player::test
