// The controller running a compiled script: events start their blocks,
// instructions change the state, DELAY suspends an event while time passes,
// EXECUTE queues a user event. Every step goes into the trace.
//
//   Program program = MakeProgram(Compile(script));
//   Machine machine(program);
//   machine.Fire(module, event);  // runs until every event is done or waiting
//   machine.Wait(10);             // ten seconds pass
//   FormatTraceText(machine.trace());
#ifndef VIGIL_SIM_MACHINE_H_
#define VIGIL_SIM_MACHINE_H_

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sim/coverage.h"
#include "sim/program.h"
#include "sim/state.h"
#include "sim/trace.h"

namespace vigil::sim {

// Event runs one step may start (the fired event, the user events it queues,
// the periodic events of one second); the rest are dropped and reported.
inline constexpr int kMaxRunsPerStep = 1000;
// Seconds Settle lets pass at most before it gives up on waiting events.
inline constexpr int kMaxSettleSeconds = 24 * 60 * 60;
// Entries the trace keeps until it is cleared; the steps after them still run.
inline constexpr size_t kMaxTraceEntries = 100000;

// The bounds a run met: each one cut something short.
struct Cuts {
  bool trace = false;  // the trace stopped at kMaxTraceEntries
  bool runs = false;   // event runs were dropped at kMaxRunsPerStep
  bool time = false;   // Settle gave up with events still waiting
  bool any() const { return trace || runs || time; }
  // "trace entries, event runs": what was cut, for result lines.
  std::string Text() const;
};

class Machine {
 public:
  explicit Machine(const Program& program);

  State& state() { return state_; }
  const State& state() const { return state_; }
  int time() const { return time_; }

  // Starts every block of the event in code order, then runs until every
  // event has ended or waits on a DELAY. False when the script has no block
  // for the event (a note goes into the trace).
  // `label` ("HALL.DISARMED") heads the blocks it starts: events that share a
  // code (DISARMED and STATUSCHANGED) show the one fired.
  bool Fire(int module, int event, std::string_view label = {});
  // Lets `seconds` pass one by one: timers count down, doors close, waiting
  // events resume, and the controller's TIMER1SEC and TIMER10SEC events run.
  void Wait(int seconds);
  // Lets time pass until every event fired since the last Fire, and every
  // event they queued, has ended (at most `max_seconds`). Periodic events
  // started meanwhile are not waited for.
  void Settle(int max_seconds = kMaxSettleSeconds);
  bool Waiting() const { return !sleeping_.empty(); }
  // The bounds met since the machine was made.
  const Cuts& cuts() const { return cuts_; }

  // Counts every instruction run and every IF's way into `coverage` (not
  // owned; nullptr stops counting).
  void set_coverage(Coverage* coverage) { coverage_ = coverage; }

  const std::vector<TraceEntry>& trace() const { return trace_; }
  void ClearTrace() { trace_.clear(); }
  // The marks, calls and doors since the last ClearHappenings.
  const std::vector<Happening>& happenings() const { return happenings_; }
  void ClearHappenings() { happenings_.clear(); }

 private:
  struct Run {
    int module = 0;
    int event = 0;
    int pc = 0;
    int wake = 0;  // when a suspended run resumes
    long serial = 0;
    bool fired = false;  // started by Fire, or queued by such a run
  };
  // What an instruction leaves the run to do next.
  enum class Next { kContinue, kEnd, kSuspend };

  void Start(int module, int event);
  void RunReady();
  void Execute(Run& run);
  Next Step(Run& run, TraceEntry& entry);
  Next StepIf(Run& run, TraceEntry& entry);
  Next StepSwitch(int opcode, int a, int b, TraceEntry& entry);
  Next StepRecord(int opcode, int a, int b, TraceEntry& entry);
  Next StepValue(int opcode, int a, int b, TraceEntry& entry);
  Next StepOther(int opcode, int a, int b, int c, Run& run, TraceEntry& entry);
  Next Suspend(Run& run, int seconds, TraceEntry& entry);
  void Record(TraceEntry entry);
  void Tick();
  // Lets `seconds` pass at once when no event is due in them and no
  // periodic event has a block: timers and doors count down together.
  int SkipIdle(int seconds);
  void Point(TraceEntry& entry, PointKey key, bool on);
  void Value(TraceEntry& entry, std::string what, int& value, int after);
  std::string LineAt(int offset) const;
  TraceEntry Entry(TraceEntry::Kind kind, int offset) const;

  const Program& program_;
  State state_;
  int time_ = 0;
  long serial_ = 0;
  int runs_this_step_ = 0;
  bool cut_reported_ = false;
  bool starting_fired_ = false;  // what Start gives the runs it makes
  bool periodic_ = false;        // the script has TIMER1SEC or TIMER10SEC blocks
  Cuts cuts_;
  std::deque<Run> ready_;
  std::vector<Run> sleeping_;
  std::vector<TraceEntry> trace_;
  std::map<std::pair<int, int>, std::string> fired_labels_;  // (module, event) -> as fired
  std::vector<Happening> happenings_;
  int last_line_ = 0;
  Coverage* coverage_ = nullptr;
};

}  // namespace vigil::sim

#endif  // VIGIL_SIM_MACHINE_H_
