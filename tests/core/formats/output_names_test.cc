#include "core/formats/output_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

TEST(OutputNamesTest, TheCommandTextLessItsLastThreeCharactersAndANewExtension) {
  // The four names of an ordinary script: tests/e2e.
  EXPECT_EQ(MakeOutputNames("C:\\work\\alarm.txt").err, "C:\\work\\alarm.ERR");
  EXPECT_EQ(MakeOutputNames("alarm").lst, "alLST");
  EXPECT_EQ(MakeOutputNames("abc").set, "SET");
}

TEST(OutputNamesTest, CommandTextStripsOnePairOfQuotesProgramNameThePathAndExtension) {
  struct Case {
    std::vector<std::string> args;
    std::string text;
  };
  for (const Case& c :
       {Case{{"my", "site.txt"}, "my site.txt"}, Case{{"\"my", "site.txt\""}, "my site.txt"},
        Case{{"\"\"a.txt\"\""}, "\"a.txt\""}, Case{{"a\"b.txt"}, "a\"b.txt"},
        Case{{"\"a.txt"}, "\"a.txt"}, Case{{"\""}, "\""}, Case{{}, ""}}) {
    EXPECT_EQ(CommandText(c.args), c.text);
  }
  EXPECT_EQ(ProgramName("C:\\tools\\vigilc.exe"), "vigilc");
}

}  // namespace
}  // namespace vigil
