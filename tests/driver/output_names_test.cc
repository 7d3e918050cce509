#include "driver/output_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

TEST(MakeOutputNamesTest, ReplacesTheLastThreeCharacters) {
  struct Case {
    std::string command_text;
    std::string stem;
  };
  for (const Case& c : std::vector<Case>{
           {"C:\\work\\alarm.txt", "C:\\work\\alarm."},
           {"alarm.scr", "alarm."},
           {"alarm", "al"},  // no check that an extension is removed
           {"sites/north.TXT", "sites/north."},
           {"my site.txt", "my site."},
           {"abc", ""},
       }) {
    OutputNames names = MakeOutputNames(c.command_text);
    EXPECT_EQ(names.bin, c.stem + "BIN") << c.command_text;
    EXPECT_EQ(names.lst, c.stem + "LST") << c.command_text;
    EXPECT_EQ(names.err, c.stem + "ERR") << c.command_text;
    EXPECT_EQ(names.set, c.stem + "SET") << c.command_text;
  }
}

TEST(CommandTextTest, JoinsArgumentsAndStripsOnePairOfQuotes) {
  struct Case {
    std::vector<std::string> args;
    std::string text;
  };
  for (const Case& c : std::vector<Case>{
           {{"site.txt"}, "site.txt"},
           {{"my", "site.txt"}, "my site.txt"},
           {{"\"my site.txt\""}, "my site.txt"},
           {{"\"my", "site.txt\""}, "my site.txt"},
           {{"\"\"a.txt\"\""}, "\"a.txt\""},
           {{"a\"b.txt"}, "a\"b.txt"},
           {{"\"a.txt"}, "\"a.txt"},
           {{"\""}, "\""},
           {{}, ""},
       }) {
    EXPECT_EQ(CommandText(c.args), c.text);
  }
}

TEST(ProgramNameTest, IsTheBaseNameWithoutExtension) {
  EXPECT_EQ(ProgramName("/opt/vigil/bin/vigilc"), "vigilc");
  EXPECT_EQ(ProgramName("C:\\tools\\vigilc.exe"), "vigilc");
  EXPECT_EQ(ProgramName("vigilc"), "vigilc");
}

}  // namespace
}  // namespace vigil
