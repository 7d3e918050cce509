// The controller model: one statement, one state, the branch taken or the
// state changed, and the words the trace uses; then events over time. One
// row per code path of the model; expected values follow its rules, by hand.

#include "sim/machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/lang/opcodes.h"
#include "sim/sim_fixture.h"

namespace vigil::sim {
namespace {

// A week, the longest WAIT.
constexpr int kMaxWaitSecondsForTest = 7 * 24 * 60 * 60;

using testing::Site;
using Setup = std::function<void(State&)>;

// The step the statement's line produced first.
const TraceEntry* StepOf(const Machine& machine, std::string_view source) {
  for (const TraceEntry& entry : machine.trace()) {
    if (entry.kind == TraceEntry::Kind::kStep && entry.source == source) return &entry;
  }
  return nullptr;
}

void Nothing(State&) {}
Setup On(int family, int a, int b) {
  return [=](State& s) { s.SetPoint({family, a, b}, true); };
}
Setup Register(size_t id, int value) {
  return [=](State& s) { s.registers[id] = value; };
}

TEST(MachineTest, ElseEndsTheBranchThatRan) {
  Site site("CTRL.INIT", "IF VISITS = 0\nELSE\nBREAK\nENDIF\n");
  site.FireFirst();
  const TraceEntry* step = StepOf(site.machine, "ELSE");
  ASSERT_NE(step, nullptr);
  EXPECT_EQ(step->effect, "end of the IF branch, skip to the end of the event");
}

struct InstructionCase {
  std::string_view event;
  std::string_view statement;  // lines; an IF is closed after the last
  Setup setup;
  std::string_view effect;  // of the first line's first instruction
};

// An IF reads its term as the state gives it; with ENDIF right after it, a
// false term skips to the end of the event. The script's line 13 is EVENT.
TEST(MachineTest, EveryKindOfInstructionSaysWhatItDid) {
  const InstructionCase cases[] = {
      // Conditions: an element of a module, a value compared, a number of a
      // kind, and terms that read more than one state.
      {"FRONT.VALID", "IF FRONT.INPUT1 = ON", Nothing,
       "FRONT.INPUT1 is OFF -> false, skip to the end of the event"},
      {"FRONT.VALID", "IF FRONT.INPUT1 = OFF", Nothing, "NOT FRONT.INPUT1 (OFF) -> true"},
      {"FRONT.VALID", "IF NOT INPUT2 = OFF", On(0x01, 1, 2), "FRONT.INPUT2 is ON -> true"},
      {"FRONT.VALID", "IF AUXOUTPUT = ON", On(0x02, 1, 2), "FRONT.AUXOUTPUT is ON -> true"},
      {"CTRL.INIT", "IF VISITS > 10", Register(0, 10),
       "VISITS is 10, > 10 -> false, skip to the end of the event"},
      {"CTRL.INIT", "IF NOT ALARMS = 7", Register(1, 8), "ALARMS is 8, NOT = 7 -> true"},
      {"CTRL.INIT", "IF LIGHTS > 0", [](State& s) { s.timers[0] = 1; }, "LIGHTS is 1, > 0 -> true"},
      {"CTRL.INIT", "IF BYTE1 > 7", [](State& s) { s.byte1 = 8; }, "BYTE1 is 8, > 7 -> true"},
      {"CTRL.INIT", "IF BYTE2 = 7", [](State& s) { s.byte2 = 7; }, "BYTE2 is 7, = 7 -> true"},
      {"CTRL.INIT", "IF GROUP(5)", [](State& s) { s.card_group = 3; },
       "the card's group is 3, = 5 -> false, skip to the end of the event"},
      {"FRONT.VALID", "IF KEYCODE(12)", [](State& s) { s.key_codes[2] = 12; },
       "the key code at FRONT is none, = 12 -> false, skip to the end of the event"},
      {"CTRL.INIT", "IF TIMEPLAN(2)", On(0x07, 1, 0), "TIMEPLAN(2) is ON -> true"},
      {"CTRL.INIT", "IF MODULELOST(72)", On(0x20, 72, 0), "MODULELOST(72) is ON -> true"},
      {"PSU1.STATUSCHANGED", "IF FLAGS(FACPRESENT)", On(0x12, 1, 1),
       "FLAGS(FACPRESENT) of PSU1 is ON -> true"},
      {"CTRL.INIT", "IF STORE.READY = OFF", On(0x0A, 101, 7), "NOT STORE.READY (OFF) -> true"},
      {"CTRL.INIT", "IF FRONT.TAMPER = ON", On(0x0E, 2, 8),
       "FRONT.TAMPER is OFF -> false, skip to the end of the event"},
      // A global contact is any module's contact.
      {"CTRL.INIT", "IF GLOBALTAMPER = ON", On(0x0E, 2, 8), "GLOBALTAMPER is ON -> true"},
      // ALLCOUNTERSEMPTY empties every group and user counter.
      {"CTRL.INIT", "IF GROUPEMPTY(7)", On(0x17, 0, 0), "GROUPEMPTY(7) is ON -> true"},
      {"CTRL.INIT", "IF VISITS >= 3\nELSE\nBREAK", Register(0, 4),
       "VISITS is 4, = 3 -> false, skip to line 16"},
      // Switches: on, off and invert of a module's element, a partition's
      // state, a module's or the controller's own state.
      {"FRONT.VALID", "RELAY1 = ON", Nothing, "FRONT.RELAY1 OFF -> ON"},
      {"CTRL.INIT", "INVERT(CTRL.RELAY3)", On(2, 0, 3), "CTRL.RELAY3 ON -> OFF"},
      {"FRONT.VALID", "INVERT(BEEP)", Nothing, "FRONT.BEEP OFF -> ON"},
      {"FRONT.VALID", "AUXOUTPUT = ON", Nothing, "FRONT.AUXOUTPUT OFF -> ON"},
      {"CTRL.INIT", "OFFICE.ALARMSIGNAL = OFF", On(kAlarmSignalFamily, 101, 0),
       "OFFICE alarm signal ON -> OFF"},
      {"CTRL.INIT", "SETMODEPIN(FRONT)", Nothing, "FRONT PIN mode OFF -> ON"},
      {"CTRL.INIT", "SETPRESENT", Nothing, "PRESENT OFF -> ON"},
      {"CTRL.INIT", "CLEARUSERCOUNTER(128)", Nothing, "USEREMPTY(128) OFF -> ON"},
      {"CTRL.INIT", "STORE.SYSTEMKEY = CDISARM", On(0x0A, 102, 4),
       "sends key CDISARM to STORE; STORE.ARMED ON -> OFF"},
      {"CTRL.INIT", "STORE.SYSTEMKEY = 23", Nothing, "sends key CSOUNDER to STORE"},
      // Values.
      {"CTRL.INIT", "VISITS = 7", Nothing, "VISITS 0 -> 7"},
      {"CTRL.INIT", "ALARMS = ALARMS + 1", Register(1, 255), "ALARMS 255 -> 0 (wrapped past 255)"},
      {"CTRL.INIT", "VISITS = VISITS - 2", Register(0, 1), "VISITS 1 -> 255 (wrapped below 0)"},
      {"CTRL.INIT", "VISITS = OPENTIME", Nothing, "VISITS 0 -> 8"},
      {"CTRL.INIT", "LIGHTS = OPENTIME", Nothing, "LIGHTS 0 -> 8"},
      {"CTRL.INIT", "SETBYTE1(255)", Nothing, "BYTE1 0 -> 255"},
      // Messages to the site (MARK's in the end-to-end test of vigil sim).
      {"CTRL.INIT", "DIAL(2,NIGHTOPEN)", Nothing, "dial 2: \"Door opened at night\""},
      {"FRONT.VALID", "SIGNAL(7)", Nothing, "sends signal 7 to FRONT"},
      {"CTRL.INIT", "READ_AD(3)", Nothing, "asks for analogue input 3"},
      {"CTRL.INIT", "ERASECARD", Nothing, "erases the card presented from the card list"},
      {"CTRL.INIT", "DISPLAY(PANEL,3)", Nothing, "display of PANEL shows 3"},
      // The flow of the event.
      {"FRONT.VALID", "DOOR()", Nothing, "door of FRONT closed -> open (5 s left)"},
      {"CTRL.INIT", "DELAY(OPENTIME)", Nothing, "waits 8 s (until 8 s)"},
      {"CTRL.INIT", "DELAY(0)", Nothing, "waits 0 s"},
      {"CTRL.INIT", "BREAK", Nothing, "the event ends here"},
      {"CTRL.INIT", "EXECUTE(9)", Nothing,
       "queues CTRL.USEREVENT9 (the script has no block for it)"},
  };
  for (const InstructionCase& c : cases) {
    SCOPED_TRACE(std::string(c.event) + ": " + std::string(c.statement));
    std::string body = std::string(c.statement) + "\n";
    if (c.statement.starts_with("IF ")) body += "ENDIF\n";
    Site site(c.event, body);
    ASSERT_EQ(site.compilation.error_count, 0);
    c.setup(site.machine.state());
    site.FireFirst();
    const TraceEntry* step = StepOf(site.machine, c.statement.substr(0, c.statement.find('\n')));
    ASSERT_NE(step, nullptr);
    EXPECT_EQ(step->effect, c.effect);
  }
}

struct TimeCase {
  std::string_view blocks;
  int seconds;  // after the first block's event; -1: until no event waits
  int visits;
};

TEST(MachineTest, EventsOverTime) {
  const TimeCase cases[] = {
      {"EVENT CTRL.INIT\nBREAK\nVISITS = 1\nEVENTEND\n", 0, 0},
      // INIT sets 1, then USEREVENT2 sets 5, then USEREVENT1 adds 10.
      {"EVENT CTRL.INIT\nEXECUTE(2)\nEXECUTE(1)\nVISITS = 1\nEVENTEND\n"
       "EVENT CTRL.USEREVENT1\nVISITS = VISITS + 10\nEVENTEND\n"
       "EVENT CTRL.USEREVENT2\nVISITS = 5\nEVENTEND\n",
       0, 15},
      // Every block of the event, in code order.
      {"EVENT CTRL.INIT\nVISITS = 4\nEVENTEND\nEVENT FRONT.VALID\nVISITS = 9\nEVENTEND\n"
       "EVENT CTRL.INIT\nVISITS = VISITS + 1\nEVENTEND\n",
       0, 5},
      {"EVENT CTRL.INIT\nVISITS = 1\nDELAY(3)\nVISITS = 2\nEVENTEND\n", 2, 1},
      {"EVENT CTRL.INIT\nVISITS = 1\nDELAY(3)\nVISITS = 2\nEVENTEND\n", 3, 2},
      {"EVENT CTRL.INIT\nDELAY(OPENTIME)\nVISITS = 2\nEVENTEND\n", -1, 2},
      // 25 seconds: 25 times +1 and twice +100.
      {"EVENT CTRL.TIMER1SEC\nVISITS = VISITS + 1\nEVENTEND\n"
       "EVENT CTRL.TIMER10SEC\nVISITS = VISITS + 100\nEVENTEND\n",
       25, 225},
      // LIGHTS counts 2, 1, 0, 0, 0: it stops at zero.
      {"EVENT CTRL.INIT\nLIGHTS = 3\nEVENTEND\n"
       "EVENT CTRL.TIMER1SEC\nIF LIGHTS = 0\nVISITS = VISITS + 1\nENDIF\nEVENTEND\n",
       5, 3},
  };
  for (const TimeCase& c : cases) {
    SCOPED_TRACE(c.blocks);
    Site site(c.blocks);
    ASSERT_EQ(site.compilation.error_count, 0);
    if (c.blocks.starts_with("EVENT CTRL.INIT")) site.FireFirst();
    if (c.seconds < 0) {
      site.machine.Settle();
    } else {
      site.machine.Wait(c.seconds);
    }
    EXPECT_EQ(site.machine.state().registers[0], c.visits);
  }
}

TEST(MachineTest, AnOpenDoorClosesWhenItsStrikeTimeHasPassed) {
  Site site("FRONT.VALID", "DOOR()\n");
  site.FireFirst();
  site.machine.Wait(4);
  EXPECT_EQ(site.machine.state().open_doors.at(1), 1);
  site.machine.Wait(1);
  EXPECT_EQ(site.machine.state().open_doors.count(1), 0u);
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
  // The EXECUTE that meets the bound says it dropped the event.
  EXPECT_EQ(machine.trace().back().effect,
            "dropped: module 0.USEREVENT1 (the step's 1000 event runs are used up)");
  EXPECT_TRUE(machine.cuts().runs);
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

// Settle waits for the fired event and what it queued, not for the
// periodic events that start meanwhile.
TEST(MachineTest, SettleWaitsForWhatTheEventQueued) {
  Site site(
      "EVENT FRONT.VALID\nDELAY(2)\nEXECUTE(1)\nEVENTEND\n"
      "EVENT CTRL.USEREVENT1\nRELAY1 = ON\nDELAY(3)\nRELAY1 = OFF\nEVENTEND\n"
      "EVENT CTRL.TIMER1SEC\nDELAY(100)\nEVENTEND\n");
  site.FireFirst();
  site.machine.Settle();
  EXPECT_EQ(site.machine.time(), 5);
  EXPECT_FALSE(site.machine.cuts().any());
  EXPECT_EQ(site.machine.state().Point({static_cast<int>(Cond::kOutput), 0, 1}), false);
  const std::vector<TraceEntry>& trace = site.machine.trace();
  EXPECT_TRUE(std::any_of(trace.begin(), trace.end(), [](const TraceEntry& entry) {
    return entry.kind == TraceEntry::Kind::kResume && entry.time == 5 &&
           entry.instruction == "CTRL.USEREVENT1";
  }));
}

// With no periodic block and nothing due, seconds pass at once; what is due
// still happens at its second.
TEST(MachineTest, IdleSecondsPassTogether) {
  Site site("EVENT CTRL.INIT\nLIGHTS = 30\nDOOR(FRONT)\nDELAY(200)\nVISITS = 7\nEVENTEND\n");
  site.FireFirst();
  site.machine.Wait(150);
  EXPECT_EQ(site.machine.state().timers[0], 0);
  EXPECT_EQ(site.machine.state().open_doors.count(1), 0u);
  EXPECT_EQ(site.machine.state().registers[0], 0);
  site.machine.Wait(50);
  EXPECT_EQ(site.machine.state().registers[0], 7);
  EXPECT_EQ(site.machine.trace().back().time, 200);
  site.machine.Wait(kMaxWaitSecondsForTest);
  EXPECT_EQ(site.machine.time(), 200 + kMaxWaitSecondsForTest);
}

TEST(MachineTest, AnEndlessChainIsCutInTime) {
  // USEREVENT1 (3C) waits a second (30 01), then executes itself (66 3C).
  Program program =
      HandMade({0xFF, 0x00, 0x3C, 0x30, 0x01, 0x66, 0x3C, 0xFF, 0xFF, 0xFF}, {{0, 0x3C, 3}});
  Machine machine(program);
  machine.Fire(0, 0x3C);
  machine.Settle(100);
  EXPECT_EQ(machine.time(), 100);
  EXPECT_EQ(machine.cuts().Text(), "simulated time");
  EXPECT_EQ(machine.trace().back().effect, "cut: events still wait after 100 s");
}

}  // namespace
}  // namespace vigil::sim
