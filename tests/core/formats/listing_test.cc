#include "core/formats/listing.h"

#include <gtest/gtest.h>

#include <string>

namespace vigil {
namespace {

TEST(ListingTest, SevenLinesEndingInCrLf) {
  EXPECT_EQ(FormatListing({"vigilc", 1, 4, 57, 0, 2, 413, "2024-02-09 03:04:05"}),
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
