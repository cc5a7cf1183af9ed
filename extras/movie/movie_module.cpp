// libnvrmovie.so: the movie runtime as the library the Flash class registration names. The player
// loads it with dlopen and creates controls through NivraCreateFlashControl.

#include <cstdint>
#include <memory>

#include "extras/movie/movie_control.h"

extern "C" __attribute__((visibility("default"))) nivra::player::FlashControl*
NivraCreateFlashControl(std::uint32_t version) {
  try {
    return std::make_unique<nivra::extras::MovieControl>(version).release();
  } catch (...) {
    return nullptr;
  }
}
