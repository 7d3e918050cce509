// The summary line of a run.

#include "sim/result.h"

#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

using testing::Site;

TEST(ResultTest, ResultLineListsChangesAndHappenings) {
  Site site("FRONT.VALID", "RELAY1 = ON\nVISITS = 3\nMARK(NIGHTOPEN)\nDIAL(1,NIGHTOPEN)\nDOOR()\n");
  State before = site.machine.state();
  site.FireFirst();
  EXPECT_EQ(ResultLine(site.program, before, site.machine.state(), site.machine.happenings()),
            "result: FRONT.RELAY1 OFF -> ON; VISITS 0 -> 3; door opened: FRONT; archive +1; "
            "1 call\n");
  EXPECT_EQ(ResultLine(site.program, before, before, {}), "result: nothing changed\n");
}

}  // namespace
}  // namespace vigil::sim
