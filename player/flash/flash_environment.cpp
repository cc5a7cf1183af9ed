#include "player/flash/flash_environment.h"

#include "platform/error.h"
#include "player/flash/flash_class.h"
#include "player/flash/segment_list.h"
#include "player/flash/web_sites.h"

namespace nivra::player {
namespace {

// VideoResolver over one object of the resolver library.
class LibraryVideoResolver final : public VideoResolver {
 public:
  explicit LibraryVideoResolver(const ResolverLibrary& library) : object_(library) {}
  void SetCompletion(std::function<void()> done) override {
    object_.SetCompletion(std::move(done));
  }
  void Start(const std::string& pageUrl) override { object_.Start(pageUrl); }
  std::string SourceList() override { return object_.SourceList(); }
  double DurationSeconds() override { return object_.DurationSeconds(); }

 private:
  ResolverObject object_;
};

}  // namespace

FlashMediaPlayerBridge::FlashMediaPlayerBridge(std::unique_ptr<TFlashMediaPlayer> movie)
    : movie_(std::move(movie)) {}

void FlashMediaPlayerBridge::SetCallbacks(FlashBridgeCallbacks callbacks) {
  movie_->OnPosition = std::move(callbacks.OnPosition);
  movie_->OnState = std::move(callbacks.OnState);
  movie_->OnError = std::move(callbacks.OnError);
  movie_->OnDoubleClick = std::move(callbacks.OnDoubleClick);
  movie_->PopupMenu = nullptr;
  if (auto popup = std::move(callbacks.PopupMenu)) {
    movie_->PopupMenu = [popup = std::move(popup)](int x, int y) { popup(Point{x, y}); };
  }
}

std::uint32_t FlashMediaPlayerBridge::FlashVersion() { return movie_->Control().FlashVersion(); }
void FlashMediaPlayerBridge::SetScaleMode(int mode) { movie_->Control().SetScaleMode(mode); }
bool FlashMediaPlayerBridge::Visible() const { return movie_->Control().Visible(); }
void FlashMediaPlayerBridge::SetVisible(bool visible) { movie_->Control().SetVisible(visible); }
void FlashMediaPlayerBridge::SetBounds(const Rect& bounds) { movie_->Control().SetBounds(bounds); }
// The runtime draws into the rectangle of its bounds; the movie's own position rectangle is the
// same rectangle.
void FlashMediaPlayerBridge::SetPositionRect(const Rect& bounds) { SetBounds(bounds); }
void FlashMediaPlayerBridge::SetCursorHidden(bool hidden) {
  movie_->Control().SetCursorHidden(hidden);
}

void FlashMediaPlayerBridge::DoubleClick() { movie_->HandleDoubleClick(); }
void FlashMediaPlayerBridge::RightButtonDown(Point screen) {
  movie_->HandleRightButtonDown(screen.x, screen.y);
}

void FlashMediaPlayerBridge::PlayList(const std::vector<std::string>& lines) {
  std::vector<std::string> list = lines;
  movie_->PlayList(list);
}

void FlashMediaPlayerBridge::Pause() { movie_->Pause(); }
void FlashMediaPlayerBridge::Resume() { movie_->Resume(); }
void FlashMediaPlayerBridge::Seek(int positionMs) { movie_->Seek(positionMs); }
void FlashMediaPlayerBridge::SetVolume(int level) { movie_->SetVolume(level); }
void FlashMediaPlayerBridge::StopMovie() { movie_->Control().Stop(); }
std::uint8_t FlashMediaPlayerBridge::ServerType() const { return movie_->ServerType; }
void FlashMediaPlayerBridge::SetServerType(std::uint8_t type) { movie_->ServerType = type; }
int FlashMediaPlayerBridge::Duration() const { return movie_->Duration; }
void FlashMediaPlayerBridge::SetDuration(int ms) { movie_->Duration = ms; }
int FlashMediaPlayerBridge::MediaWidth() const { return movie_->MediaWidth(); }
int FlashMediaPlayerBridge::MediaHeight() const { return movie_->MediaHeight(); }
int FlashMediaPlayerBridge::DownSpeed() const { return movie_->DownSpeed(); }
bool FlashMediaPlayerBridge::ListLoaded() const { return movie_->ListLoaded(); }

MovieFlashEnvironment::MovieFlashEnvironment(platform::EventLoop& loop,
                                             std::filesystem::path moduleFolder,
                                             platform::Registry registry)
    : loop_(loop), moduleFolder_(std::move(moduleFolder)), registry_(std::move(registry)) {}

bool MovieFlashEnvironment::FlashClassRegistered() {
  return player::FlashClassRegistered(registry_);
}

std::unique_ptr<FlashBridge> MovieFlashEnvironment::CreateBridge(std::uintptr_t window) {
  std::unique_ptr<FlashControl> control;
  try {
    control = CreateFlashControl(registry_);
  } catch (const nivra::Error&) {
    return nullptr;  // the player reports a control that cannot be made
  }
  if (!control) return nullptr;
  control->SetWindowHandle(window);
  auto movie = std::make_unique<TFlashMediaPlayer>(loop_, std::move(control), moduleFolder_);
  movie->ShowMessage = ShowMessage;
  return std::make_unique<FlashMediaPlayerBridge>(std::move(movie));
}

void MovieFlashEnvironment::PrepareWebPage(FlashBridge& bridge, const std::string& pageUrl) {
  if (!resolver_) resolver_ = ResolverLibrary::Load(moduleFolder_);  // throws the loader's text
  bridge.SetServerType(ServerTypeOfPage(pageUrl));
}

std::shared_ptr<VideoResolver> MovieFlashEnvironment::CreateResolver() {
  if (!resolver_) resolver_ = ResolverLibrary::Load(moduleFolder_);
  return std::make_shared<LibraryVideoResolver>(*resolver_);
}

void MovieFlashEnvironment::PlaySegmentLink(FlashBridge& bridge, const std::string& address) {
  SegmentLink link = ParseSegmentLink(address);
  bridge.SetServerType(link.ServerType);
  if (auto* ours = dynamic_cast<FlashMediaPlayerBridge*>(&bridge))
    ours->movie().SegmentExt = link.SegmentExt;
  bridge.PlayList(link.Lines);
}

}  // namespace nivra::player
