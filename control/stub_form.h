#pragma once
// A stand-in for the player form until TKinoro exists: the form's properties are stored values
// with their initial values, the player is a set of fields (file name, volume clamped 0..100,
// mute, full screen, position, state), and the URL put checks the link as the control does but
// only records what it would open. Lets hosts exercise the whole binary interface.

#include <filesystem>
#include <map>
#include <string>

#include "control/kinoro_form.h"

namespace nivra::control {

class StubKinoroForm : public KinoroForm {
 public:
  StubKinoroForm(FormNotifications& notifications, std::filesystem::path libraryFile);
  ~StubKinoroForm() override;

  void get(const Member& member, VARIANT* out) override;
  void put(const Member& member, const VARIANT& value) override;
  void call(const Member& member) override;

  // What the form's own surface would report (for hosts' tests of event delivery).
  void click() { notifications_.raiseEvent(DISPID_OnClick); }
  // A character key reaching the form; returns the character that goes on (0: suppressed).
  char16_t keyPress(char16_t key) { return notifications_.raiseKeyPress(key); }

  // The time label's text and the link the player was asked to open.
  const std::string& timeLabel() const { return timeLabel_; }
  const std::string& openedLink() const { return openedLink_; }

 private:
  void putUrl(const std::string& text);

  FormNotifications& notifications_;
  std::filesystem::path libraryFile_;
  std::map<DISPID, VARIANT> stored_;
  std::string timeLabel_ = "00:00/00:00";
  std::string openedLink_;
};

}  // namespace nivra::control
