#pragma once
// Date-times (days since 1899-12-30, local) as the history files keep them:
// "YYYY-MM-DD HH:MM:SS". Seconds are the finest unit kept.

#include <string>
#include <string_view>

namespace nivra::catalogue {

std::string dateTimeToText(double dateTime);
// Reads "YYYY-MM-DD" with an optional " HH:MM:SS"; text that is not such a date gives 0.
double textToDateTime(std::string_view text);

}  // namespace nivra::catalogue
