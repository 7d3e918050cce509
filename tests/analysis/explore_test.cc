// Decision tables derived by hand from the scripts: which IFs each path
// passes, what the controller then runs, and which lines nothing reaches.
#include "analysis/explore.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"

namespace vigil::testing {
namespace {

struct ExampleCase {
  std::string_view file;
  std::string_view event;
  std::string_view table;
};

// Office: the front door by time plan 1; the back door for group 2 unless
// the front door is forced (an IF NOT inside an IF: three ways).
// Warehouse: the keypad's nested IF/ELSE on ARMED and READY (written "= OFF",
// tested as NOT READY); two power-supply flags in a row give four paths.
// Car park: CARS = 199 is tested after CARS - 1, so it means 200 cars on
// entry; the periodic event's three IFs, one nested, give six paths.
const ExampleCase kExamples[] = {
    {"office.txt", "FRONT.VALID",
     "FRONT.VALID                               2 paths\n"
     "  TIMEPLAN(1)       -> DOOR()\n"
     "  not TIMEPLAN(1)   -> MARK(OUTOFHOURS) \"Card outside office hours\"; BEEP = ON; "
     "DELAY(WARNTIME) [3]; BEEP = OFF\n"},
    {"office.txt", "BACK.VALID",
     "BACK.VALID                                3 paths\n"
     "  GROUP(2) and FRONT.FORCEDDOOR = ON       -> nothing\n"
     "  GROUP(2) and not FRONT.FORCEDDOOR = ON   -> DOOR()\n"
     "  not GROUP(2)                             -> nothing\n"},
    {"office.txt", "PANEL.INPUT2ON",
     "PANEL.INPUT2ON                            1 path\n"
     "  always   -> INVERT(PANEL.RELAY3)\n"},
    {"alarm_site.txt", "KEYPAD.VALID",
     "KEYPAD.VALID                              3 paths\n"
     "  OFFICES.ARMED = ON                            -> OFFICES.SYSTEMKEY = CDISARM; "
     "STORE.ARMED = OFF; DOOR()\n"
     "  OFFICES.ARMED = OFF and OFFICES.READY = ON    -> OFFICES.SYSTEMKEY = CARMAWAY; "
     "STORE.ARMED = ON\n"
     "  OFFICES.ARMED = OFF and OFFICES.READY = OFF   -> BEEP = ON; DELAY(3); BEEP = OFF\n"},
    {"alarm_site.txt", "PSU1.STATUSCHANGED",
     "PSU1.STATUSCHANGED                        4 paths\n"
     "  FLAGS(FACPRESENT) and FLAGS(FLOWBATTERY)           -> MARK(LOWBATTERY) \"Battery low\"; "
     "PANEL.RELAY4 = ON\n"
     "  FLAGS(FACPRESENT) and not FLAGS(FLOWBATTERY)       -> nothing\n"
     "  not FLAGS(FACPRESENT) and FLAGS(FLOWBATTERY)       -> MARK(MAINSFAIL) \"Mains failure\"; "
     "MARK(LOWBATTERY) \"Battery low\"; PANEL.RELAY4 = ON\n"
     "  not FLAGS(FACPRESENT) and not FLAGS(FLOWBATTERY)   -> MARK(MAINSFAIL) \"Mains failure\"\n"},
    {"counters.txt", "EXIT.VALID",
     "EXIT.VALID                                3 paths\n"
     "  CARS = 0                          -> DOOR()\n"
     "  not CARS = 0 and CARS = 199       -> DOOR(); CARS = CARS - 1; SETBYTE1(0); PANEL.OC2 = "
     "OFF\n"
     "  not CARS = 0 and not CARS = 199   -> DOOR(); CARS = CARS - 1\n"},
    {"counters.txt", "PANEL.TIMER10SEC",
     "PANEL.TIMER10SEC                          6 paths\n"
     "  LAMP = 0 and GRACE > 0                             -> PANEL.RELAY3 = OFF\n"
     "  LAMP = 0 and not GRACE > 0 and BYTE1 = 0           -> PANEL.RELAY3 = OFF; SETBYTE1(1); "
     "EXECUTE(12)\n"
     "  LAMP = 0 and not GRACE > 0 and not BYTE1 = 0       -> PANEL.RELAY3 = OFF\n"
     "  not LAMP = 0 and GRACE > 0                         -> nothing\n"
     "  not LAMP = 0 and not GRACE > 0 and BYTE1 = 0       -> SETBYTE1(1); EXECUTE(12)\n"
     "  not LAMP = 0 and not GRACE > 0 and not BYTE1 = 0   -> nothing\n"},
};

TEST(ExploreTest, ExampleTablesAsDerivedByHand) {
  for (const ExampleCase& c : kExamples) {
    EXPECT_EQ(TablesOf(ExampleScript(c.file), {std::string(c.event)}), c.table)
        << c.file << " " << c.event;
  }
}

TEST(ExploreTest, EveryEventOfTheExamplesHasATable) {
  for (std::string_view file : {"office.txt", "alarm_site.txt", "counters.txt"}) {
    Compilation compilation = Compile(ExampleScript(file));
    sim::Program program = sim::MakeProgram(compilation);
    for (const analysis::EventPaths& table : analysis::ExploreAll(program)) {
      EXPECT_FALSE(table.paths.empty()) << file << " " << table.event.name;
      EXPECT_TRUE(table.dead.empty()) << file << " " << table.event.name;
      EXPECT_FALSE(table.cut);
    }
  }
}

constexpr std::string_view kHeader =
    "MODULE PANEL = PANEL,0\n"
    "DEFINE REGISTER R1\n"
    "DEFINE TIMER T1\n"
    "DEFINE MARK M1 = One\n"
    "DEFINE MARK M2 = Two\n"
    "EVENT PANEL.INIT\n";

struct SmallCase {
  std::string_view what;
  std::string_view body;  // statements of PANEL.INIT
  std::string_view table;
};

// Line numbers: the header takes lines 1-6, the body starts on line 7.
const SmallCase kSmall[] = {
    {"a number tested after it changed constrains its value before: 255 + 1 wraps to 0",
     "R1 = R1 + 1\nIF R1 = 0\nMARK(M1)\nENDIF\n",
     "PANEL.INIT                                2 paths\n"
     "  R1 = 0       -> R1 = R1 + 1; MARK(M1) \"One\"\n"
     "  not R1 = 0   -> R1 = R1 + 1\n"},
    {"a test that contradicts the one around it is dead code",
     "IF R1 > 5\nIF R1 = 3\nMARK(M2)\nENDIF\nENDIF\n",
     "PANEL.INIT                                2 paths\n"
     "  R1 > 5       -> nothing\n"
     "  not R1 > 5   -> nothing\n"
     "  dead code: line 9: MARK(M2)\n"},
    {"a point the event turned round is tested as the turned input",
     "INVERT(PANEL.RELAY1)\nIF PANEL.RELAY1 = ON\nMARK(M1)\nENDIF\n",
     "PANEL.INIT                                2 paths\n"
     "  PANEL.RELAY1 = ON    -> INVERT(PANEL.RELAY1); MARK(M1) \"One\"\n"
     "  PANEL.RELAY1 = OFF   -> INVERT(PANEL.RELAY1)\n"},
    {"a point the event set is known: no condition, the other branch dead",
     "PANEL.RELAY1 = ON\nIF PANEL.RELAY1 = OFF\nMARK(M1)\nENDIF\n",
     "PANEL.INIT                                1 path\n"
     "  always   -> PANEL.RELAY1 = ON\n"
     "  dead code: line 9: MARK(M1)\n"},
    {"the controller also reads ALLCOUNTERSEMPTY for GROUPEMPTY",
     "IF GROUPEMPTY(2)\nMARK(M1)\nENDIF\n",
     "PANEL.INIT                                3 paths\n"
     "  ALLCOUNTERSEMPTY                             -> MARK(M1) \"One\"\n"
     "  not ALLCOUNTERSEMPTY and GROUPEMPTY(2)       -> MARK(M1) \"One\"\n"
     "  not ALLCOUNTERSEMPTY and not GROUPEMPTY(2)   -> nothing\n"},
    {"timers count down while the event waits: 5 - 3 is not > 2",
     "T1 = 5\nDELAY(3)\nIF T1 > 2\nMARK(M1)\nELSE\nMARK(M2)\nENDIF\n",
     "PANEL.INIT                                1 path\n"
     "  always   -> T1 = 5; DELAY(3); MARK(M2) \"Two\"\n"
     "  dead code: line 10: MARK(M1)\n"},
    {"the same test twice is decided the second time",
     "IF TIMEPLAN(1)\nMARK(M1)\nENDIF\nIF NOT TIMEPLAN(1)\nMARK(M2)\nENDIF\n",
     "PANEL.INIT                                2 paths\n"
     "  TIMEPLAN(1)       -> MARK(M1) \"One\"\n"
     "  not TIMEPLAN(1)   -> MARK(M2) \"Two\"\n"},
    {"what the controller tests follows where the script reads otherwise",
     "IF R1 >= 3\nMARK(M1)\nENDIF\n",
     "PANEL.INIT                                2 paths\n"
     "  R1 >= 3 [tests R1 = 3]       -> MARK(M1) \"One\"\n"
     "  not R1 >= 3 [tests R1 = 3]   -> nothing\n"},
    {"BREAK ends the run", "IF TIMEPLAN(1)\nBREAK\nENDIF\nMARK(M1)\n",
     "PANEL.INIT                                2 paths\n"
     "  TIMEPLAN(1)       -> BREAK\n"
     "  not TIMEPLAN(1)   -> MARK(M1) \"One\"\n"},
};

TEST(ExploreTest, SmallScripts) {
  for (const SmallCase& c : kSmall) {
    std::string script = Crlf(std::string(kHeader) + std::string(c.body) + "EVENTEND\n");
    EXPECT_EQ(TablesOf(script), c.table) << c.what;
  }
}

TEST(ExploreTest, ConditionTextTurnsTheWrittenTestRound) {
  struct Case {
    std::string_view written;
    bool holds;
    std::string_view text;
  } cases[] = {
      {"TIMEPLAN(1)", true, "TIMEPLAN(1)"},
      {"TIMEPLAN(1)", false, "not TIMEPLAN(1)"},
      {"NOT GRACE > 0", true, "not GRACE > 0"},
      {"NOT GRACE > 0", false, "GRACE > 0"},
      {"OFFICES.READY = OFF", false, "OFFICES.READY = ON"},
      {"FRONT.INPUT1 = ON", false, "FRONT.INPUT1 = OFF"},
  };
  for (const Case& c : cases) {
    analysis::Condition condition;
    condition.written = c.written;
    condition.holds = c.holds;
    EXPECT_EQ(analysis::ConditionText(condition), c.text) << c.written;
  }
}

}  // namespace
}  // namespace vigil::testing
