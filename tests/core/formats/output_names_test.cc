#include "core/formats/output_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

TEST(OutputNamesTest, TheCommandTextLessItsLastThreeCharactersAndANewExtension) {
  OutputNames names = MakeOutputNames("C:\\work\\alarm.txt");
  EXPECT_EQ((std::vector{names.bin, names.lst, names.err, names.set}),
            (std::vector<std::string>{"C:\\work\\alarm.BIN", "C:\\work\\alarm.LST",
                                      "C:\\work\\alarm.ERR", "C:\\work\\alarm.SET"}));
  EXPECT_EQ(MakeOutputNames("alarm.scr").bin, "alarm.BIN");
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
