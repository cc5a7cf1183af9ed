#include "control/stub_form.h"

#include <algorithm>

#include "control/file_version.h"
#include "control/kinoro_wiring.h"
#include "control/variant_values.h"
#include "platform/com/com_util.h"
#include "player/links/utf16_text.h"

namespace nivra::control {
namespace {

constexpr ULONG kButtonFaceColour = 0x8000000Fu;  // the system colour "button face"

}  // namespace

StubKinoroForm::StubKinoroForm(FormNotifications& notifications, std::filesystem::path libraryFile)
    : notifications_(notifications), libraryFile_(std::move(libraryFile)) {
  // Initial values of the form and its player; members not listed start empty, 0 or false.
  stored_[-518] = textValue(u"Kinoro");
  stored_[-501] = unsignedValue(kButtonFaceColour);
  stored_[205] = boolValue(true);   // KeyPreview
  stored_[206] = longValue(96);     // PixelsPerInch
  stored_[208] = boolValue(true);   // Scaled
  stored_[-514] = boolValue(true);  // Enabled
  stored_[223] = longValue(633);    // ExplicitWidth
  stored_[224] = longValue(433);    // ExplicitHeight
  stored_[242] = longValue(100);    // Volume
  stored_[226] = longValue(480);    // AdW
  stored_[227] = longValue(360);    // AdH
}

StubKinoroForm::~StubKinoroForm() {
  for (auto& [dispid, value] : stored_) VariantClear(&value);
}

void StubKinoroForm::get(const Member& member, VARIANT* out) {
  if (member.dispid == 240) {  // URL reads as an empty (null) string
    out->vt = VT_BSTR;
    out->bstrVal = nullptr;
    return;
  }
  if (member.dispid == 241) {  // Version
    out->vt = VT_UI8;
    out->ullVal = controlFileVersion(libraryFile_);
    return;
  }
  auto it = stored_.find(member.dispid);
  if (it != stored_.end()) {
    VariantCopy(out, &it->second);
    return;
  }
  out->vt = member.vt;
  out->llVal = 0;
}

void StubKinoroForm::put(const Member& member, const VARIANT& value) {
  if (member.dispid == 240) {
    putUrl(player::Utf16ToUtf8(com::bstrView(value.bstrVal)));
    return;
  }
  VARIANT& slot = stored_[member.dispid];
  VariantCopy(&slot, &value);
  if (member.dispid == 242) slot.lVal = std::clamp<LONG>(slot.lVal, 0, 100);  // the player clamps
}

void StubKinoroForm::call(const Member& member) {
  if (member.dispid == 243) {  // Stop: the player stops, the time label resets
    VariantClear(&stored_[228]);
    VariantClear(&stored_[239]);
    timeLabel_ = kTimeIdle;
  }
}

void StubKinoroForm::putUrl(const std::string& link) {
  switch (CheckUrl(link)) {
    case UrlVerdict::Ignore:
      break;
    case UrlVerdict::FileLink:
      timeLabel_ = kTimeBadLink;
      break;
    case UrlVerdict::Open:
      openedLink_ = link;
      break;
  }
}

}  // namespace nivra::control
