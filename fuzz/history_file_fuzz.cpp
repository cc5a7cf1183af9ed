// Fuzzes the history file reader: any text loads, and what the list writes back reads back to
// the same slots.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/ini_date_time.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using nivra::platform::IniFile;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  IniFile ini("unused", IniFile::Style::Verbatim);
  ini.setText(text);

  // Read a few slots, write them back (normalising the dates), and read the result again.
  constexpr const char* kKeys[] = {"sName", "sUrl", "sAVLevel"};
  IniFile copy("unused", IniFile::Style::Verbatim);
  copy.setText(ini.text());
  for (int slot = 0; slot < 3; ++slot) {
    const std::string section = "History" + std::to_string(slot);
    for (const char* key : kKeys)
      if (ini.value(section, key) != copy.value(section, key)) std::abort();
    const double date = nivra::common::textToDateTime(ini.value(section, "dDate").value_or(""));
    copy.writeString(section, "dDate", nivra::common::dateTimeToText(date));
    copy.writeString(section, "sName", ini.value(section, "sName").value_or("") + "\n");
  }
  IniFile again("unused", IniFile::Style::Verbatim);
  again.setText(copy.text());
  for (int slot = 0; slot < 3; ++slot) {
    const std::string section = "History" + std::to_string(slot);
    if (again.value(section, "dDate") != copy.value(section, "dDate")) std::abort();
    const std::string date = again.value(section, "dDate").value_or("");
    if (nivra::common::dateTimeToText(nivra::common::textToDateTime(date)) != date) std::abort();
  }
  return 0;
}
