// The one-line summary of a run: what changed between two states and what
// happened.
#ifndef VIGIL_SIM_RESULT_H_
#define VIGIL_SIM_RESULT_H_

#include <string>
#include <vector>

#include "sim/program.h"
#include "sim/state.h"
#include "sim/trace.h"

namespace vigil::sim {

// The states that differ between `before` and `after`, in a fixed order:
// points, registers, timers, BYTE1, BYTE2.
std::vector<Change> StateChanges(const Program& program, const State& before, const State& after);

// A change's value as JSON: true/false for ON/OFF, a number for digits, else a
// string.
std::string JsonValue(const std::string& value);

// "result: FRONT.RELAY1 OFF -> ON; register CARS 3 -> 4; archive +1; 1 call;
// door opened: FRONT" — what changed between two states, and what happened.
std::string ResultLine(const Program& program, const State& before, const State& after,
                       const std::vector<Happening>& happenings);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_RESULT_H_
