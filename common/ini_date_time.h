#pragma once
// Date-times (days since 1899-12-30, local) as INI files keep them, such as "dDate" of the
// history files: "YYYY-MM-DD HH:MM:SS". Seconds are the finest unit kept.

#include <string>
#include <string_view>

namespace nivra::common {

std::string dateTimeToText(double dateTime);
// Reads "YYYY-MM-DD" with an optional " HH:MM:SS"; text that is not such a date gives 0.
double textToDateTime(std::string_view text);

}  // namespace nivra::common
