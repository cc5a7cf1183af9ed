#include "common/update_check.h"

#include <optional>
#include <string_view>

#include "common/ini_date_time.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/module_names.h"
#include "platform/process_launcher.h"

namespace nivra::common {
namespace {

constexpr std::string_view kSection = "Flag";
constexpr std::string_view kKey = "Data";
constexpr double kCheckIntervalDays = 7;

// The stored mark, or nothing when it is missing or not a date-time. The day 0 (1899-12-30) is a
// readable date even though the text reader also answers 0 for text it cannot read.
std::optional<double> readMark(const platform::IniFile& setup) {
  const auto text = setup.value(kSection, kKey);
  if (!text) return std::nullopt;
  const double mark = textToDateTime(*text);
  if (mark == 0 && !text->starts_with("1899-12-30")) return std::nullopt;
  return mark;
}

}  // namespace

bool IsUpdateDue(const std::filesystem::path& setupIni, platform::WallClock::time_point now) {
  const double today = platform::dayNumber(now);
  platform::IniFile setup(setupIni);
  setup.load();
  const double mark = readMark(setup).value_or(today - 1);
  if (today - mark < kCheckIntervalDays) return false;
  setup.writeString(kSection, kKey, dateTimeToText(today));
  setup.save();  // a mark that cannot be written leaves the check due next time
  return true;
}

void StartUpdater(const std::vector<std::string>& arguments) {
  platform::launchProcess((platform::moduleDir() / platform::names::kUpdater).string(), arguments);
}

}  // namespace nivra::common
