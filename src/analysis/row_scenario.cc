#include "analysis/row_scenario.h"

#include <algorithm>
#include <set>

#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"
#include "sim/switch_rules.h"

namespace vigil::analysis {
namespace {

constexpr int kFirstStateOnlyFamily = 0x80;  // families above no term can test

// `written` without a leading NOT, and whether it had one.
std::pair<std::string, bool> WithoutNot(const std::string& written) {
  if (ToUpper(written).starts_with("NOT "))
    return {std::string(TrimBlanks(written.substr(4))), true};
  return {written, false};
}

// A SET line that makes the IF condition `written` hold or fail.
std::string PointSet(const std::string& written, bool holds) {
  auto [plain, negated] = WithoutNot(written);
  bool want = holds != negated;
  std::string upper = ToUpper(plain);
  if (plain.find('=') == std::string::npos) return "SET " + plain + (want ? " = ON" : " = OFF");
  if (want) return "SET " + plain;
  for (auto [from, to] : {std::pair{" = ON", " = OFF"}, std::pair{" = OFF", " = ON"}}) {
    std::string_view end(from);
    if (upper.ends_with(end)) return "SET " + plain.substr(0, plain.size() - end.size()) + to;
  }
  return "SET NOT " + plain;
}

// A SET line that gives the number `written` compares the value `value`;
// empty for the value every scenario starts with.
std::string ValueSet(const std::string& written, sim::ValueSlot slot, int value) {
  std::string plain = WithoutNot(written).first;
  if (value == RangeOf(slot.kind).lowest) return "";
  if (slot.kind == sim::ValueKind::kCardGroup || slot.kind == sim::ValueKind::kCardUser ||
      slot.kind == sim::ValueKind::kKeyCode) {
    size_t open = plain.find('(');
    return "SET " + plain.substr(0, open) + "(" + std::to_string(value) + ") = ON";
  }
  return "SET " + std::string(TrimBlanks(plain.substr(0, plain.find_first_of("=>")))) + " = " +
         std::to_string(value);
}

int ChosenIndex(const Inputs& inputs, sim::ValueSlot slot) {
  auto it = inputs.values.find(slot);
  if (it == inputs.values.end()) return 0;
  for (size_t i = 0; i < kMaxValues; ++i) {
    if (it->second[i]) return static_cast<int>(i);
  }
  return 0;
}

// The number an instruction changes, if any.
std::optional<sim::ValueSlot> ChangedSlot(const std::vector<uint8_t>& bytes) {
  if (bytes.empty()) return std::nullopt;
  int id = bytes.size() > 1 ? bytes[1] : 0;
  switch (static_cast<Op>(bytes[0])) {
    case Op::kRegisterLoad:
    case Op::kRegisterAdd:
    case Op::kRegisterSubtract:
    case Op::kRegisterFromParameter:
      return sim::ValueSlot{sim::ValueKind::kRegister, id};
    case Op::kTimerLoad:
    case Op::kTimerFromParameter:
      return sim::ValueSlot{sim::ValueKind::kTimer, id};
    case Op::kSetByte1:
      return sim::ValueSlot{sim::ValueKind::kByte1, 0};
    case Op::kSetByte2:
      return sim::ValueSlot{sim::ValueKind::kByte2, 0};
    default:
      return std::nullopt;
  }
}

std::optional<std::string> SlotName(const sim::Program& program, sim::ValueSlot slot) {
  const std::map<int, std::string>* names = nullptr;
  switch (slot.kind) {
    case sim::ValueKind::kByte1:
      return "BYTE1";
    case sim::ValueKind::kByte2:
      return "BYTE2";
    case sim::ValueKind::kRegister:
      names = &program.names.registers;
      break;
    case sim::ValueKind::kTimer:
      names = &program.names.timers;
      break;
    default:
      return std::nullopt;
  }
  auto it = names->find(slot.id);
  if (it == names->end()) return std::nullopt;
  return it->second;
}

// The left side of a line "NAME = ON" or "NAME = OFF".
std::optional<std::string> SwitchedName(std::string_view line) {
  std::string upper = ToUpper(line);
  for (std::string_view end : {std::string_view("= ON"), std::string_view("= OFF")}) {
    if (upper.ends_with(end))
      return std::string(TrimBlanks(line.substr(0, line.size() - end.size())));
  }
  return std::nullopt;
}

std::string LineText(const sim::Program& program, int line) {
  auto it = program.line_texts.find(line);
  return it != program.line_texts.end() ? it->second : "";
}

}  // namespace

Inputs InputsOf(const Path& path) {
  return {path.state.required_points(), path.state.ConstrainedValues()};
}

std::optional<Inputs> BothOf(const Inputs& a, const Inputs& b) {
  Inputs both = a;
  for (const auto& [key, on] : b.points) {
    auto [it, added] = both.points.emplace(key, on);
    if (!added && it->second != on) return std::nullopt;
  }
  for (const auto& [slot, possible] : b.values) {
    auto [it, added] = both.values.emplace(slot, possible);
    if (!added) it->second &= possible;
    if (it->second.none()) return std::nullopt;
  }
  return both;
}

std::vector<std::string> SetLines(const Inputs& inputs, const std::vector<Condition>& conditions) {
  std::vector<std::string> lines;
  std::set<sim::PointKey> points;
  std::set<sim::ValueSlot> slots;
  for (const Condition& condition : conditions) {
    if (condition.is_point) {
      auto it = inputs.points.find(condition.point);
      if (it == inputs.points.end() || !points.insert(condition.point).second) continue;
      // The SET line reads `written` on the state before the event.
      lines.push_back(PointSet(condition.written, it->second != condition.inverted));
    } else {
      if (!inputs.values.contains(condition.slot) || !slots.insert(condition.slot).second) continue;
      int value = RangeOf(condition.slot.kind).lowest + ChosenIndex(inputs, condition.slot);
      std::string line = ValueSet(condition.written, condition.slot, value);
      if (!line.empty()) lines.push_back(line);
    }
  }
  return lines;
}

std::vector<std::string> ExpectLines(const sim::Program& program, const Path& path,
                                     const Inputs& inputs) {
  std::vector<std::string> lines;
  std::set<std::string> seen;
  std::map<sim::PointKey, std::string> switched;
  std::set<sim::ValueSlot> changed;
  for (const Effect& effect : path.effects) {
    int opcode = effect.bytes[0];
    std::string text = LineText(program, effect.line);
    if ((opcode == static_cast<int>(Op::kMark) || opcode == static_cast<int>(Op::kDial) ||
         opcode == static_cast<int>(Op::kDoorOpen)) &&
        seen.insert(text).second) {
      lines.push_back("EXPECT " + text);
    }
    if (const sim::SwitchRule* rule = sim::FindSwitchRule(opcode)) {
      int a = effect.bytes.size() > 1 ? effect.bytes[1] : 0;
      int b = effect.bytes.size() > 2 ? effect.bytes[2] : 0;
      sim::PointKey key = sim::KeyOf(*rule, a, b);
      std::optional<std::string> name = SwitchedName(text);
      if (name && rule->action != sim::Action::kToggle) {
        switched[key] = *name;
      } else {
        switched.erase(key);
      }
    }
    if (std::optional<sim::ValueSlot> slot = ChangedSlot(effect.bytes)) changed.insert(*slot);
  }
  // Queued events and the periodic events run while the path waits may
  // change the same states afterwards.
  if (!path.queued.empty() || path.seconds > 0 || path.stopped) return lines;
  for (const auto& [key, name] : switched) {
    std::optional<bool> on = path.state.Known(key);
    if (on && key.family < kFirstStateOnlyFamily) {
      lines.push_back("EXPECT " + name + (*on ? " = ON" : " = OFF"));
    }
  }
  for (sim::ValueSlot slot : changed) {
    std::optional<std::string> name = SlotName(program, slot);
    if (!name) continue;
    int value = path.state.ValueNow(slot, ChosenIndex(inputs, slot), 0);
    lines.push_back("EXPECT " + *name + " = " + std::to_string(value));
  }
  return lines;
}

std::string ScenarioText(std::string_view name, const std::vector<std::string>& sets,
                         std::string_view event, int seconds,
                         const std::vector<std::string>& expects) {
  std::string text = "SCENARIO " + std::string(name) + "\n";
  for (const std::string& line : sets) text += line + "\n";
  text += "EVENT " + std::string(event) + "\n";
  if (seconds > 0) text += "WAIT " + std::to_string(seconds) + "\n";
  for (const std::string& line : expects) text += line + "\n";
  return text;
}

std::string RowScenario(const sim::Program& program, const EventPaths& table, const Path& path) {
  Inputs inputs = InputsOf(path);
  std::string name = table.event.name + " when ";
  for (size_t i = 0; i < path.conditions.size(); ++i) {
    name += (i == 0 ? "" : " and ") + ConditionText(path.conditions[i]);
  }
  if (path.conditions.empty()) name += "always";
  return ScenarioText(name, SetLines(inputs, path.conditions), table.event.name, path.seconds,
                      ExpectLines(program, path, inputs));
}

}  // namespace vigil::analysis
