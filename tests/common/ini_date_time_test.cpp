// Date-times as INI text.

#include "common/ini_date_time.h"

#include <gtest/gtest.h>

namespace nivra::common {
namespace {

TEST(DateText, RoundTripsToTheSecondAndRejectsOtherText) {
  for (const char* t : {"1899-12-30 00:00:00", "2024-02-29 23:59:59", "1970-01-01 12:00:00",
                        "0001-01-01 00:00:00", "9999-12-31 23:59:59", "1850-06-15 06:30:00"})
    EXPECT_EQ(dateTimeToText(textToDateTime(t)), t);
  EXPECT_EQ(textToDateTime("1899-12-31"), 1.0);
  EXPECT_DOUBLE_EQ(textToDateTime("1900-01-01 12:00:00"), 2.5);
  for (const char* bad : {"", "2023-02-29 00:00:00", "2024-13-01", "2024-01-01 24:00:00",
                          "2024-1-01", "2024-01-01T00:00:00", "2024-01-01 00:00:00 extra"})
    EXPECT_EQ(textToDateTime(bad), 0.0) << bad;
  EXPECT_EQ(dateTimeToText(1e300), "1899-12-30 00:00:00");
}

}  // namespace
}  // namespace nivra::common
