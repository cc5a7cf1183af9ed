#pragma once
// The FlashControl interface over the movie runtime's C table (movie_abi.h): what the Flash class
// hands to TFlashMediaPlayer. A failed call of the runtime comes back as nivra::Error with the
// runtime's reason, as the interface promises; the FSCommand handler is installed once and
// calls OnFSCommand when it is set.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "player/flash/movie_abi.h"
#include "player/flash_control.h"

namespace nivra::player {

class MovieAbiControl final : public FlashControl {
 public:
  // Creates a control through `api` reporting `version` (0: the runtime's own). Throws
  // nivra::Error when the table is of another ABI version or the runtime cannot create one.
  MovieAbiControl(const NivraMovieApi& api, std::uint32_t version);
  ~MovieAbiControl() override;
  MovieAbiControl(const MovieAbiControl&) = delete;
  MovieAbiControl& operator=(const MovieAbiControl&) = delete;

  void LoadMovie(int layer, const std::string& file) override;
  void Play() override;
  void Stop() override;
  void SetVariable(std::u16string_view name, std::u16string_view value) override;
  std::u16string GetVariable(std::u16string_view name) override;
  std::uint32_t FlashVersion() override;
  void SetEmbedMovie(bool embed) override;
  void SetAllowScriptAccess(std::u16string_view access) override;
  void SetScaleMode(int mode) override;
  void SetVisible(bool visible) override;
  bool Visible() const override;
  void SetBounds(const Rect& bounds) override;
  void SetCursorHidden(bool hidden) override;
  void SetWindowHandle(std::uintptr_t window) override;

 private:
  static void fsCommand(void* context, const NivraUtf16* command, size_t commandLength,
                        const NivraUtf16* args, size_t argsLength);
  // Throws nivra::Error with the runtime's reason when `result` is a failure.
  void check(NivraMovieResult result) const;

  const NivraMovieApi& api_;
  NivraMovie* movie_ = nullptr;
};

}  // namespace nivra::player
