// Every path through an event's compiled code: the controller model's
// instructions run on a symbolic state (analysis/symbolic_state.h), each IF
// split into the inputs where its term holds and those where it does not.
// A path is a row of the event's decision table: the conditions on the state
// at the event's start that lead there, and the instructions it runs. Code
// that no path runs is dead.
//
//   sim::Program program = sim::MakeProgram(compilation);
//   for (const sim::EventInfo& event : sim::Events(program))
//     EventPaths table = ExploreEvent(program, event);
#ifndef VIGIL_ANALYSIS_EXPLORE_H_
#define VIGIL_ANALYSIS_EXPLORE_H_

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "analysis/symbolic_state.h"
#include "sim/event_run.h"
#include "sim/program.h"

namespace vigil::analysis {

// Paths one event may have before the table is cut short.
inline constexpr size_t kMaxPathsPerEvent = 4096;

// One test on a path that the input decided.
struct Condition {
  int line = 0;
  int offset = 0;       // the IF's offset in the code
  std::string written;  // as the script writes it: "NOT FRONT.FORCEDDOOR = ON"
  std::string tests;    // what the controller tests: "NOT FRONT.FORCEDDOOR = ON" decoded
  // The test in the script's words where it differs from `written`
  // ("VISITS = 3" for "VISITS >= 3"); empty where they agree.
  std::string differs;
  bool holds = true;      // whether `written` holds on this path
  bool is_point = true;   // an ON/OFF point, or a number
  sim::PointKey point;    // the input point it read
  bool inverted = false;  // the term is turned round (NOT, = OFF): it holds when the point is OFF
  sim::ValueSlot slot;    // the number it read
};

// One instruction the path runs (IF and ELSE aside).
struct Effect {
  int line = 0;
  int offset = 0;
  std::vector<uint8_t> bytes;  // the instruction
  std::string instruction;     // decoded
};

struct Path {
  std::vector<Condition> conditions;
  std::vector<Effect> effects;
  std::vector<int> queued;  // user events EXECUTE queues, in order
  int seconds = 0;          // how long the event's runs wait on DELAY in all
  bool stopped = false;     // the model could not run an instruction
  SymbolicState state;      // at the end
};

struct DeadLine {
  int line = 0;
  std::string text;
};

struct EventPaths {
  sim::EventInfo event;
  std::vector<Path> paths;
  std::vector<DeadLine> dead;  // lines no input runs
  std::set<int> run_offsets;   // instructions some path runs
  bool cut = false;            // more than kMaxPathsPerEvent paths: the table is partial
};

EventPaths ExploreEvent(const sim::Program& program, const sim::EventInfo& event);

// Every event with blocks, in the order of its first block.
std::vector<EventPaths> ExploreAll(const sim::Program& program);

// The condition as it reads on its path: "TIMEPLAN(2)", "not TIMEPLAN(2)";
// a written NOT is dropped rather than doubled; where the controller tests
// something else, that follows: "VISITS >= 3 [tests VISITS = 3]".
std::string ConditionText(const Condition& condition);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_EXPLORE_H_
