// The instructions of an event block, as the controller steps through them.
#ifndef VIGIL_ANALYSIS_CODE_WALK_H_
#define VIGIL_ANALYSIS_CODE_WALK_H_

#include <vector>

#include "sim/program.h"

namespace vigil::analysis {

// The offset of each instruction of `block`, up to the next event header or
// the first byte that is no instruction.
std::vector<int> InstructionOffsets(const sim::Program& program, const sim::Program::Block& block);

// Whether the instruction at `offset` is an ELSE: it runs when its IF branch
// does, so the lines of that branch speak for it.
bool IsElse(const sim::Program& program, int offset);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_CODE_WALK_H_
