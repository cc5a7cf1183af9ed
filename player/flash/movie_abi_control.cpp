#include "player/flash/movie_abi_control.h"

#include "platform/debug_output.h"
#include "platform/error.h"

namespace nivra::player {
namespace {

std::string resultText(NivraMovieResult result) {
  switch (result) {
    case NIVRA_MOVIE_BAD_ARGUMENT:
      return "The movie runtime was given a null argument";
    case NIVRA_MOVIE_NO_MEMORY:
      return "The movie runtime ran out of memory";
    default:
      return "The movie runtime failed (" + std::to_string(result) + ")";
  }
}

}  // namespace

MovieAbiControl::MovieAbiControl(const NivraMovieApi& api, std::uint32_t version) : api_(api) {
  if (api_.abiVersion != NIVRA_MOVIE_ABI_VERSION)
    throw Error("The movie runtime has interface version " + std::to_string(api_.abiVersion) +
                ", not " + std::to_string(NIVRA_MOVIE_ABI_VERSION));
  if (api_.Create(version, &movie_) != NIVRA_MOVIE_OK || !movie_)
    throw Error("The Flash control could not be created");
  if (api_.SetFSCommandHandler(movie_, &MovieAbiControl::fsCommand, this) != NIVRA_MOVIE_OK) {
    api_.Destroy(movie_);
    throw Error("The Flash control could not be created");
  }
}

MovieAbiControl::~MovieAbiControl() {
  api_.SetFSCommandHandler(movie_, nullptr, nullptr);
  api_.Destroy(movie_);
}

void MovieAbiControl::check(NivraMovieResult result) const {
  if (result == NIVRA_MOVIE_OK) return;
  if (result != NIVRA_MOVIE_FAILED) throw Error(resultText(result));
  std::string reason(api_.LastError(movie_, nullptr, 0), '\0');
  api_.LastError(movie_, reason.data(), reason.size() + 1);
  throw Error(reason.empty() ? resultText(result) : reason);
}

void MovieAbiControl::fsCommand(void* context, const NivraUtf16* command, size_t commandLength,
                                const NivraUtf16* args, size_t argsLength) {
  // Called from inside the runtime: nothing may unwind back into it.
  try {
    auto* self = static_cast<MovieAbiControl*>(context);
    if (auto handler = self->OnFSCommand)
      handler(std::u16string_view(command, command ? commandLength : 0),
              std::u16string_view(args, args ? argsLength : 0));
  } catch (const std::exception& e) {
    platform::debugOutput(e.what());
  } catch (...) {
  }
}

void MovieAbiControl::LoadMovie(int layer, const std::string& file) {
  check(api_.LoadMovie(movie_, layer, file.c_str()));
}

void MovieAbiControl::Play() { check(api_.Play(movie_)); }

void MovieAbiControl::Stop() { check(api_.Stop(movie_)); }

void MovieAbiControl::SetVariable(std::u16string_view name, std::u16string_view value) {
  check(api_.SetVariable(movie_, name.data(), name.size(), value.data(), value.size()));
}

std::u16string MovieAbiControl::GetVariable(std::u16string_view name) {
  NivraMovieText text{nullptr, 0};
  check(api_.GetVariable(movie_, name.data(), name.size(), &text));
  std::u16string value;
  try {
    if (text.data) value.assign(text.data, text.length);
  } catch (...) {
    api_.FreeText(&text);
    throw;
  }
  api_.FreeText(&text);
  return value;
}

std::uint32_t MovieAbiControl::FlashVersion() { return api_.FlashVersion(movie_); }

void MovieAbiControl::SetEmbedMovie(bool embed) { check(api_.SetEmbedMovie(movie_, embed)); }

void MovieAbiControl::SetAllowScriptAccess(std::u16string_view access) {
  check(api_.SetAllowScriptAccess(movie_, access.data(), access.size()));
}

void MovieAbiControl::SetScaleMode(int mode) { check(api_.SetScaleMode(movie_, mode)); }

void MovieAbiControl::SetVisible(bool visible) { check(api_.SetVisible(movie_, visible)); }

bool MovieAbiControl::Visible() const { return api_.Visible(movie_) != 0; }

void MovieAbiControl::SetBounds(const Rect& bounds) {
  check(api_.SetBounds(movie_, bounds.left, bounds.top, bounds.width, bounds.height));
}

void MovieAbiControl::SetCursorHidden(bool hidden) { check(api_.SetCursorHidden(movie_, hidden)); }

void MovieAbiControl::SetWindowHandle(std::uintptr_t window) {
  check(api_.SetWindowHandle(movie_, window));
}

}  // namespace nivra::player
