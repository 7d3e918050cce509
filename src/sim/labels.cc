#include "sim/labels.h"

#include "core/decode/code_names.h"
#include "core/lang/module_kinds.h"
#include "core/lang/opcodes.h"

namespace vigil::sim {
namespace {

constexpr int Plain(int code) { return code >= kInverted ? code - kInverted : code; }

std::string Element(const Program& program, ElementFamily family, int module, int code) {
  return ModuleName(program, module) + "." + ElementName(family, module, code);
}

std::string Named(std::string_view word, int number) {
  return std::string(word) + "(" + std::to_string(number) + ")";
}

}  // namespace

std::string IdName(std::string_view what, int id, const std::map<int, std::string>& names) {
  auto it = names.find(id);
  return it != names.end() ? it->second : std::string(what) + " " + std::to_string(id);
}

namespace {

// The value a comparison term reads, with its comparison; nullopt for the
// ON/OFF terms.
struct Comparison {
  int value;
  std::string_view op;
};
std::optional<Comparison> ComparisonOf(const State& state, Cond cond, int a) {
  switch (cond) {
    case Cond::kRegisterGreater:
      return Comparison{state.registers[static_cast<size_t>(a)], ">"};
    case Cond::kRegisterEqual:
      return Comparison{state.registers[static_cast<size_t>(a)], "="};
    case Cond::kTimerGreater:
      return Comparison{state.timers[static_cast<size_t>(a)], ">"};
    case Cond::kTimerEqual:
      return Comparison{state.timers[static_cast<size_t>(a)], "="};
    case Cond::kByte1Greater:
      return Comparison{state.byte1, ">"};
    case Cond::kByte1Equal:
      return Comparison{state.byte1, "="};
    case Cond::kByte2Greater:
      return Comparison{state.byte2, ">"};
    case Cond::kByte2Equal:
      return Comparison{state.byte2, "="};
    case Cond::kGroup:
      return Comparison{state.card_group, "="};
    case Cond::kUser:
      return Comparison{state.card_user, "="};
    case Cond::kKeyCode: {
      auto it = state.key_codes.find(a);
      return Comparison{it != state.key_codes.end() ? it->second : -1, "="};
    }
    default:
      return std::nullopt;
  }
}

// The number a comparison compares with.
int ComparedWith(Cond cond, Term term) {
  return cond == Cond::kGroup || cond == Cond::kUser ? term.a + 1 : term.b;
}

}  // namespace

std::string OnOff(bool on) { return on ? "ON" : "OFF"; }

std::string TermSubject(const Program& program, Term term) {
  const SiteNames& names = program.names;
  int a = term.a;
  int b = term.b;
  if (IsGlobalContact(term)) return ElementName(ElementFamily::kAny, 0, b);
  switch (static_cast<Cond>(Plain(term.code))) {
    case Cond::kInput:
      return Element(program, ElementFamily::kInput, a, b);
    case Cond::kOutput:
      return Element(program, ElementFamily::kOutput, a, b);
    case Cond::kRegisterGreater:
    case Cond::kRegisterEqual:
      return IdName("register", a, names.registers);
    case Cond::kTimerGreater:
    case Cond::kTimerEqual:
      return IdName("timer", a, names.timers);
    case Cond::kTimePlan:
      return Named("TIMEPLAN", a + 1);
    case Cond::kGroup:
      return "the card's group";
    case Cond::kUser:
      return "the card's user";
    case Cond::kPartitionState:
      return Element(program, ElementFamily::kPartitionState, a, b);
    case Cond::kSystemFlag:
      return "FLAGS(" + SystemFlagName(b) + ") of " + ModuleName(program, a);
    case Cond::kZones:
      return Named("ZONES", b + 1) + " of " + ModuleName(program, a);
    case Cond::kPassed:
      return "PASSED";
    case Cond::kTamper:
      return ModuleName(program, a) + ".TAMPER";
    case Cond::kForcedDoor:
      return ModuleName(program, a) + ".FORCEDDOOR";
    case Cond::kDoorAjar:
      return ModuleName(program, a) + ".DOORAJAR";
    case Cond::kBuffer:
      return Named("BUFFER", a);
    case Cond::kSupplyFlag:
      return "FLAGS(" + SupplyFlagName(b) + ") of " + ModuleName(program, a + kFirstSupplyId);
    case Cond::kAuthorized:
      return "AUTHORIZED";
    case Cond::kKeyCode:
      return "the key code at " + ModuleName(program, a);
    case Cond::kPresent:
      return "PRESENT";
    case Cond::kGroupEmpty:
      return Named("GROUPEMPTY", a + 1);
    case Cond::kAllCountersEmpty:
      return "ALLCOUNTERSEMPTY";
    case Cond::kUserEmpty:
      return Named("USEREMPTY", a + 1);
    case Cond::kModuleLost:
      return Named("MODULELOST", a);
    case Cond::kByte1Greater:
    case Cond::kByte1Equal:
      return "BYTE1";
    case Cond::kByte2Greater:
    case Cond::kByte2Equal:
      return "BYTE2";
    case Cond::kOffline:
      return "OFFLINE";
  }
  return "condition " + std::to_string(term.code);
}

std::string TermReading(const Program& program, const State& state, Term term) {
  std::optional<bool> result = TestTerm(state, term);
  if (!result) return "cannot test condition " + std::to_string(term.code);
  Cond cond = static_cast<Cond>(Plain(term.code));
  bool inverted = term.code >= kInverted;
  std::string subject = TermSubject(program, term);
  std::string verdict = std::string(" -> ") + (*result ? "true" : "false");
  if (std::optional<Comparison> comparison = ComparisonOf(state, cond, term.a)) {
    std::string value = comparison->value < 0 ? "none" : std::to_string(comparison->value);
    return subject + " is " + value + ", " + (inverted ? "NOT " : "") +
           std::string(comparison->op) + " " + std::to_string(ComparedWith(cond, term)) + verdict;
  }
  bool plain = inverted ? !*result : *result;
  if (inverted) return "NOT " + subject + " (" + OnOff(plain) + ")" + verdict;
  return subject + " is " + OnOff(plain) + verdict;
}

std::string PointLabel(const Program& program, PointKey key) {
  switch (key.family) {
    case kBeeperFamily: {
      std::string element = ElementName(ElementFamily::kAny, key.a, key.b);
      bool plain = element == "BEEP" || key.b == 0;  // DOOR turns element 0 off
      return ModuleName(program, key.a) + ".BEEP" + (plain ? "" : " (" + element + ")");
    }
    case kAlarmSignalFamily:
      return ModuleName(program, key.a) + " alarm signal";
    case kTroubleSignalFamily:
      return ModuleName(program, key.a) + " trouble signal";
    case kModePinFamily:
      return ModuleName(program, key.a) + " PIN mode";
    case static_cast<int>(Cond::kOutput): {
      auto written = program.output_names.find({key.a, key.b});
      if (written != program.output_names.end()) {
        return ModuleName(program, key.a) + "." + written->second;
      }
      if (key.b == 0) return ModuleName(program, key.a) + " door output";
      return TermSubject(program, {key.family, key.a, key.b});
    }
    default:
      return TermSubject(program, {key.family, key.a, key.b});
  }
}

}  // namespace vigil::sim
