// The compiled script as the model loads it: blocks, lines, names, times.

#include "sim/program.h"

#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

// What the machine's tests do not meet: an operand FF inside a block, a
// strike time the download file raises, names the script does not give.
TEST(ProgramTest, BlocksLinesAndSettings) {
  testing::Site site(
      "EVENT FRONT.VALID\n"  // line 13: FF 01 01 at 0
      "RELAY1 = ON\n"        // line 14: 21 01 01 at 3
      "EVENTEND\n"
      "EVENT CTRL.USEREVENT9\n"  // line 16: FF 00 A1 at 6
      "SETBYTE1(255)\n"          // line 17: 75 FF 00 at 9
      "EVENTEND\n");
  const Program& program = site.program;
  ASSERT_EQ(program.blocks.size(), 2u);
  EXPECT_EQ(program.blocks[1].event, 0xA1);
  EXPECT_EQ(program.blocks[1].start, 9);
  EXPECT_EQ(program.bytes[10].line, 17);     // the operand FF is no header
  EXPECT_EQ(program.strike_times.at(2), 2);  // strike time 1 is raised to 2
  EXPECT_EQ(ModuleName(program, 9), "module 9");
  EXPECT_EQ(EventLabel(program, 101, 8), "OFFICE.ALERT");
}

}  // namespace
}  // namespace vigil::sim
