#include "core/decode/compiled_image.h"

#include <gtest/gtest.h>

#include <string>

#include "core/formats/output_files.h"
#include "support/script.h"

namespace vigil {
namespace {

// Every number of the image as text, record numbers included.
std::string Fields(const DownloadImage& image) {
  std::string text = std::to_string(image.record_count) + " P";
  auto add = [&text](std::initializer_list<int> numbers) {
    for (int number : numbers) text += " " + std::to_string(number);
  };
  for (const ParameterSetting& p : image.parameters) add({p.record, p.id, p.value});
  text += " M";
  for (const ModuleSetting& m : image.module_settings)
    add({m.record, m.module, m.item, m.low, m.high});
  text += " T " + image.partition_tree.value_or("-");
  add({image.partition_tree_record});
  text += " C";
  for (const CodeRecord& c : image.code_records) add({c.record, c.offset, c.count});
  for (uint8_t byte : image.code) add({byte});
  return text;
}

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
    DownloadImage read = ReadDownloadFile(DownloadFileText(compilation));
    EXPECT_TRUE(read.problems.empty()) << script;
    EXPECT_EQ(Fields(DownloadImageOf(compilation)), Fields(read)) << script;
  }
}

}  // namespace
}  // namespace vigil
