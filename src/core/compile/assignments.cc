// Assignments: "target = value" lines that load registers and timers, switch
// outputs, the beeper and auxiliary outputs, arm partitions, send system keys
// and clear alarm and trouble signals.

#include <array>

#include "core/compile/compiler.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr int Code(Op op) { return static_cast<int>(op); }

// Targets switched ON or OFF, tested in this order.
struct SwitchFamily {
  bool (*matches)(std::string_view target);
  Op on;
  Op off;
};

bool IsBeep(std::string_view target) { return Contains(target, "BEEP"); }
bool IsAuxOutput(std::string_view target) { return Contains(target, "AUXOUTPUT"); }

constexpr std::array<SwitchFamily, 3> kSwitchFamilies = {{
    {IsOutputName, Op::kOutputOn, Op::kOutputOff},
    {IsBeep, Op::kBeepOn, Op::kBeepOff},
    {IsAuxOutput, Op::kAuxOn, Op::kAuxOff},
}};

constexpr std::array<std::string_view, 4> kPropertyWords = {"ARMED", "SYSTEMKEY", "ALARMSIGNAL",
                                                            "TROUBLESIGNAL"};

// The key code of a SYSTEMKEY value, or -1.
int SystemKeyCode(std::string_view value) {
  if (std::optional<double> x = NumericValue(value)) {
    return *x >= 0 && *x < kSystemKeyLimit ? static_cast<int>(RoundHalfEven(*x)) : -1;
  }
  for (const SystemKey& key : SystemKeys()) {
    if (key.word == value) return key.code;
  }
  return -1;
}

// The property word: the text between the first and the second ".", empty
// when the target has no ".".
std::string_view PropertyWord(std::string_view target) {
  return Contains(target, ".") ? ElementPart(target) : std::string_view();
}

}  // namespace

void C_Compiler::CompileAssignment(std::string_view line) {
  // The target is the text before the first "=", the value the text up to
  // the next one: 'R1 = 5 = 7' loads 5.
  size_t equals = line.find('=');
  std::string_view target = TrimBlanks(line.substr(0, equals));
  std::string_view after = line.substr(equals + 1);
  std::string_view value = TrimBlanks(after.substr(0, after.find('=')));

  if (IsRegistrName(target)) return CompileRegisterAssignment(line, target, value);
  if (IsTimerName(target)) return CompileTimerAssignment(target, value);
  for (const SwitchFamily& family : kSwitchFamilies) {
    if (!family.matches(target)) continue;
    if (value == "ON") return EmitSwitch(Code(family.on), target);
    if (value == "OFF") return EmitSwitch(Code(family.off), target);
    return ReportError(Err::kUnknownCommand, value);
  }
  CompilePropertyAssignment(target, value);
}

void C_Compiler::CompilePropertyAssignment(std::string_view target, std::string_view value) {
  bool has_property = false;
  for (std::string_view word : kPropertyWords)
    has_property = has_property || Contains(target, word);
  if (!has_property) return ReportError(Err::kReadOnlyProperty, target);

  std::string_view property = PropertyWord(target);
  if (property == "ARMED") {
    if (value == "ON") return EmitSwitch(Code(Op::kArmOn), target);
    if (value == "OFF") return EmitSwitch(Code(Op::kArmOff), target);
    return ReportError(Err::kUnknownParameter, value);
  }
  if (property == "SYSTEMKEY") {
    int key = SystemKeyCode(value);
    if (key == -1) return ReportError(Err::kUnknownCommand, value);
    int module = ResolveModule(target);
    int element = GetEventCode(target);
    Emit({Code(Op::kSystemKey), key, module, element}, target);
    return;
  }
  if (property == "ALARMSIGNAL" || property == "TROUBLESIGNAL") {
    if (value != "OFF") return ReportError(Err::kUnknownCommand, value);
    Op op = property == "TROUBLESIGNAL"         ? Op::kTroubleSignalOff
            : ResolveModule(target) == kPanelId ? Op::kPanelAlarmSignalOff
                                                : Op::kAlarmSignalOff;
    return EmitSwitch(Code(op), target);
  }
  ReportError(Err::kUnknownOutput, property.empty() ? target : property);
}

// Opcode, module, element code.
void C_Compiler::EmitSwitch(int opcode, std::string_view target) {
  int module = ResolveModule(target);
  int element = GetEventCode(target);
  Emit({opcode, module, element}, target);
}

void C_Compiler::CompileRegisterAssignment(std::string_view line, std::string_view target,
                                           std::string_view value) {
  const C_registry& reg = *GetRegister(target);
  if (Contains(line, "+"))
    return CompileRegisterArithmetic('+', Code(Op::kRegisterAdd), reg, target, value);
  if (Contains(line, "-")) {
    return CompileRegisterArithmetic('-', Code(Op::kRegisterSubtract), reg, target, value);
  }
  if (std::optional<double> x = NumericValue(value)) {
    if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, value);
    Emit({Code(Op::kRegisterLoad), reg.id, static_cast<int>(RoundHalfEven(*x))}, value);
    return;
  }
  const C_parameter* parameter = symbols_.parameters.Find(value);
  if (parameter == nullptr) return ReportError(Err::kUnknownParameter, value);
  Emit({Code(Op::kRegisterFromParameter), reg.id, parameter->id}, value);
}

// register = register + n, register = register - n
void C_Compiler::CompileRegisterArithmetic(char sign, int opcode, const C_registry& reg,
                                           std::string_view target, std::string_view value) {
  std::vector<std::string_view> operands = Split(value, sign);
  if (operands.size() != 2) return ReportError(Err::kUnknownCommand, value);
  std::string_view left = TrimBlanks(operands[0]);
  if (!IsRegistrName(left)) return ReportError(Err::kRegisterExpected, left.empty() ? value : left);
  if (left != target) return ReportError(Err::kSingleRegisterOnly, left);
  std::optional<double> x = NumericValue(operands[1]);
  if (!x) return ReportError(Err::kNumberExpected, operands[1]);
  if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, operands[1]);
  Emit({opcode, reg.id, static_cast<int>(RoundHalfEven(*x))}, value);
}

void C_Compiler::CompileTimerAssignment(std::string_view target, std::string_view value) {
  const C_registry& timer = *symbols_.timers.Find(target);
  if (std::optional<double> x = NumericValue(value)) {
    if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, value);
    Emit({Code(Op::kTimerLoad), timer.id, static_cast<int>(RoundHalfEven(*x))}, value);
    return;
  }
  const C_parameter* parameter = symbols_.parameters.Find(value);
  if (parameter == nullptr) return ReportError(Err::kUnknownParameter, value);
  Emit({Code(Op::kTimerFromParameter), timer.id, parameter->id}, value);
}

}  // namespace vigil
