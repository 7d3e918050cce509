// How the trace reads each kind of condition term.

#include "sim/labels.h"

#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

TEST(LabelsTest, TermReadings) {
  testing::Site site("CTRL.INIT", "BREAK\n");
  State state;
  state.registers[1] = 7;
  state.card_group = 3;
  state.SetPoint({0x0A, 101, 4}, true);
  struct Case {
    Term term;
    std::string_view reading;
  };
  const Case cases[] = {
      {{0x01, 1, 1}, "FRONT.INPUT1 is OFF -> false"},
      {{0x81, 1, 1}, "NOT FRONT.INPUT1 (OFF) -> true"},
      {{0x02, 0, 7}, "CTRL.RELAY7 is OFF -> false"},
      {{0x03, 1, 6}, "ALARMS is 7, > 6 -> true"},
      {{0x85, 1, 7}, "ALARMS is 7, NOT = 7 -> false"},
      {{0x06, 0, 0}, "LIGHTS is 0, = 0 -> true"},
      {{0x06, 5, 0}, "timer 5 is 0, = 0 -> true"},
      {{0x07, 1, 0}, "TIMEPLAN(2) is OFF -> false"},
      {{0x08, 4, 0}, "the card's group is 3, = 5 -> false"},
      {{0x0A, 101, 4}, "OFFICE.ARMED is ON -> true"},
      {{0x0E, 0, 0x33}, "GLOBALTAMPER is OFF -> false"},
      {{0x0F, 2, 10}, "BACK.FORCEDDOOR is OFF -> false"},
      {{0x12, 1, 1}, "FLAGS(FACPRESENT) of PSU1 is OFF -> false"},
      {{0x14, 1, 12}, "the key code at FRONT is none, = 12 -> false"},
      {{0x18, 127, 0}, "USEREMPTY(128) is OFF -> false"},
      {{0x20, 72, 0}, "MODULELOST(72) is OFF -> false"},
      {{0x24, 0, 9}, "BYTE2 is 0, = 9 -> false"},
      {{0x6B, 0, 0}, "cannot test condition 107"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TermReading(site.program, state, c.term), c.reading) << c.term.code;
  }
}

TEST(LabelsTest, PointLabels) {
  testing::Site site("CTRL.INIT", "BREAK\n");
  EXPECT_EQ(PointLabel(site.program, {kBeeperFamily, 1, 3}), "FRONT.BEEP");
  EXPECT_EQ(PointLabel(site.program, {kAlarmSignalFamily, 102, 0}), "STORE alarm signal");
  EXPECT_EQ(PointLabel(site.program, {kModePinFamily, 2, 0}), "BACK PIN mode");
  EXPECT_EQ(PointLabel(site.program, {0x02, 100, 3}), "PANEL.EXOUTPUT3");
}

}  // namespace
}  // namespace vigil::sim
