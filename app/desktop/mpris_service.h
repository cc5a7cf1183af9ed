#pragma once
// The MPRIS2 service "org.mpris.MediaPlayer2.nivra" at /org/mpris/MediaPlayer2 over Qt D-Bus:
// the root and Player interfaces and their properties, answered from an MprisPlayer. Media keys
// and the desktop's media controls reach the player through it.

#include <QDBusConnection>
#include <QVariantMap>
#include <memory>

#include "app/desktop/mpris_player.h"

namespace nivra::app {

inline constexpr const char* kMprisServiceName = "org.mpris.MediaPlayer2.nivra";
inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";

class MprisService {
 public:
  // Registers the object and the name on `bus`; `player` must outlive the service.
  MprisService(MprisPlayer& player, QDBusConnection bus);
  ~MprisService();
  MprisService(const MprisService&) = delete;
  MprisService& operator=(const MprisService&) = delete;

  // False when the bus is missing or another program holds the name.
  bool Registered() const { return registered_; }
  // Tells the desktop about changed PlaybackStatus, Metadata and Volume; call after the
  // player's state, title or volume changed. Unchanged values are not announced.
  void NotifyChanged();

 private:
  class Object;
  std::unique_ptr<Object> object_;
  QDBusConnection bus_;
  bool registered_ = false;
  QVariantMap last_;  // the Player properties last announced
};

// The service on the session bus.
std::unique_ptr<MprisService> makeMprisService(MprisPlayer& player);

}  // namespace nivra::app
