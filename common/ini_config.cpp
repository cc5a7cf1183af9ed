#include "common/ini_config.h"

#include "common/ufunction.h"
#include "platform/ini_file.h"

namespace nivra::common {
namespace {

// The fields in file order: section, key and member. One table drives load and save.
struct Field {
  const char* section;
  const char* key;
  bool TIniConfig::*flag;
  std::int32_t TIniConfig::*number;
};

constexpr Field kFields[] = {
    {"cfBase", "chkAutoRun", &TIniConfig::chkAutoRun, nullptr},
    {"cfBase", "rbMini", nullptr, &TIniConfig::rbMini},
    {"cfBase", "rbClose", nullptr, &TIniConfig::rbClose},
    {"cfBase", "chkNextNotQuery", &TIniConfig::chkNextNotQuery, nullptr},
    {"cfPlay", "cbbTop", nullptr, &TIniConfig::cbbTop},
    {"cfPlay", "cbbScale", nullptr, &TIniConfig::cbbScale},
    {"cfPlay", "cbbSound", nullptr, &TIniConfig::cbbSound},
    {"cfPlay", "chkShutDown", &TIniConfig::chkShutDown, nullptr},
    {"cfPlay", "udHistory", nullptr, &TIniConfig::udHistory},
    {"cfHotKey", "chkBossKey", &TIniConfig::chkBossKey, nullptr},
    {"cfHotKey", "hkBossKey", nullptr, &TIniConfig::hkBossKey},
    {"cfHotKey", "chkBossKeyHideTray", &TIniConfig::chkBossKeyHideTray, nullptr},
    {"cfHotKey", "chkBossKeyMute", &TIniConfig::chkBossKeyMute, nullptr},
    {"cfHotKey", "hkOpenFile", nullptr, &TIniConfig::hkOpenFile},
    {"cfHotKey", "hkOpenUrl", nullptr, &TIniConfig::hkOpenUrl},
    {"cfHotKey", "hkVolumeInc", nullptr, &TIniConfig::hkVolumeInc},
    {"cfHotKey", "hkVolumeDec", nullptr, &TIniConfig::hkVolumeDec},
    {"cfHotKey", "hkMute", nullptr, &TIniConfig::hkMute},
    {"cfHotKey", "hkFullScreen", nullptr, &TIniConfig::hkFullScreen},
    {"cfFace", "rbPlayListPos", nullptr, &TIniConfig::rbPlayListPos},
    {"cfFace", "rbPlayListMode", nullptr, &TIniConfig::rbPlayListMode},
    {"cfFace", "lstFace", nullptr, &TIniConfig::lstFace},
};

}  // namespace

void TIniConfig::Load(const std::filesystem::path& file) {
  platform::IniFile ini(file);
  if (!ini.load()) return;
  for (const Field& f : kFields) {
    if (f.flag)
      this->*f.flag = ini.readBool(f.section, f.key, this->*f.flag);
    else
      this->*f.number = ini.readInteger(f.section, f.key, this->*f.number);
  }
}

bool TIniConfig::Save(const std::filesystem::path& file) const {
  platform::IniFile ini(file);
  ini.load();  // keeps sections this object does not own
  for (const Field& f : kFields) {
    if (f.flag)
      ini.writeBool(f.section, f.key, this->*f.flag);
    else
      ini.writeInteger(f.section, f.key, this->*f.number);
  }
  return ini.save();
}

std::filesystem::path TIniConfig::DefaultPath() {
  return std::filesystem::path(common::GetUserDataFolder()) / "Setup.ini";
}

}  // namespace nivra::common
