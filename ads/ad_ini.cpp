#include "ads/ad_ini.h"

#include "platform/date_time.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/registry.h"

namespace nivra::ads {

void WriteSetupDay(std::chrono::system_clock::time_point now) {
  using platform::Hive;
  auto reg = platform::Registry::system();
  constexpr const char* kKey = "SOFTWARE\\Nivra";
  if (!reg.keyExists(Hive::LocalMachine, kKey)) return;
  reg.writeDword(Hive::LocalMachine, kKey, "nopopday", static_cast<std::uint32_t>(platform::dayNumber(now)));
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
