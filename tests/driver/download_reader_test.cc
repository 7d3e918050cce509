#include "driver/download_reader.h"

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

TEST(DownloadReaderTest, ReadsEveryKindOfRecord) {
  std::string code_record = CodeRecord(245);
  DownloadImage image = ReadDownloadFile(
      "18;7;0\r\n"
      "11;254;0;30;0;\r\n"
      "11;3;0;7;1;\r\n"
      "11;3;4;2;0;\r\n"
      "122;82;49;42;42;42;42;42;42\r\n" +
      code_record +
      "\r\n"
      "9;245;0;255;255;255;\r\n"
      "18;8;0\r\n");
  EXPECT_TRUE(image.problems.empty());
  EXPECT_EQ(image.record_count, 8);
  ASSERT_EQ(image.parameters.size(), 1u);
  EXPECT_EQ(image.parameters[0].id, 0);
  EXPECT_EQ(image.parameters[0].value, 30);
  ASSERT_EQ(image.module_settings.size(), 2u);
  EXPECT_EQ(image.module_settings[0].record, 3);
  EXPECT_EQ(image.module_settings[0].low + 256 * image.module_settings[0].high, 263);
  EXPECT_EQ(image.partition_tree, "R1******");
  ASSERT_EQ(image.code.size(), 248u);
  EXPECT_EQ(image.code[244], 7);
  EXPECT_EQ(image.code[245], 255);
  // Code byte 245 is the first value (field 4) of the second code record.
  FileSpot spot = LocateCodeByte(image, 245);
  EXPECT_EQ(spot.record, 7);
  EXPECT_EQ(spot.field, 4);
  EXPECT_EQ(LocateCodeByte(image, 248).record, 0);
}

struct BadFile {
  std::string text;
  int record;
  int field;
  std::string message;  // part of the message
};

class DownloadReaderBadFileTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(DownloadReaderBadFileTest, ReportsTheProblemWhereItIs) {
  const BadFile& bad = GetParam();
  DownloadImage image = ReadDownloadFile(bad.text);
  bool found = false;
  std::string all;
  for (const DownloadProblem& problem : image.problems) {
    all += std::to_string(problem.record) + "," + std::to_string(problem.field) + ": " +
           problem.message + "\n";
    found = found || (problem.record == bad.record && problem.field == bad.field &&
                      problem.message.find(bad.message) != std::string::npos);
  }
  EXPECT_TRUE(found) << all;
}

const std::string kTrailer = "9;0;0;255;255;255;\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DownloadReaderBadFileTest,
    ::testing::Values(
        BadFile{kTrailer + "18;8;0\r\n", 1, 0, "does not start with the opening record"},
        BadFile{"18;7;0\r\n" + kTrailer, 0, 0, "closing record 18;8;0 is missing"},
        BadFile{"18;7;0\r\n18;8;0\r\n", 0, 0, "no code records"},
        // The file stops in the middle of a code record.
        BadFile{"18;7;0\r\n9;0;0;255;25", 2, 0, "without CR LF"},
        BadFile{"18;7;0\r\n9;0;0;255;25", 2, 0, "does not end with ';'"},
        BadFile{"18;7;0\r\n11;3;4;2;\r\n" + kTrailer + "18;8;0\r\n", 2, 0, "holds 4 values"},
        BadFile{"18;7;0\r\n9;0;0;81;\r\n9;5;0;255;255;255;\r\n18;8;0\r\n", 3, 2,
                "offset 5 does not follow the 1 bytes"},
        BadFile{"18;7;0\r\n9;0;0;255;300;255;\r\n18;8;0\r\n", 2, 5, "value 300 is above 255"},
        BadFile{"18;7;0\r\n9;0;0;255;1000;255;\r\n18;8;0\r\n", 2, 5, "above 255"},
        BadFile{"18;7;0\r\n9;0;0;255;x;255;\r\n18;8;0\r\n", 2, 5, "'x' is not a number"},
        BadFile{"18;7;0\r\n9;0;0;255;;255;\r\n18;8;0\r\n", 2, 5, "empty field"},
        BadFile{"18;7;0\r\n11;3;5;-1;0;\r\n" + kTrailer + "18;8;0\r\n", 2, 4, "-1 is below 0"},
        BadFile{"18;7;0\r\n11;3;9;1;0;\r\n" + kTrailer + "18;8;0\r\n", 2, 3,
                "has no setting item 9"},
        BadFile{"18;7;0\r\n122;82;65;42;42;42;42;42;42\r\n" + kTrailer + "18;8;0\r\n", 2, 3,
                "character code 65"},
        BadFile{"18;7;0\r\n122;82;42\r\n" + kTrailer + "18;8;0\r\n", 2, 0, "holds 2 characters"},
        BadFile{"18;7;0\r\n" + kTrailer + "18;8;0\r\n18;8;0\r\n", 4, 0, "after the closing record"},
        BadFile{"18;7;0\r\n7;1;2\r\n" + kTrailer + "18;8;0\r\n", 2, 1, "unknown record type 7"},
        BadFile{"18;7;0\r\n18;9;0\r\n" + kTrailer + "18;8;0\r\n", 2, 0, "unknown framing record"},
        BadFile{"18;7;0\r\n\r\n" + kTrailer + "18;8;0\r\n", 2, 0, "empty record"},
        BadFile{"18;7;0\r\n" + CodeRecord(246) + "\r\n18;8;0\r\n", 2, 0,
                "holds 246 bytes, at most 245"}));

TEST(DownloadReaderTest, BadValuesKeepTheirPlaceInTheCode) {
  DownloadImage image = ReadDownloadFile("18;7;0\r\n9;0;0;255;300;1;\r\n9;3;0;7;\r\n18;8;0\r\n");
  // The second record's offset still follows: the bad value counts as a byte.
  ASSERT_EQ(image.problems.size(), 1u);
  EXPECT_EQ(image.code, (std::vector<uint8_t>{255, 0, 1, 7}));
}

TEST(DownloadReaderTest, ReadsTheNamesOfASettingsTableFile) {
  SiteNames names = ReadSettingsNames(
      "[Parameters]\r\nScript.ALARMDELAY=254,0,30\r\nScript.LIMIT=254,1,5\r\n"
      "DOOR1.StrikeTime=3,4,5\r\nDOOR1.AjarTime=3,5,30\r\nDOOR1.CardTimeout=3,6,10\r\n\r\n"
      "[Marks]\r\nM1=254,0,Door opened, again=1\r\n\r\n"
      "[Registers]\r\nCNT=0\r\nR2=1\r\n\r\n[Timers]\r\nT1=0");
  EXPECT_EQ(names.parameters, (std::map<int, std::string>{{0, "ALARMDELAY"}, {1, "LIMIT"}}));
  EXPECT_EQ(names.modules, (std::map<int, std::string>{{3, "DOOR1"}}));
  EXPECT_EQ(names.marks, (std::map<int, std::string>{{0, "M1"}}));
  EXPECT_EQ(names.registers, (std::map<int, std::string>{{0, "CNT"}, {1, "R2"}}));
  EXPECT_EQ(names.timers, (std::map<int, std::string>{{0, "T1"}}));
}

}  // namespace
}  // namespace vigil
