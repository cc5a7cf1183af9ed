#include "ads/ad_ini.h"

#include "common/ini_date_time.h"
#include "platform/date_time.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/registry.h"

namespace nivra::ads {
namespace {

constexpr const char* kAdKey = "SOFTWARE\\Nivra";
constexpr const char* kSave = "save";

double readDateTime(const platform::IniFile& ini, const char* section, const char* key) {
  const auto text = ini.value(section, key);
  return text ? common::textToDateTime(*text) : 0;
}

void stamp(const std::filesystem::path& dataDir, const char* name,
           std::chrono::system_clock::time_point now) {
  if (!platform::ensureDir(dataDir)) return;
  platform::IniFile ini(dataDir / "popset.ini");
  ini.load();
  ini.writeString(name, name, common::dateTimeToText(platform::toDateTime(now)));
  ini.save();
}

}  // namespace

bool TADIni::Load(const std::filesystem::path& file) {
  platform::IniFile ini(file);
  if (!ini.load()) return false;
  RightPopData = readDateTime(ini, kSave, "RightPopData");
  MiniPopData = readDateTime(ini, kSave, "MiniPopData");
  TodayMiniCount = ini.readInteger(kSave, "TodayMiniCount", 3);
  TodayRightCount = ini.readInteger(kSave, "TodayRightCount", 3);
  rigtsvc = ini.readInteger(kSave, "rigtsvc", 0);
  return true;
}

bool TADIni::Save(const std::filesystem::path& file) const {
  platform::IniFile ini(file);
  ini.load();
  ini.writeString(kSave, "RightPopData", common::dateTimeToText(RightPopData));
  ini.writeString(kSave, "MiniPopData", common::dateTimeToText(MiniPopData));
  ini.writeInteger(kSave, "TodayMiniCount", TodayMiniCount);
  ini.writeInteger(kSave, "TodayRightCount", TodayRightCount);
  ini.writeInteger(kSave, "rigtsvc", rigtsvc);
  return ini.save();
}

bool PopsAllowed(const std::filesystem::path& dataDir) {
  platform::IniFile ini(dataDir / "pop.ini");
  if (!ini.load()) return true;
  return ini.readInteger("set", "ifpop", 0) != 2;
}

std::int32_t HeartbeatInterval(const std::filesystem::path& moduleDir) {
  platform::IniFile ini(moduleDir / "Heatbeat.ini");
  ini.load();
  const auto seconds = ini.readInteger("Heatbeat", "Heatbeat", 0);
  return seconds == 0 ? 540 : seconds;
}

void StampPopShown(const std::filesystem::path& dataDir, bool service,
                   std::chrono::system_clock::time_point now) {
  stamp(dataDir, service ? "svcadad" : "trayad", now);
}

void StampTrayOnline(const std::filesystem::path& dataDir,
                     std::chrono::system_clock::time_point now) {
  stamp(dataDir, "trayonline", now);
}

std::int32_t ReadNoPopDay() {
  const auto value =
      platform::Registry::system().readDword(platform::Hive::LocalMachine, kAdKey, "nopopday");
  return value ? static_cast<std::int32_t>(*value) : 0;
}

void WriteSetupDay(std::chrono::system_clock::time_point now) {
  using platform::Hive;
  auto reg = platform::Registry::system();
  if (!reg.keyExists(Hive::LocalMachine, kAdKey)) return;
  reg.writeDword(Hive::LocalMachine, kAdKey, "nopopday",
                 static_cast<std::uint32_t>(platform::dayNumber(now)));
}

void WriteRunFlag(bool flag) {
  const auto dir = platform::commonDataDir();
  if (!platform::ensureDir(dir)) return;
  platform::IniFile ini(dir / "runa.ini");
  ini.load();
  ini.writeBool("run", "run", flag);
  ini.save();
}

}  // namespace nivra::ads
