#include "ads/ad_obj.h"

#include "ads/ad_ini.h"
#include "platform/date_time.h"

namespace nivra::ads {

// Everything a pass touches. The pass timer holds it, so a pass that fires while the owner is
// being destroyed finds `alive` false instead of freed memory.
struct TAdObj::Core {
  Core(platform::EventLoop& l, AdServerLink& k, ConnectionCheck& c, PopUpLauncher& p,
       AdSchedulerSetup s)
      : loop(l), link(k), check(c), launcher(p), setup(std::move(s)) {}

  platform::EventLoop& loop;
  AdServerLink& link;
  ConnectionCheck& check;
  PopUpLauncher& launcher;
  AdSchedulerSetup setup;

  std::mutex passMutex;  // held for a whole pass; the destructor waits on it
  bool alive = true;     // under passMutex
  platform::EventLoop::TimerId timer = 0;

  mutable std::mutex stateMutex;  // state and the files
  AdState state;

  double now() const { return platform::toDateTime(loop.now()); }

  void saveLocked() const { SaveAdState(setup.dataDir, state.stored); }

  void pass() {
    std::lock_guard passLock(passMutex);
    if (!alive) return;
    // I/O first, outside the state lock: the connection check may block for its time-out.
    PassFacts facts;
    facts.now = now();
    facts.connected = check.Check();
    facts.popsAllowed = PopsAllowed(setup.dataDir);
    facts.heartbeatInterval = HeartbeatInterval(setup.moduleDir);
    PassActions actions;
    {
      std::lock_guard lock(stateMutex);
      actions = RunPass(state, facts);
      if (actions.save) saveLocked();
    }
    if (actions.heartbeat) link.Send(*actions.heartbeat);
    if (!actions.rightPopArgs.empty()) launcher.Start(actions.rightPopArgs);
    if (!actions.miniPopArgs.empty()) launcher.Start(actions.miniPopArgs);
  }

  void reply(std::span<const std::uint8_t> datagram) {
    std::lock_guard lock(stateMutex);
    if (ApplyReply(state, datagram)) saveLocked();
  }
};

TAdObj::TAdObj(platform::EventLoop& passLoop, AdServerLink& link, ConnectionCheck& check,
               PopUpLauncher& launcher, AdSchedulerSetup setup)
    : core_(std::make_shared<Core>(passLoop, link, check, launcher, std::move(setup))),
      passLoop_(passLoop),
      link_(link) {
  LoadAdState(core_->setup.dataDir, core_->state.stored);
  core_->state.noPopDay = core_->setup.noPopDay;
  link_.OnReply = [core = core_.get()](std::span<const std::uint8_t> datagram) {
    core->reply(datagram);
  };
  passLoop_.post([core = core_] {
    {
      std::lock_guard lock(core->passMutex);
      if (!core->alive) return;
      core->timer = core->loop.startTimer(kAdPassIntervalMs, [core] { core->pass(); });
    }
    core->pass();
  });
}

TAdObj::~TAdObj() {
  link_.OnReply = nullptr;
  platform::EventLoop::TimerId timer;
  {
    std::lock_guard lock(core_->passMutex);
    core_->alive = false;
    timer = core_->timer;
  }
  if (timer != 0) passLoop_.post([&loop = passLoop_, timer] { loop.killTimer(timer); });
}

void TAdObj::NotifyAppActive() {
  std::lock_guard lock(core_->stateMutex);
  core_->state.trayMode = false;
}

void TAdObj::NotifyTrayMode() {
  const auto now = passLoop_.now();
  {
    std::lock_guard lock(core_->stateMutex);
    core_->state.trayStart = platform::toDateTime(now);
    core_->state.trayMode = true;
  }
  StampTrayOnline(core_->setup.dataDir, now);
}

void TAdObj::SetInFullScreen(bool on) {
  std::lock_guard lock(core_->stateMutex);
  core_->state.inFullScreen = on;
}

AdState TAdObj::Snapshot() const {
  std::lock_guard lock(core_->stateMutex);
  return core_->state;
}

}  // namespace nivra::ads
