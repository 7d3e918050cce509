// What a simulation did, as records: the events that ran, each instruction
// with the script line it came from, the value every IF tested, the branch it
// took and every state it changed; and the two ways of showing them.
#ifndef VIGIL_SIM_TRACE_H_
#define VIGIL_SIM_TRACE_H_

#include <optional>
#include <string>
#include <vector>

namespace vigil::sim {

// One state an instruction changed (or left as it was).
struct Change {
  std::string what;  // "FRONT.RELAY1", "register CARS"
  std::string before;
  std::string after;
};

struct TraceEntry {
  enum class Kind {
    kEventStart,  // an event block starts: `instruction` is "FRONT.VALID"
    kStep,        // one instruction ran
    kResume,      // an event resumes after its DELAY
    kCannotRun,   // bytes the model cannot run: the event stops there
    kCut,         // a run of events stopped at the model's bound
  };
  Kind kind = Kind::kStep;
  int time = 0;               // seconds since the simulation started
  int line = 0;               // physical script line; 0 when none
  int offset = -1;            // code buffer offset; -1 when none
  int depth = 0;              // IF blocks open around the instruction
  std::string source;         // the script line, trimmed; empty for a line's later instructions
  std::string instruction;    // what the controller runs, decoded from the code
  std::string effect;         // what it did, in words
  std::optional<bool> taken;  // an IF's result
  std::vector<Change> changes;
};

// What an event run produced that a scenario can ask about.
struct Happening {
  enum class Kind { kMark, kDial, kDoor };
  Kind kind = Kind::kMark;
  int a = 0;  // the mark id, the number dialled or the door's module
  int b = 0;  // a dial's mark id
  friend bool operator==(const Happening&, const Happening&) = default;
};

// One line per entry, "result: ..." not included. Every line ends in "\n".
std::string FormatTraceText(const std::vector<TraceEntry>& entries);

// A JSON array of objects, one per entry.
std::string FormatTraceJson(const std::vector<TraceEntry>& entries);

// [{"what": ..., "before": ..., "after": ...}], values typed as JsonValue
// (result.h) makes them.
std::string ChangesJson(const std::vector<Change>& changes);

// "OFF -> ON" or "stays ON".
std::string ChangeText(const Change& change);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_TRACE_H_
