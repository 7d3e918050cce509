#include "core/formats/download_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

// A code record at offset 0 with `count` bytes of 7.
std::string CodeRecord(int count) {
  std::string record = "9;0;0;";
  for (int i = 0; i < count; ++i) record += "7;";
  return record;
}

// The records' contents, and a file cut short, are shown by `vigil dis`
// (tests/e2e); here: the code of two records, and where each code byte came
// from. The bad value 300 still counts as a byte, so the second record's
// offset 3 follows it.
TEST(DownloadReaderTest, JoinsTheCodeRecordsAndLocatesEachByte) {
  DownloadImage image = ReadDownloadFile("18;7;0\r\n9;0;0;255;300;1;\r\n9;3;0;7;\r\n18;8;0\r\n");
  EXPECT_EQ(image.problems.size(), 1u);
  EXPECT_EQ(image.record_count, 4);
  EXPECT_EQ(image.code, (std::vector<uint8_t>{255, 0, 1, 7}));
  FileSpot spot = LocateCodeByte(image, 3);
  EXPECT_EQ(spot.record, 3);
  EXPECT_EQ(spot.field, 4);
  EXPECT_EQ(LocateCodeByte(image, 4).record, 0);
}

struct BadFile {
  std::string text;
  int record;
  int field;
  std::string message;  // part of the message
};

class DownloadReaderBadFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(DownloadReaderBadFileTest, ReportsTheProblemWhereItIs) {
  std::string all;
  bool found = false;
  for (const DownloadProblem& problem : ReadDownloadFile(GetParam().text).problems) {
    found = found || (problem.record == GetParam().record && problem.field == GetParam().field &&
                      problem.message.find(GetParam().message) != std::string::npos);
    all += std::to_string(problem.record) + "," + std::to_string(problem.field) + ": " +
           problem.message + "\n";
  }
  EXPECT_TRUE(found) << all;
}

const std::string kCode = "9;0;0;255;255;255;\r\n";
const std::string kEnd = kCode + "18;8;0\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadReaderBadFileTest,
    ::testing::Values(
        BadFile{kEnd, 1, 0, "does not start with the opening record"},
        BadFile{"18;7;0\r\n18;8;0\r\n", 0, 0, "no code records"},
        BadFile{"18;7;0\r\n9;0;0;255;25\r\n18;8;0\r\n", 2, 0, "does not end with ';'"},
        BadFile{"18;7;0\r\n11;3;4;2;\r\n" + kEnd, 2, 0, "holds 4 values"},
        BadFile{"18;7;0\r\n9;0;0;81;\r\n9;5;0;255;255;255;\r\n18;8;0\r\n", 3, 2,
                "offset 5 does not follow the 1 bytes"},
        BadFile{"18;7;0\r\n9;0;0;255;1000;255;\r\n18;8;0\r\n", 2, 5, "value 1000 is above 255"},
        BadFile{"18;7;0\r\n9;0;0;255;x;255;\r\n18;8;0\r\n", 2, 5, "'x' is not a number"},
        BadFile{"18;7;0\r\n9;0;0;255;;255;\r\n18;8;0\r\n", 2, 5, "empty field"},
        BadFile{"18;7;0\r\n11;3;0;-1;0;\r\n" + kEnd, 2, 4, "-1 is below 0"},
        BadFile{"18;7;0\r\n11;3;5;32768;0;\r\n" + kEnd, 2, 4, "32768 is above 32767"},
        BadFile{"18;7;0\r\n11;254;0;-32769;0;\r\n" + kEnd, 2, 4, "-32769 is below -32768"},
        BadFile{"18;7;0\r\n11;3;9;1;0;\r\n" + kEnd, 2, 3, "has no setting item 9"},
        BadFile{"18;7;0\r\n122;82;65;42;42;42;42;42;42\r\n" + kEnd, 2, 3, "character code 65"},
        BadFile{"18;7;0\r\n122;82;42\r\n" + kEnd, 2, 0, "holds 2 characters"},
        BadFile{"18;7;0\r\n" + kEnd + "18;8;0\r\n", 4, 0, "after the closing record"},
        BadFile{"18;7;0\r\n7;1;2\r\n" + kEnd, 2, 1, "unknown record type 7"},
        BadFile{"18;7;0\r\n18;9;0\r\n" + kEnd, 2, 0, "unknown framing record"},
        BadFile{"18;7;0\r\n\r\n" + kEnd, 2, 0, "empty record"},
        BadFile{"18;7;0\r\n" + CodeRecord(246) + "\r\n18;8;0\r\n", 2, 0,
                "holds 246 bytes, at most 245"}));

}  // namespace
}  // namespace vigil
