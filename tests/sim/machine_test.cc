// Every instruction and every condition term on the controller model: one
// statement, one state, the branch taken or the state changed, and the words
// the trace uses. Expected values follow the model's rules, by hand.

#include "sim/machine.h"

#include <gtest/gtest.h>

#include <functional>

#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

using testing::Site;

// The step the statement's line produced first.
const TraceEntry* StepOf(const Machine& machine, std::string_view source) {
  for (const TraceEntry& entry : machine.trace()) {
    if (entry.kind == TraceEntry::Kind::kStep && entry.source == source) return &entry;
  }
  return nullptr;
}

struct ConditionCase {
  std::string_view event;
  std::string_view condition;
  std::function<void(State&)> setup;
  bool expected;
};

void Nothing(State&) {}

std::vector<ConditionCase> ConditionCases() {
  auto point = [](int family, int a, int b) {
    return [=](State& s) { s.SetPoint({family, a, b}, true); };
  };
  return {
      {"FRONT.VALID", "IF FRONT.INPUT1 = ON", point(0x01, 1, 1), true},
      {"FRONT.VALID", "IF FRONT.INPUT1 = ON", Nothing, false},
      {"FRONT.VALID", "IF FRONT.INPUT1 = OFF", Nothing, true},
      {"FRONT.VALID", "IF NOT FRONT.INPUT1 = ON", point(0x01, 1, 1), false},
      {"FRONT.VALID", "IF NOT INPUT2 = OFF", point(0x01, 1, 2), true},
      {"CTRL.INIT", "IF CTRL.RELAY2 = ON", point(0x02, 0, 2), true},
      {"FRONT.VALID", "IF AUXOUTPUT = ON", point(0x02, 1, 2), true},
      {"CTRL.INIT", "IF VISITS > 10", [](State& s) { s.registers[0] = 11; }, true},
      {"CTRL.INIT", "IF VISITS > 10", [](State& s) { s.registers[0] = 10; }, false},
      // ">=" compiles as "=": the controller tests equality.
      {"CTRL.INIT", "IF VISITS >= 3", [](State& s) { s.registers[0] = 4; }, false},
      {"CTRL.INIT", "IF VISITS >= 3", [](State& s) { s.registers[0] = 3; }, true},
      {"CTRL.INIT", "IF ALARMS = 0", Nothing, true},
      {"CTRL.INIT", "IF LIGHTS > 0", [](State& s) { s.timers[0] = 1; }, true},
      {"CTRL.INIT", "IF LIGHTS = 0", [](State& s) { s.timers[0] = 1; }, false},
      {"CTRL.INIT", "IF TIMEPLAN(2)", point(0x07, 1, 0), true},
      {"CTRL.INIT", "IF TIMEPLAN(2)", point(0x07, 2, 0), false},
      {"CTRL.INIT", "IF NOT TIMEPLAN(2)", Nothing, true},
      {"CTRL.INIT", "IF GROUP(5)", [](State& s) { s.card_group = 5; }, true},
      {"CTRL.INIT", "IF GROUP(5)", [](State& s) { s.card_group = 4; }, false},
      {"CTRL.INIT", "IF OFFICE.ARMED = ON", point(0x0A, 101, 4), true},
      {"CTRL.INIT", "IF OFFICE.ALARM = ON", point(0x0A, 101, 4), false},
      {"CTRL.INIT", "IF STORE.READY = OFF", point(0x0A, 101, 7), true},
      {"PANEL.EXINPUT1", "IF FLAGS(FACFAIL)", point(0x0B, 100, 7), true},
      {"PANEL.EXINPUT1", "IF ZONES(3)", point(0x0C, 100, 2), true},
      {"CTRL.INIT", "IF PASSED", point(0x0D, 0, 0), true},
      {"CTRL.INIT", "IF FRONT.TAMPER = ON", point(0x0E, 1, 8), true},
      {"CTRL.INIT", "IF FRONT.TAMPER = ON", point(0x0E, 2, 8), false},
      // A global contact is any module's contact.
      {"CTRL.INIT", "IF GLOBALTAMPER = ON", point(0x0E, 2, 8), true},
      {"CTRL.INIT", "IF GLOBALTAMPER = ON", Nothing, false},
      {"CTRL.INIT", "IF FRONT.FORCEDDOOR = ON", point(0x0F, 1, 10), true},
      {"CTRL.INIT", "IF GLOBALFORCEDDOOR = ON", point(0x0F, 1, 10), true},
      {"CTRL.INIT", "IF FRONT.DOORAJAR = ON", point(0x10, 1, 9), true},
      {"CTRL.INIT", "IF GLOBALDOORAJAR = OFF", point(0x10, 2, 9), false},
      {"CTRL.INIT", "IF BUFFER(10)", point(0x11, 10, 0), true},
      {"PSU1.STATUSCHANGED", "IF FLAGS(FACPRESENT)", point(0x12, 1, 1), true},
      {"CTRL.INIT", "IF AUTHORIZED", point(0x13, 0, 0), true},
      {"FRONT.VALID", "IF KEYCODE(12)", [](State& s) { s.key_codes[1] = 12; }, true},
      {"FRONT.VALID", "IF KEYCODE(12)", [](State& s) { s.key_codes[2] = 12; }, false},
      {"CTRL.INIT", "IF PRESENT", point(0x15, 0, 0), true},
      {"CTRL.INIT", "IF GROUPEMPTY(1)", point(0x16, 0, 0), true},
      // ALLCOUNTERSEMPTY empties every group and user counter.
      {"CTRL.INIT", "IF GROUPEMPTY(7)", point(0x17, 0, 0), true},
      {"CTRL.INIT", "IF ALLCOUNTERSEMPTY", point(0x17, 0, 0), true},
      {"CTRL.INIT", "IF USEREMPTY(128)", point(0x18, 127, 0), true},
      {"CTRL.INIT", "IF USER(10)", [](State& s) { s.card_user = 10; }, true},
      {"CTRL.INIT", "IF MODULELOST(72)", point(0x20, 72, 0), true},
      {"CTRL.INIT", "IF BYTE1 > 7", [](State& s) { s.byte1 = 8; }, true},
      {"CTRL.INIT", "IF BYTE1 = 7", [](State& s) { s.byte1 = 8; }, false},
      {"CTRL.INIT", "IF BYTE2 > 7", [](State& s) { s.byte2 = 7; }, false},
      {"CTRL.INIT", "IF BYTE2 = 7", [](State& s) { s.byte2 = 7; }, true},
      {"CTRL.INIT", "IF OFFLINE", point(0x25, 0, 0), true},
      {"CTRL.INIT", "IF NOT OFFLINE", Nothing, true},
  };
}

TEST(MachineTest, EveryConditionTermTakesTheBranchItsStateGives) {
  for (const ConditionCase& c : ConditionCases()) {
    SCOPED_TRACE(std::string(c.event) + ": " + std::string(c.condition));
    Site site(c.event,
              std::string(c.condition) + "\nCTRL.RELAY5 = ON\nELSE\nCTRL.RELAY6 = ON\nENDIF\n");
    ASSERT_EQ(site.compilation.error_count, 0);
    c.setup(site.machine.state());
    site.FireFirst();
    const TraceEntry* step = StepOf(site.machine, c.condition);
    ASSERT_NE(step, nullptr);
    ASSERT_TRUE(step->taken.has_value());
    EXPECT_EQ(*step->taken, c.expected);
    EXPECT_EQ(site.machine.state().Point({0x02, 0, 5}), c.expected);
    EXPECT_EQ(site.machine.state().Point({0x02, 0, 6}), !c.expected);
  }
}

TEST(MachineTest, IfShowsTheValueTestedAndWhereItGoes) {
  Site site("CTRL.INIT", "IF VISITS >= 3\nMARK(NIGHTOPEN)\nENDIF\nVISITS = 1\n");
  site.machine.state().registers[0] = 4;
  site.FireFirst();
  const TraceEntry* step = StepOf(site.machine, "IF VISITS >= 3");
  ASSERT_NE(step, nullptr);
  // The script's line 13 is EVENT; the IF is 14, the assignment 17.
  EXPECT_EQ(step->line, 14);
  EXPECT_EQ(step->effect, "VISITS is 4, = 3 -> false, skip to line 17");
  const TraceEntry* after = StepOf(site.machine, "VISITS = 1");
  ASSERT_NE(after, nullptr);
  EXPECT_EQ(after->line, 17);
}

TEST(MachineTest, ElseBranchSkipsToTheEndOfTheEvent) {
  Site site("CTRL.INIT", "IF PASSED\nVISITS = 1\nELSE\nVISITS = 2\nENDIF\n");
  site.machine.state().SetPoint({0x0D, 0, 0}, true);
  site.FireFirst();
  const TraceEntry* step = StepOf(site.machine, "ELSE");
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->effect, "end of the IF branch, skip to the end of the event");
  EXPECT_EQ(site.machine.state().registers[0], 1);
}

struct InstructionCase {
  std::string_view event;
  std::string_view statement;
  std::function<void(State&)> setup;
  std::string_view effect;  // of the statement's first instruction
  std::function<bool(const Machine&)> holds;
};

std::vector<InstructionCase> InstructionCases() {
  auto on = [](int family, int a, int b) {
    return [=](const Machine& m) { return m.state().Point({family, a, b}); };
  };
  auto off = [](int family, int a, int b) {
    return [=](const Machine& m) { return !m.state().Point({family, a, b}); };
  };
  auto set = [](int family, int a, int b) {
    return [=](State& s) { s.SetPoint({family, a, b}, true); };
  };
  auto happened = [](Happening h) {
    return [=](const Machine& m) {
      return std::find(m.happenings().begin(), m.happenings().end(), h) != m.happenings().end();
    };
  };
  return {
      {"FRONT.VALID", "RELAY1 = ON", Nothing, "FRONT.RELAY1 OFF -> ON", on(2, 1, 1)},
      {"CTRL.INIT", "CTRL.RELAY2 = OFF", set(2, 0, 2), "CTRL.RELAY2 ON -> OFF", off(2, 0, 2)},
      {"CTRL.INIT", "CTRL.RELAY2 = OFF", Nothing, "CTRL.RELAY2 stays OFF", off(2, 0, 2)},
      {"CTRL.INIT", "PANEL.EXOUTPUT3 = ON", Nothing, "PANEL.EXOUTPUT3 OFF -> ON", on(2, 100, 3)},
      {"CTRL.INIT", "INVERT(CTRL.RELAY3)", Nothing, "CTRL.RELAY3 OFF -> ON", on(2, 0, 3)},
      {"CTRL.INIT", "INVERT(CTRL.RELAY3)", set(2, 0, 3), "CTRL.RELAY3 ON -> OFF", off(2, 0, 3)},
      {"FRONT.VALID", "BEEP = ON", Nothing, "FRONT.BEEP OFF -> ON", on(kBeeperFamily, 1, 3)},
      {"CTRL.INIT", "FRONT.BEEP = OFF", set(kBeeperFamily, 1, 3), "FRONT.BEEP ON -> OFF",
       off(kBeeperFamily, 1, 3)},
      {"FRONT.VALID", "INVERT(BEEP)", Nothing, "FRONT.BEEP OFF -> ON", on(kBeeperFamily, 1, 3)},
      {"FRONT.VALID", "AUXOUTPUT = ON", Nothing, "FRONT.AUXOUTPUT OFF -> ON", on(2, 1, 2)},
      {"CTRL.INIT", "BACK.AUXOUTPUT = OFF", set(2, 2, 2), "BACK.AUXOUTPUT ON -> OFF", off(2, 2, 2)},
      {"FRONT.VALID", "INVERT(AUXOUTPUT)", Nothing, "FRONT.AUXOUTPUT OFF -> ON", on(2, 1, 2)},
      {"CTRL.INIT", "OFFICE.ARMED = ON", Nothing, "OFFICE.ARMED OFF -> ON", on(0x0A, 101, 4)},
      {"CTRL.INIT", "OFFICE.ARMED = OFF", set(0x0A, 101, 4), "OFFICE.ARMED ON -> OFF",
       off(0x0A, 101, 4)},
      {"CTRL.INIT", "OFFICE.SYSTEMKEY = CARMAWAY", Nothing,
       "sends key CARMAWAY to OFFICE; OFFICE.ARMED OFF -> ON", on(0x0A, 101, 4)},
      {"CTRL.INIT", "STORE.SYSTEMKEY = CDISARM", set(0x0A, 102, 4),
       "sends key CDISARM to STORE; STORE.ARMED ON -> OFF", off(0x0A, 102, 4)},
      {"CTRL.INIT", "STORE.SYSTEMKEY = 23", Nothing, "sends key CSOUNDER to STORE",
       off(0x0A, 102, 4)},
      {"CTRL.INIT", "OFFICE.ALARMSIGNAL = OFF", set(kAlarmSignalFamily, 101, 0),
       "OFFICE alarm signal ON -> OFF", off(kAlarmSignalFamily, 101, 0)},
      {"CTRL.INIT", "OFFICE.TROUBLESIGNAL = OFF", set(kTroubleSignalFamily, 101, 0),
       "OFFICE trouble signal ON -> OFF", off(kTroubleSignalFamily, 101, 0)},
      {"CTRL.INIT", "VISITS = 7", Nothing, "VISITS 0 -> 7",
       [](const Machine& m) { return m.state().registers[0] == 7; }},
      {"CTRL.INIT", "ALARMS = ALARMS + 1", [](State& s) { s.registers[1] = 255; },
       "ALARMS 255 -> 0 (wrapped past 255)",
       [](const Machine& m) { return m.state().registers[1] == 0; }},
      {"CTRL.INIT", "VISITS = VISITS - 2", [](State& s) { s.registers[0] = 1; },
       "VISITS 1 -> 255 (wrapped below 0)",
       [](const Machine& m) { return m.state().registers[0] == 255; }},
      {"CTRL.INIT", "VISITS = VISITS + 5", [](State& s) { s.registers[0] = 10; }, "VISITS 10 -> 15",
       [](const Machine& m) { return m.state().registers[0] == 15; }},
      {"CTRL.INIT", "VISITS = OPENTIME", Nothing, "VISITS 0 -> 8",
       [](const Machine& m) { return m.state().registers[0] == 8; }},
      {"CTRL.INIT", "LIGHTS = 120", Nothing, "LIGHTS 0 -> 120",
       [](const Machine& m) { return m.state().timers[0] == 120; }},
      {"CTRL.INIT", "LIGHTS = OPENTIME", Nothing, "LIGHTS 0 -> 8",
       [](const Machine& m) { return m.state().timers[0] == 8; }},
      {"CTRL.INIT", "MARK(NIGHTOPEN)", Nothing, "archive: \"Door opened at night\"",
       happened({Happening::Kind::kMark, 0, 0})},
      {"CTRL.INIT", "DIAL(2,NIGHTOPEN)", Nothing, "dial 2: \"Door opened at night\"",
       happened({Happening::Kind::kDial, 2, 0})},
      {"FRONT.VALID", "DOOR()", Nothing, "door of FRONT closed -> open (5 s left)",
       happened({Happening::Kind::kDoor, 1, 0})},
      // BACK's strike time 1 is raised to 2, as in the download file.
      {"FRONT.VALID", "DOOR(BACK)", Nothing, "door of BACK closed -> open (2 s left)",
       [](const Machine& m) { return m.state().open_doors.at(2) == 2; }},
      {"FRONT.VALID", "SIGNAL(7)", Nothing, "sends signal 7 to FRONT", nullptr},
      {"CTRL.INIT", "SIGNAL(PANEL,7)", Nothing, "sends signal 7 to PANEL", nullptr},
      {"CTRL.INIT", "READ_AD(3)", Nothing, "asks for analogue input 3", nullptr},
      {"CTRL.INIT", "SETMODEPIN(FRONT)", Nothing, "FRONT PIN mode OFF -> ON",
       on(kModePinFamily, 1, 0)},
      {"CTRL.INIT", "SETMODEPINFREE(FRONT)", set(kModePinFamily, 1, 0), "FRONT PIN mode ON -> OFF",
       off(kModePinFamily, 1, 0)},
      {"CTRL.INIT", "SETPRESENT", Nothing, "PRESENT OFF -> ON", on(0x15, 0, 0)},
      {"CTRL.INIT", "CLEARPRESENT", set(0x15, 0, 0), "PRESENT ON -> OFF", off(0x15, 0, 0)},
      {"CTRL.INIT", "CLEARGROUPCOUNTER(1)", Nothing, "GROUPEMPTY(1) OFF -> ON", on(0x16, 0, 0)},
      {"CTRL.INIT", "CLEARALLCOUNTERS", Nothing, "ALLCOUNTERSEMPTY OFF -> ON", on(0x17, 0, 0)},
      {"CTRL.INIT", "CLEARUSERCOUNTER(128)", Nothing, "USEREMPTY(128) OFF -> ON", on(0x18, 127, 0)},
      {"CTRL.INIT", "ERASECARD", Nothing, "erases the card presented from the card list", nullptr},
      {"CTRL.INIT", "SETBYTE1(255)", Nothing, "BYTE1 0 -> 255",
       [](const Machine& m) { return m.state().byte1 == 255; }},
      {"CTRL.INIT", "SETBYTE2(9)", Nothing, "BYTE2 0 -> 9",
       [](const Machine& m) { return m.state().byte2 == 9; }},
      {"FRONT.VALID", "DISPLAY(14)", Nothing, "display of FRONT shows 14", nullptr},
      {"FRONT.VALID", "DISPLAY(15)", Nothing, "display of FRONT shows 15", nullptr},
      {"CTRL.INIT", "DISPLAY(PANEL,3)", Nothing, "display of PANEL shows 3", nullptr},
      {"CTRL.INIT", "DELAY(5)", Nothing, "waits 5 s (until 5 s)",
       [](const Machine& m) { return m.Waiting() && m.time() == 0; }},
      {"CTRL.INIT", "DELAY(OPENTIME)", Nothing, "waits 8 s (until 8 s)",
       [](const Machine& m) { return m.Waiting(); }},
      {"CTRL.INIT", "DELAY(0)", Nothing, "waits 0 s",
       [](const Machine& m) { return !m.Waiting(); }},
      {"CTRL.INIT", "BREAK", Nothing, "the event ends here", nullptr},
      {"CTRL.INIT", "EXECUTE(9)", Nothing,
       "queues CTRL.USEREVENT9 (the script has no block for it)", nullptr},
  };
}

TEST(MachineTest, EveryInstructionChangesItsStateAndSaysSo) {
  for (const InstructionCase& c : InstructionCases()) {
    SCOPED_TRACE(std::string(c.event) + ": " + std::string(c.statement));
    Site site(c.event, std::string(c.statement) + "\n");
    ASSERT_EQ(site.compilation.error_count, 0);
    c.setup(site.machine.state());
    site.FireFirst();
    const TraceEntry* step = StepOf(site.machine, c.statement);
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->kind, TraceEntry::Kind::kStep);
    EXPECT_EQ(step->effect, c.effect);
    if (c.holds) {
      EXPECT_TRUE(c.holds(site.machine));
    }
  }
}

TEST(MachineTest, DoorWritesThreeInstructionsAndEachIsShown) {
  Site site("FRONT.VALID", "DOOR()\n");
  site.FireFirst();
  int steps = 0;
  for (const TraceEntry& entry : site.machine.trace()) {
    if (entry.kind == TraceEntry::Kind::kStep) ++steps;
  }
  EXPECT_EQ(steps, 3);
  EXPECT_EQ(site.machine.state().open_doors.at(1), 5);
  site.machine.Wait(4);
  EXPECT_EQ(site.machine.state().open_doors.at(1), 1);
  site.machine.Wait(1);
  EXPECT_EQ(site.machine.state().open_doors.count(1), 0u);
}

TEST(MachineTest, BreakEndsTheEvent) {
  Site site("CTRL.INIT", "BREAK\nVISITS = 1\n");
  site.FireFirst();
  EXPECT_EQ(site.machine.state().registers[0], 0);
  EXPECT_EQ(StepOf(site.machine, "VISITS = 1"), nullptr);
}

TEST(MachineTest, DelaySuspendsTheEventUntilItsTime) {
  Site site("FRONT.VALID", "BEEP = ON\nDELAY(3)\nBEEP = OFF\n");
  site.FireFirst();
  EXPECT_TRUE(site.machine.state().Point({kBeeperFamily, 1, 3}));
  site.machine.Wait(2);
  EXPECT_TRUE(site.machine.state().Point({kBeeperFamily, 1, 3}));
  site.machine.Wait(1);
  EXPECT_FALSE(site.machine.state().Point({kBeeperFamily, 1, 3}));
  EXPECT_EQ(site.machine.trace().back().time, 3);
  EXPECT_FALSE(site.machine.Waiting());
}

TEST(MachineTest, SettleRunsDelayedEventsToTheirEnd) {
  Site site("CTRL.INIT", "DELAY(OPENTIME)\nVISITS = 2\n");
  site.FireFirst();
  site.machine.Settle();
  EXPECT_EQ(site.machine.time(), 8);
  EXPECT_EQ(site.machine.state().registers[0], 2);
}

TEST(MachineTest, TimersCountDownOneASecondAndStopAtZero) {
  Site site("CTRL.INIT", "LIGHTS = 3\n");
  site.FireFirst();
  site.machine.Wait(2);
  EXPECT_EQ(site.machine.state().timers[0], 1);
  site.machine.Wait(5);
  EXPECT_EQ(site.machine.state().timers[0], 0);
}

TEST(MachineTest, UserEventsRunAfterTheCurrentEventInOrder) {
  Site site(
      "EVENT CTRL.INIT\nEXECUTE(2)\nEXECUTE(1)\nVISITS = 1\nEVENTEND\n"
      "EVENT CTRL.USEREVENT1\nVISITS = VISITS + 10\nEVENTEND\n"
      "EVENT CTRL.USEREVENT2\nVISITS = 5\nEVENTEND\n");
  site.FireFirst();
  // INIT sets 1, then USEREVENT2 sets 5, then USEREVENT1 adds 10.
  EXPECT_EQ(site.machine.state().registers[0], 15);
}

TEST(MachineTest, EveryBlockOfAnEventRunsInCodeOrder) {
  Site site(
      "EVENT CTRL.INIT\nVISITS = 4\nEVENTEND\n"
      "EVENT FRONT.VALID\nVISITS = 9\nEVENTEND\n"
      "EVENT CTRL.INIT\nVISITS = VISITS + 1\nEVENTEND\n");
  site.FireFirst();
  EXPECT_EQ(site.machine.state().registers[0], 5);
}

TEST(MachineTest, PeriodicEventsRunEverySecondAndEveryTenSeconds) {
  Site site(
      "EVENT CTRL.TIMER1SEC\nVISITS = VISITS + 1\nEVENTEND\n"
      "EVENT CTRL.TIMER10SEC\nALARMS = ALARMS + 1\nEVENTEND\n");
  site.machine.Wait(25);
  EXPECT_EQ(site.machine.state().registers[0], 25);
  EXPECT_EQ(site.machine.state().registers[1], 2);
}

TEST(MachineTest, TheTraceStopsGrowingAtItsBoundButTheStepsRun) {
  Site site("EVENT CTRL.TIMER1SEC\nVISITS = VISITS + 1\nEVENTEND\n");
  // Each second writes two entries: the event and its one step.
  int seconds = static_cast<int>(kMaxTraceEntries) / 2 + 10;
  site.machine.Wait(seconds);
  EXPECT_EQ(site.machine.trace().size(), kMaxTraceEntries + 1);
  EXPECT_EQ(site.machine.trace().back().kind, TraceEntry::Kind::kCut);
  EXPECT_EQ(site.machine.state().registers[0], seconds % 256);
}

TEST(MachineTest, AnEventWithoutABlockIsReported) {
  Site site("CTRL.INIT", "VISITS = 1\n");
  EXPECT_FALSE(site.machine.Fire(1, 1));
  ASSERT_EQ(site.machine.trace().size(), 1u);
  EXPECT_EQ(site.machine.trace()[0].instruction, "FRONT.VALID");
}

// A program written byte by byte: the compiler never writes these.
Program HandMade(std::vector<uint8_t> code, std::vector<Program::Block> blocks) {
  Program program;
  program.code = std::move(code);
  program.blocks = std::move(blocks);
  program.bytes.resize(program.code.size());
  return program;
}

TEST(MachineTest, AnEventLoopIsCutAtTheBound) {
  // USEREVENT1 (3C) executes itself.
  Program program = HandMade({0xFF, 0x00, 0x3C, 0x66, 0x3C, 0xFF, 0xFF, 0xFF}, {{0, 0x3C, 3}});
  Machine machine(program);
  machine.Fire(0, 0x3C);
  int starts = 0;
  int cuts = 0;
  for (const TraceEntry& entry : machine.trace()) {
    starts += entry.kind == TraceEntry::Kind::kEventStart;
    cuts += entry.kind == TraceEntry::Kind::kCut;
  }
  EXPECT_EQ(starts, kMaxRunsPerStep);
  EXPECT_EQ(cuts, 1);
}

TEST(MachineTest, BytesTheModelCannotRunStopTheEventVisibly) {
  for (const std::vector<uint8_t>& code : std::vector<std::vector<uint8_t>>{
           {0xFF, 0x00, 0x32, 0x99, 0x00, 0xFF, 0xFF, 0xFF},              // no such instruction
           {0xFF, 0x00, 0x32, 0x51, 0x6B, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF},  // IF without a term
           {0xFF, 0x00, 0x32, 0x61, 0x00},  // cut short by the end of the code
       }) {
    Program program = HandMade(code, {{0, 0x32, 3}});
    Machine machine(program);
    machine.Fire(0, 0x32);
    ASSERT_EQ(machine.trace().size(), 2u);
    EXPECT_EQ(machine.trace()[1].kind, TraceEntry::Kind::kCannotRun);
  }
}

}  // namespace
}  // namespace vigil::sim
