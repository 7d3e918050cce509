// The behaviour that changed between two versions of a script: for each
// event, the inputs on which the old and the new code do different things,
// found by pairing every path of the old table with every path of the new
// one that some input takes both ways. Effects are compared as the
// controller runs them (instructions, with the parameter values, strike
// times and archive texts they use), so renaming or reformatting changes
// nothing.
#ifndef VIGIL_ANALYSIS_BEHAVIOUR_DIFF_H_
#define VIGIL_ANALYSIS_BEHAVIOUR_DIFF_H_

#include <string>
#include <vector>

#include "analysis/explore.h"
#include "sim/program.h"

namespace vigil::analysis {

// One input case whose effects differ.
struct ChangedCase {
  std::string when;      // "TIMEPLAN(2) and not TIMEPLAN(1)"
  std::string before;    // what the old script does: "MARK(OUTOFHOURS); ..."
  std::string now;       // what the new one does
  std::string scenario;  // one input of the case, expecting what the new script does
};

struct EventChange {
  std::string event;  // as the new script writes it (the old one when removed)
  bool added = false;
  bool removed = false;
  bool cut = false;  // a table was cut short: cases beyond it are not compared
  std::vector<ChangedCase> cases;
};

// The events whose behaviour changed, in the new script's order, then the
// removed ones.
std::vector<EventChange> DiffBehaviour(const sim::Program& before, const sim::Program& now);

// "when TIMEPLAN(2) and not TIMEPLAN(1)", or "in every case".
std::string CaseHeading(const ChangedCase& changed);

// The changes as text; "no behaviour changed" when there are none.
std::string DiffText(const std::vector<EventChange>& changes);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_BEHAVIOUR_DIFF_H_
