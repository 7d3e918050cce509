#include "core/formats/download_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace vigil {
namespace {

// Code byte i holds i modulo 256, so the first value of each record is the
// low byte of its offset.
TEST(CodeRecordsTest, CutsTheCodeIntoChunksOf245Bytes) {
  struct Case {
    size_t size;
    std::vector<std::string> starts;  // one per record: offset and first value
    std::vector<size_t> counts;       // values per record
  };
  for (const Case& c :
       {Case{245, {"9;0;0;0;"}, {245}}, Case{246, {"9;0;0;0;", "9;245;0;245;"}, {245, 1}},
        Case{490, {"9;0;0;0;", "9;245;0;245;"}, {245, 245}},
        Case{1000,
             {"9;0;0;0;", "9;245;0;245;", "9;234;1;234;", "9;223;2;223;", "9;212;3;212;"},
             {245, 245, 245, 245, 20}}}) {
    std::vector<uint8_t> code(c.size);
    for (size_t i = 0; i < code.size(); ++i) code[i] = static_cast<uint8_t>(i % 256);
    std::vector<std::string> records = CodeRecords(code);
    ASSERT_EQ(records.size(), c.starts.size()) << c.size;
    for (size_t i = 0; i < records.size(); ++i) {
      EXPECT_TRUE(records[i].starts_with(c.starts[i])) << records[i];
      EXPECT_EQ(static_cast<size_t>(std::count(records[i].begin(), records[i].end(), ';')),
                c.counts[i] + 3)
          << c.size << " record " << i;
    }
  }
}

}  // namespace
}  // namespace vigil
