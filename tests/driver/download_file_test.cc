#include "driver/download_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vigil {
namespace {

// The numbers after the "9;low;high;" prefix of a code record.
size_t ValueCount(const std::string& record) {
  size_t semicolons = 0;
  for (char c : record) semicolons += c == ';' ? 1 : 0;
  return semicolons - 3;
}

TEST(FormatChunkTest, EachByteInDecimalFollowedBySemicolon) {
  EXPECT_EQ(FormatChunk(std::vector<uint8_t>{81, 7, 255, 255, 255}), "81;7;255;255;255;");
  EXPECT_EQ(FormatChunk(std::vector<uint8_t>{0, 10, 100}), "0;10;100;");
  EXPECT_EQ(FormatChunk(std::vector<uint8_t>{}), "");
}

TEST(CodeRecordsTest, CutsTheCodeIntoChunksOf245Bytes) {
  struct Case {
    size_t size;
    std::vector<std::string> prefixes;  // one per record
    std::vector<size_t> counts;         // values per record
  };
  for (const Case& c : std::vector<Case>{
           {3, {"9;0;0;"}, {3}},
           {245, {"9;0;0;"}, {245}},
           {246, {"9;0;0;", "9;245;0;"}, {245, 1}},
           {490, {"9;0;0;", "9;245;0;"}, {245, 245}},
           {491, {"9;0;0;", "9;245;0;", "9;234;1;"}, {245, 245, 1}},
           {1000,
            {"9;0;0;", "9;245;0;", "9;234;1;", "9;223;2;", "9;212;3;"},
            {245, 245, 245, 245, 20}},
       }) {
    std::vector<uint8_t> code(c.size, 7);
    std::vector<std::string> records = CodeRecords(code);
    ASSERT_EQ(records.size(), c.prefixes.size()) << c.size;
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_TRUE(records[i].starts_with(c.prefixes[i] + "7;")) << records[i];
      EXPECT_EQ(ValueCount(records[i]), c.counts[i]) << c.size << " record " << i;
    }
  }
}

TEST(CodeRecordsTest, KeepsTheByteOrderAcrossChunks) {
  std::vector<uint8_t> code(247);
  for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i);
  std::vector<std::string> records = CodeRecords(code);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].ends_with(";243;244;")) << records[0];
  EXPECT_EQ(records[1], "9;245;0;245;246;");
}

TEST(FormatDownloadFileTest, EmptyScriptGivesTheFourRecords) {
  std::vector<uint8_t> code{255, 255, 255};
  EXPECT_EQ(FormatDownloadFile({{""}, {""}, "122;42;42;42;42;42;42;42;42", code}),
            "18;7;0\r\n"
            "122;42;42;42;42;42;42;42;42\r\n"
            "9;0;0;255;255;255;\r\n"
            "18;8;0\r\n");
  EXPECT_EQ(FormatDownloadFile({{""}, {""}, "", code}),
            "18;7;0\r\n9;0;0;255;255;255;\r\n18;8;0\r\n");
}

TEST(FormatDownloadFileTest, RecordsInOrderWithEmptyStringsSkipped) {
  std::vector<uint8_t> code{255, 1, 1, 255, 255, 255};
  EXPECT_EQ(FormatDownloadFile({{"11;254;0;30;0;", "11;254;1;5;0;"},
                                {"11;0;0;1;0;", "11;0;1;0;0;", "", ""},
                                "122;82;49;42;42;42;42;42;42",
                                code}),
            "18;7;0\r\n"
            "11;254;0;30;0;\r\n"
            "11;254;1;5;0;\r\n"
            "11;0;0;1;0;\r\n"
            "11;0;1;0;0;\r\n"
            "122;82;49;42;42;42;42;42;42\r\n"
            "9;0;0;255;1;1;255;255;255;\r\n"
            "18;8;0\r\n");
}

}  // namespace
}  // namespace vigil
