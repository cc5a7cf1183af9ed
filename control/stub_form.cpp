#include "control/stub_form.h"

#include <algorithm>

#include "control/file_version.h"
#include "platform/com/com_util.h"
#include "platform/error.h"
#include "platform/text.h"
#include "player/links/url_link.h"
#include "player/links/utf16_text.h"

namespace nivra::control {
namespace {

VARIANT boolValue(bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
VARIANT longValue(LONG n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}
VARIANT unsignedValue(ULONG n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UI4;
  v.ulVal = n;
  return v;
}
VARIANT textValue(std::u16string_view text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = com::makeBstr(text);
  return v;
}

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
    timeLabel_ = "00:00/00:00";
  }
}

void StubKinoroForm::putUrl(const std::string& link) {
  if (text::trim(link).empty()) return;
  if (player::GetLinkName(link).empty()) throw Error("非法地址!");
  if (player::GetLinkKind(link) == player::kLinkFile) {
    timeLabel_ = "失效的地址!";
    return;
  }
  openedLink_ = link;
}

}  // namespace nivra::control
