#include "core/decode/compiled_image.h"

#include <gtest/gtest.h>

#include <string>

#include "core/formats/output_files.h"
#include "support/script.h"

namespace vigil {
namespace {

// The image built from the values is the one the reader gets from the file
// vigilc writes: settings, tree, code and the record numbers of each.
TEST(CompiledImageTest, AgreesWithTheDownloadFileReadBack) {
  for (std::string script : {
           std::string(""),
           std::string("MODULE = PANEL,0\nDEVICE = PANEL.UserEvents,1\n"),
           std::string("MODULE = PANEL,0\nMODULE = D1,1,0,300,1,948,-2,3\nMODULE = AP,100\n"
                       "PARTITION = P1,101,0,100\nPARTITION = P2,102,0,101\n"
                       "DEFINE PARAMETER A = 30\nDEFINE PARAMETER B = 300\n"
                       "EVENT D1.VALID\nDOOR()\nDELAY(A)\nEVENTEND\n"),
           std::string("MODULE = PANEL,0\nEVENT PANEL.INIT\n") +
               [] {
                 std::string body;
                 for (int i = 0; i < 200; ++i) body += "BEEP = ON\n";
                 return body;
               }() +
               "EVENTEND\n",
       }) {
    Compilation compilation = testing::CompileValue(script);
    DownloadImage built = DownloadImageOf(compilation);
    DownloadImage read = ReadDownloadFile(DownloadFileText(compilation));
    EXPECT_TRUE(read.problems.empty()) << script;
    EXPECT_EQ(built.record_count, read.record_count) << script;
    ASSERT_EQ(built.parameters.size(), read.parameters.size()) << script;
    for (size_t i = 0; i < built.parameters.size(); ++i) {
      EXPECT_EQ(
          (std::tuple{built.parameters[i].record, built.parameters[i].id,
                      built.parameters[i].value}),
          (std::tuple{read.parameters[i].record, read.parameters[i].id, read.parameters[i].value}));
    }
    ASSERT_EQ(built.module_settings.size(), read.module_settings.size()) << script;
    for (size_t i = 0; i < built.module_settings.size(); ++i) {
      const ModuleSetting& a = built.module_settings[i];
      const ModuleSetting& b = read.module_settings[i];
      EXPECT_EQ((std::tuple{a.record, a.module, a.item, a.low, a.high}),
                (std::tuple{b.record, b.module, b.item, b.low, b.high}));
    }
    EXPECT_EQ(built.partition_tree, read.partition_tree);
    EXPECT_EQ(built.partition_tree_record, read.partition_tree_record);
    EXPECT_EQ(built.code, read.code);
    ASSERT_EQ(built.code_records.size(), read.code_records.size());
    for (size_t i = 0; i < built.code_records.size(); ++i) {
      EXPECT_EQ((std::tuple{built.code_records[i].record, built.code_records[i].offset,
                            built.code_records[i].count}),
                (std::tuple{read.code_records[i].record, read.code_records[i].offset,
                            read.code_records[i].count}));
    }
  }
}

}  // namespace
}  // namespace vigil
