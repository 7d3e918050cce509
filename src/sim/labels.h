// Words for the states and tests of the simulation, in the script's terms:
// "FRONT.INPUT1", "register CARS", "time plan 2".
#ifndef VIGIL_SIM_LABELS_H_
#define VIGIL_SIM_LABELS_H_

#include <map>
#include <string>
#include <string_view>

#include "sim/program.h"
#include "sim/state.h"

namespace vigil::sim {

// What a condition term reads: "FRONT.INPUT1", "register CARS", "TIMEPLAN(2)".
std::string TermSubject(const Program& program, Term term);

// What the term finds, and its result:
//   "TIMEPLAN(2) is OFF -> false"
//   "register CARS is 200, > 199 -> true"
//   "NOT FRONT.FORCEDDOOR (OFF) -> true"
// "cannot test condition 6B" for a code the model has no test for.
std::string TermReading(const Program& program, const State& state, Term term);

// "FRONT.RELAY1", "OFFICES alarm signal", "BEEP of FRONT".
std::string PointLabel(const Program& program, PointKey key);

std::string OnOff(bool on);

// The declared name of a register, timer, ...; "register 3" when it has none.
std::string IdName(std::string_view what, int id, const std::map<int, std::string>& names);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_LABELS_H_
