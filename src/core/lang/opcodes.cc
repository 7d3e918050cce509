#include "core/lang/opcodes.h"

#include <array>

namespace vigil {
namespace {

#define VIGIL_INFO(name, code, operands, form, display) \
  OpcodeInfo{code, std::string_view(#name).substr(1), operands, form, display},
constexpr std::array kInstructions = {VIGIL_INSTRUCTIONS(VIGIL_INFO)};
constexpr std::array kConditions = {VIGIL_CONDITIONS(VIGIL_INFO)};
#undef VIGIL_INFO

template <size_t N>
std::optional<OpcodeInfo> Find(const std::array<OpcodeInfo, N>& table, int code) {
  for (const OpcodeInfo& info : table) {
    if (info.code == code) return info;
  }
  return std::nullopt;
}

}  // namespace

std::span<const OpcodeInfo> Instructions() { return kInstructions; }
std::span<const OpcodeInfo> Conditions() { return kConditions; }

std::optional<OpcodeInfo> InstructionInfo(int code) { return Find(kInstructions, code); }

std::optional<OpcodeInfo> ConditionInfo(int code) {
  return Find(kConditions, code >= kInverted ? code - kInverted : code);
}

int InstructionLength(const OpcodeInfo& info) {
  int length = 1;
  for (char letter : info.operands) length += letter == 'c' ? 3 : letter == 'j' ? 2 : 1;
  return length;
}

}  // namespace vigil
