#include "core/decode/script_code.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

struct LinesCase {
  const char* script;
  std::vector<int> item_lines;  // per decoded item, in the order of the code
};

// An event header belongs to its EVENT line, an instruction to its
// statement, the trailer to no line; comments, declarations and EVENTEND
// give no item. Lines are physical: a lone CR ends a line too.
TEST(ScriptCodeTest, EachItemBelongsToTheLineThatProducedIt) {
  const LinesCase cases[] = {
      {"MODULE = CTRL,0\r\n"
       "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
       "EVENT FRONT.VALID\r\n"
       "  DELAY(5)\r\n"
       "EVENTEND\r\n",
       {3, 4, 0}},
      {"MODULE = CTRL,0\r\n"
       "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
       "; two events\r"
       "EVENT FRONT.VALID\r\n"
       "EVENTEND\r\n"
       "EVENT FRONT.INVALID\r\n"
       "  DELAY(1)\r\n"
       "  DELAY(2)\r\n"
       "EVENTEND\r\n",
       {4, 6, 7, 8, 0}},
      {"", {0}},
  };
  for (const LinesCase& c : cases) {
    Compilation compilation = Compile(c.script);
    ASSERT_EQ(compilation.error_count, 0) << c.script;
    Disassembly code = Disassemble(compilation.code, DeclaredNames(compilation.symbols));
    EXPECT_EQ(ItemLines(compilation, code), c.item_lines) << c.script;
  }
}

TEST(ScriptCodeTest, DeclaredNamesByIdOfEachKind) {
  Compilation compilation = Compile(
      "MODULE = CTRL,0\r\n"
      "MODULE = FRONT,1,0,2,5,30,10,1\r\n"
      "DEFINE PARAMETER WAIT = 3\r\n"
      "DEFINE MARK FORCED = Door forced\r\n"
      "DEFINE REGISTER VISITS\r\n"
      "DEFINE TIMER T1\r\n");
  SiteNames names = DeclaredNames(compilation.symbols);
  EXPECT_EQ(names.modules.at(0), "CTRL");
  EXPECT_EQ(names.modules.at(1), "FRONT");
  EXPECT_EQ(names.parameters.at(0), "WAIT");
  EXPECT_EQ(names.marks.at(0), "FORCED");
  EXPECT_EQ(names.registers.at(0), "VISITS");
  EXPECT_EQ(names.timers.at(0), "T1");
}

}  // namespace
}  // namespace vigil
