#include "driver/listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace vigil {
namespace {

// Runs the formatting of local times in UTC, and restores the zone after.
class UtcZone : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = std::getenv("TZ");
    had_zone_ = zone != nullptr;
    if (had_zone_) saved_ = zone;
    setenv("TZ", "UTC", 1);
    tzset();
  }
  void TearDown() override {
    if (had_zone_) {
      setenv("TZ", saved_.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }

 private:
  bool had_zone_ = false;
  std::string saved_;
};

using ListingTest = UtcZone;

TEST_F(ListingTest, SevenLinesEndingInCrLf) {
  ListingSummary summary{"vigilc", 1, 4, 57, 0, 2, 413, 86399};
  EXPECT_EQ(FormatListing(summary),
            "vigilc = 1.4\r\n"
            "Lines = 57\r\n"
            "Warnings = 0\r\n"
            "Errors = 2\r\n"
            "\r\n"
            "Bytes = 413\r\n"
            "Date = 1970-01-01 23:59:59\r\n");
}

TEST_F(ListingTest, DateIsYearMonthDayAndTime) {
  EXPECT_EQ(FormatDate(0), "1970-01-01 00:00:00");
  EXPECT_EQ(FormatDate(1709210096), "2024-02-29 12:34:56");
}

TEST(ErrorFileTest, OneLegacyLinePerError) {
  Diagnostic first;
  first.number = 6;
  first.counted_line = 3;
  first.legacy_text = "FOO";
  Diagnostic second;
  second.number = 31;
  second.counted_line = 120;
  EXPECT_EQ(FormatErrorFile({first, second}),
            "0000100003FOO%Unknown command\r\n"
            "0000100120%Maximum script size exceeded (12kB).\r\n");
  EXPECT_EQ(FormatErrorFile({}), "");
}

TEST(JoinLinesTest, EveryLineEndsInCrLf) {
  EXPECT_EQ(JoinLines({"[Parameters]", "", "[Marks]"}), "[Parameters]\r\n\r\n[Marks]\r\n");
  EXPECT_EQ(JoinLines({}), "");
}

}  // namespace
}  // namespace vigil
