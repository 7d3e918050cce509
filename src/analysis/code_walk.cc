#include "analysis/code_walk.h"

#include <optional>

#include "core/lang/opcodes.h"

namespace vigil::analysis {

std::vector<int> InstructionOffsets(const sim::Program& program, const sim::Program::Block& block) {
  std::vector<int> offsets;
  const std::vector<uint8_t>& code = program.code;
  int pc = block.start;
  while (pc < static_cast<int>(code.size()) && code[static_cast<size_t>(pc)] != kEventMarker) {
    std::optional<OpcodeInfo> info = InstructionInfo(code[static_cast<size_t>(pc)]);
    if (!info) break;
    offsets.push_back(pc);
    pc += InstructionLength(*info);
  }
  return offsets;
}

bool IsElse(const sim::Program& program, int offset) {
  return program.code[static_cast<size_t>(offset)] == static_cast<int>(Op::kElse);
}

}  // namespace vigil::analysis
