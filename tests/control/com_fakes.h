#pragma once
// Host-side fakes for the control's tests: an event sink that records what it is sent, a
// property bag over name/text pairs that records what it is asked, and an error log.

#include <map>
#include <string>
#include <vector>

#include "control/kinoro_abi.h"
#include "platform/com/com_util.h"

namespace nivra::control::test {

// Answers IUnknown, IDispatch and (unless told not to) IKinoroEvents.
struct FakeSink {
  IDispatch iface;
  int refs = 1;
  bool answersEvents = true;
  std::vector<DISPID> received;
  std::vector<SHORT> keysSeen;
  SHORT keyReply = -1;  // what OnKeyPress leaves in Key; -1: leave it

  FakeSink();
  IUnknown* unknown() { return reinterpret_cast<IUnknown*>(&iface); }
};

struct FakeBag {
  IPropertyBag iface;
  std::map<std::u16string, std::u16string> values;  // read as VT_BSTR
  std::u16string abortOn;                           // Read answers E_ABORT for this name
  std::vector<std::u16string> asked;
  std::map<std::u16string, std::u16string> written;  // Write, as text

  FakeBag();
};

struct FakeErrorLog {
  IErrorLog iface;
  std::vector<std::pair<std::u16string, std::u16string>> errors;  // property, description

  FakeErrorLog();
};

}  // namespace nivra::control::test
