#include "core/formats/listing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace vigil {
namespace {

// The date is formatted in UTC (the zone is restored after): every field of
// 2024-02-09 03:04:05 needs its leading zero.
TEST(ListingTest, SevenLinesEndingInCrLf) {
  std::string saved = std::getenv("TZ") ? std::getenv("TZ") : "";
  setenv("TZ", "UTC", 1);
  tzset();
  std::string listing = FormatListing({"vigilc", 1, 4, 57, 0, 2, 413, 1707447845});
  saved.empty() ? unsetenv("TZ") : setenv("TZ", saved.c_str(), 1);
  tzset();
  EXPECT_EQ(listing,
            "vigilc = 1.4\r\n"
            "Lines = 57\r\n"
            "Warnings = 0\r\n"
            "Errors = 2\r\n"
            "\r\n"
            "Bytes = 413\r\n"
            "Date = 2024-02-09 03:04:05\r\n");
}

}  // namespace
}  // namespace vigil
