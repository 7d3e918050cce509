// The condition of an IF line: one term of three bytes (opcode, operand A,
// operand B), plain or inverted, followed by the empty jump field.
//
// The whole rest of the line picks the form: with "=" anywhere a comparison,
// else with ">" a greater-than test, else a keyword term.

#include <array>

#include "core/compile/compiler.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr int Code(Cond cond) { return static_cast<int>(cond); }

// How a keyword term reads its parameter and forms its operands.
enum class TermShape {
  kBare,        // no parameter: opcode 0 0
  kIndex,       // numeric n in range: opcode n-1 0
  kModuleLost,  // numeric n in 1-64 or 71-78: opcode n 0
  kZones,       // leading number n, 0 < n < 48: opcode module n-1
  kBuffer,      // leading number n, 0 <= n < 100: opcode n 0
  kKeyCode,     // leading number n, 0 <= n < 255: opcode module n
  kFlags,       // a flag name, table by module kind
};

struct KeywordTerm {
  std::string_view keyword;
  bool whole_word;  // else the keyword may stand anywhere in the word
  Cond cond;
  TermShape shape;
  int high;  // the largest n of a kIndex term
};

constexpr std::array<KeywordTerm, 15> kKeywordTerms = {{
    {"TIMEPLAN", true, Cond::kTimePlan, TermShape::kIndex, 64},
    {"GROUP", true, Cond::kGroup, TermShape::kIndex, 128},
    {"USER", true, Cond::kUser, TermShape::kIndex, 128},
    {"GROUPEMPTY", true, Cond::kGroupEmpty, TermShape::kIndex, 128},
    {"USEREMPTY", true, Cond::kUserEmpty, TermShape::kIndex, 128},
    {"MODULELOST", true, Cond::kModuleLost, TermShape::kModuleLost, 0},
    {"PRESENT", true, Cond::kPresent, TermShape::kBare, 0},
    {"ALLCOUNTERSEMPTY", true, Cond::kAllCountersEmpty, TermShape::kBare, 0},
    {"FLAGS", false, Cond::kSystemFlag, TermShape::kFlags, 0},
    {"ZONES", false, Cond::kZones, TermShape::kZones, 0},
    {"PASSED", true, Cond::kPassed, TermShape::kBare, 0},
    {"BUFFER", true, Cond::kBuffer, TermShape::kBuffer, 0},
    {"AUTHORIZED", false, Cond::kAuthorized, TermShape::kBare, 0},
    {"OFFLINE", false, Cond::kOffline, TermShape::kBare, 0},
    {"KEYCODE", false, Cond::kKeyCode, TermShape::kKeyCode, 0},
}};

bool Matches(const KeywordTerm& term, std::string_view word) {
  return term.whole_word ? word == term.keyword : Contains(word, term.keyword);
}

// The element after the one "." of a name, for the module-element terms.
struct DottedTerm {
  std::string_view element;
  bool prefix;  // the element need only begin with it
  Cond cond;
};

constexpr std::array<DottedTerm, 4> kDottedTerms = {{
    {"TAMPER", false, Cond::kTamper},
    {"FORCEDDOOR", false, Cond::kForcedDoor},
    {"DOORAJAR", false, Cond::kDoorAjar},
    {"INPUT", true, Cond::kInput},
}};

// The global names, tested on the part before the first ".".
struct GlobalTerm {
  std::string_view name;
  Cond cond;
};

constexpr std::array<GlobalTerm, 3> kGlobalTerms = {{
    {"GLOBALDOORAJAR", Cond::kDoorAjar},
    {"GLOBALFORCEDDOOR", Cond::kForcedDoor},
    {"GLOBALTAMPER", Cond::kTamper},
}};

int Rounded(double value) { return static_cast<int>(RoundHalfEven(value)); }

bool InByteRange(double x) { return x >= 0 && x <= 255; }

}  // namespace

bool C_Compiler::CompileCondition(std::string_view& rest) {
  bool comparison = Contains(rest, "=");
  bool greater = !comparison && Contains(rest, ">");
  std::string_view word = TakeWord(rest);
  bool negate = word == "NOT";
  if (negate) word = TakeWord(rest);
  if (!comparison && !greater) return CompileKeywordTerm(word, rest, negate);

  std::string_view value = TakeWord(rest);
  if (comparison) {
    CompileComparison(word, value, negate);
    return false;
  }
  return CompileGreaterThan(word, value, negate);
}

void C_Compiler::CompileComparison(std::string_view name, std::string_view value, bool negate) {
  if (const C_registry* reg = symbols_.registers.Find(name)) {
    return CompileCounterTerm(Code(Cond::kRegisterEqual), reg->id, value, Err::kNumberExpected,
                              negate);
  }
  if (const C_registry* timer = symbols_.timers.Find(name)) {
    return CompileCounterTerm(Code(Cond::kTimerEqual), timer->id, value, Err::kUnknownCommand,
                              negate);
  }
  if (name == "BYTE1" || name == "BYTE2") {
    std::optional<double> x = NumericValue(value);
    if (!x || !InByteRange(*x)) return ReportError(Err::kUnknownCommand, value);
    Cond cond = name == "BYTE1" ? Cond::kByte1Equal : Cond::kByte2Equal;
    return EmitTerm(Code(cond), negate, 0, Rounded(*x), value);
  }
  if (IsOutputName(name) || Contains(name, "AUXOUTPUT")) {
    return CompileSwitchTerm(Code(Cond::kOutput), name, value, negate);
  }
  if (IsPartitionStateName(name)) {
    if (value != "ON" && value != "OFF") return ReportError(Err::kUnknownCommand, value);
    int module = ResolveModule(name);
    int state = GetPartitionEventCode(name);
    return EmitTerm(Code(Cond::kPartitionState), negate != (value == "OFF"), module, state, name);
  }
  size_t dot = name.find('.');
  if (dot != std::string_view::npos && name.find('.', dot + 1) == std::string_view::npos) {
    std::string_view part = name.substr(dot + 1);
    for (const DottedTerm& term : kDottedTerms) {
      if (term.prefix ? part.starts_with(term.element) : part == term.element) {
        return CompileSwitchTerm(Code(term.cond), name, value, negate);
      }
    }
    // Not a module-element test: the module and element bytes and the jump
    // field still follow, without an opcode, so the block stays balanced.
    ReportError(Err::kUnknownCommand, name);
    int module = ResolveModule(name);
    int element = GetEventCode(name);
    if (Emit({module, element, 0, 0}, name)) RecordBlockTarget(if_level_);
    return;
  }
  std::string_view head = ModulePart(name);
  for (const GlobalTerm& term : kGlobalTerms) {
    if (head == term.name) return CompileSwitchTerm(Code(term.cond), name, value, negate);
  }
  CompileSwitchTerm(Code(Cond::kInput), name, value, negate);
}

bool C_Compiler::CompileGreaterThan(std::string_view name, std::string_view value, bool negate) {
  if (const C_registry* reg = symbols_.registers.Find(name)) {
    CompileCounterTerm(Code(Cond::kRegisterGreater), reg->id, value, Err::kNumberExpected, negate);
    return false;
  }
  if (const C_registry* timer = symbols_.timers.Find(name)) {
    CompileCounterTerm(Code(Cond::kTimerGreater), timer->id, value, Err::kNumberExpected, negate);
    return false;
  }
  if (name == "BYTE1" || name == "BYTE2") {
    std::optional<double> x = NumericValue(value);
    if (!x || !InByteRange(*x)) {
      ReportError(Err::kUnknownCommand, value);
    } else {
      Cond cond = name == "BYTE1" ? Cond::kByte1Greater : Cond::kByte2Greater;
      EmitTerm(Code(cond), negate, 0, Rounded(*x), value);
    }
    return false;
  }
  return true;
}

// A register or timer compared with a number. A bad value still leaves the
// jump field behind the 81, so the block's ENDIF is accepted.
void C_Compiler::CompileCounterTerm(int opcode, int id, std::string_view value,
                                    Err not_numeric_error, bool negate) {
  std::optional<double> x = NumericValue(value);
  if (!x || !InByteRange(*x)) {
    ReportError(x ? Err::kUnknownCommand : not_numeric_error, value);
    return AppendEmptyJump();
  }
  EmitTerm(opcode, negate, id, Rounded(*x), value);
}

// A module element tested against ON or OFF; OFF inverts like NOT does.
void C_Compiler::CompileSwitchTerm(int opcode, std::string_view name, std::string_view value,
                                   bool negate) {
  if (value != "ON" && value != "OFF") return ReportError(Err::kUnknownCommand, value);
  int module = ResolveModule(name);
  int element = GetEventCode(name);
  EmitTerm(opcode, negate != (value == "OFF"), module, element, name);
}

bool C_Compiler::CompileKeywordTerm(std::string_view word, std::string_view& rest, bool negate) {
  for (const KeywordTerm& term : kKeywordTerms) {
    if (!Matches(term, word)) continue;
    int code = Code(term.cond);
    if (term.shape == TermShape::kBare) {
      EmitTerm(code, negate, 0, 0, word);
      return false;
    }
    if (term.shape == TermShape::kFlags) {
      if (CompileFlags(word, rest, negate)) return false;
      continue;  // neither flag table: try the keywords after FLAGS
    }
    std::vector<std::string> params = GetParam(rest);
    if (params.empty()) return false;
    std::string_view p = params.front();
    bool needs_number = term.shape == TermShape::kIndex || term.shape == TermShape::kModuleLost;
    std::optional<double> numeric = NumericValue(p);
    if (needs_number && !numeric) {
      ReportError(Err::kNumberExpected, p);
      return false;
    }
    double n = needs_number ? *numeric : LeadingNumber(p);
    switch (term.shape) {
      case TermShape::kIndex:
        if (n < 1 || n > term.high) break;
        EmitTerm(code, negate, Rounded(n - 1), 0, p);
        return false;
      case TermShape::kModuleLost:
        if (!kNamedDoorIds.Contains(n) && !kSupplyIds.Contains(n)) break;
        EmitTerm(code, negate, Rounded(n), 0, p);
        return false;
      case TermShape::kZones:
        if (!(n > 0 && n < 48)) break;
        EmitTerm(code, negate, ResolveModule(word), Rounded(n - 1), p);
        return false;
      case TermShape::kBuffer:
        if (!(n >= 0 && n < 100)) break;
        EmitTerm(code, negate, Rounded(n), 0, p);
        return false;
      case TermShape::kKeyCode:
        if (!(n >= 0 && n < 255)) {
          ReportError(Err::kValueOutOfRange, p);
          return true;  // handed back after its error
        }
        EmitTerm(code, negate, ResolveModule(word), Rounded(n), p);
        return false;
      case TermShape::kBare:
      case TermShape::kFlags:
        return false;
    }
    ReportError(Err::kValueOutOfRange, p);
    return false;
  }
  return true;
}

// FLAGS(name): the system flags for the alarm panel, the power-supply flags for
// a power-supply module. False when the module is neither.
bool C_Compiler::CompileFlags(std::string_view word, std::string_view rest, bool negate) {
  int module = ResolveModule(word);
  bool panel = module == kPanelId || current_event_module_ == kPanelId;
  bool supply =
      !panel && (kSupplyIds.Contains(module) || kSupplyIds.Contains(current_event_module_));
  if (!panel && !supply) return false;
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return true;
  std::string_view flag = params.front();
  int code = panel ? GetSystemFlagCode(flag) : GetSupplyFlagCode(flag);
  if (code == -1) {
    ReportError(Err::kUnknownCommand, flag);
    return true;
  }
  if (panel) {
    EmitTerm(Code(Cond::kSystemFlag), negate, module, code, flag);
  } else {
    EmitTerm(Code(Cond::kSupplyFlag), negate, module - kFirstSupplyId, code, flag);
  }
  return true;
}

void C_Compiler::EmitTerm(int opcode, bool negate, int a, int b, std::string_view focus) {
  if (Emit({negate ? opcode + kInverted : opcode, a, b, 0, 0}, focus)) {
    RecordBlockTarget(if_level_);
  }
}

void C_Compiler::AppendEmptyJump() {
  code_.Append({0, 0});
  RecordBlockTarget(if_level_);
}

}  // namespace vigil
