// Fuzzes the INI reader and writer, and the registry hive reader that shares its line rules:
// any bytes parse, every read answers, and a write followed by a re-parse reads back.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "platform/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  nivra::platform::IniFile ini;
  ini.setText(text);
  for (const auto& section : ini.sectionNames())
    for (const auto& key : ini.keyNames(section)) {
      ini.readString(section, key, "");
      ini.readInteger(section, key, 0);
    }
  ini.writeString("cfBase", "chkAutoRun", "1");
  nivra::platform::IniFile again;
  again.setText(ini.text());
  if (again.readString("cfBase", "chkAutoRun", "") != "1") std::abort();

  auto hive = nivra::platform::RegHive::parse("HKEY_CURRENT_USER", text);
  hive.setValue("Software\\Nivra", "v", std::string(text.substr(0, 64)));
  auto back = nivra::platform::RegHive::parse("HKEY_CURRENT_USER", hive.text());
  auto v = back.value("Software\\Nivra", "v");
  // Values holding line breaks cannot survive the line format; everything else must.
  if (text.substr(0, 64).find_first_of("\r\n") == std::string_view::npos &&
      (!v || std::get<std::string>(*v) != text.substr(0, 64)))
    std::abort();
  return 0;
}
