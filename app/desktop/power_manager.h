#pragma once
// Switching the computer off, behind an interface: the program uses logind on the system bus
// (power_manager_logind.h); tests use a fake logind on a private bus or a recording fake.

namespace nivra::app {

class PowerManager {
 public:
  virtual ~PowerManager() = default;
  // Whether this user may power the machine off (possibly after asking for a password).
  virtual bool CanPowerOff() = 0;
  // Asks for the machine to power off (an orderly shutdown, never forced). False when refused.
  virtual bool PowerOff() = 0;
};

}  // namespace nivra::app
