#include "analysis/behaviour_diff.h"

#include <optional>
#include <set>

#include "analysis/decision_table.h"
#include "analysis/row_scenario.h"
#include "core/lang/opcodes.h"

namespace vigil::analysis {
namespace {

// What one effect does, in numbers: its bytes, then the setting it reads.
std::vector<int> EffectSignature(const sim::Program& program, const Effect& effect) {
  std::vector<int> signature(effect.bytes.begin(), effect.bytes.end());
  auto operand = [&](size_t n) { return effect.bytes.size() > n ? effect.bytes[n] : 0; };
  auto setting = [&](const std::map<int, int>& table, int id) {
    auto it = table.find(id);
    signature.push_back(it != table.end() ? it->second : -1);
  };
  auto text = [&](int mark) {
    auto it = program.mark_texts.find(mark);
    if (it == program.mark_texts.end()) return;
    signature.insert(signature.end(), it->second.begin(), it->second.end());
  };
  switch (static_cast<Op>(effect.bytes[0])) {
    case Op::kDelayParameter:
      setting(program.parameters, operand(1));
      break;
    case Op::kRegisterFromParameter:
    case Op::kTimerFromParameter:
      setting(program.parameters, operand(2));
      break;
    case Op::kDoorOpen:
      setting(program.strike_times, operand(1));
      break;
    case Op::kMark:
      text(operand(1));
      break;
    case Op::kDial:
      text(operand(2));
      break;
    default:
      break;
  }
  return signature;
}

std::vector<std::vector<int>> Signature(const sim::Program& program, const Path& path) {
  std::vector<std::vector<int>> signature;
  for (const Effect& effect : path.effects) signature.push_back(EffectSignature(program, effect));
  if (path.stopped) signature.push_back({-1});
  return signature;
}

// The table of an event, or one path that does nothing when the script has
// no block for it.
EventPaths TableOr(const sim::Program& program, const std::optional<sim::EventInfo>& event,
                   const sim::EventInfo& other) {
  if (event) return ExploreEvent(program, *event);
  EventPaths none;
  none.event = other;
  none.paths.emplace_back();
  return none;
}

std::string When(const std::vector<Condition>& conditions) {
  std::vector<std::string> parts;
  std::set<std::string> seen;
  for (const Condition& condition : conditions) {
    std::string text = ConditionText(condition);
    if (seen.insert(text).second) parts.push_back(text);
  }
  if (parts.empty()) return "always";
  std::string when;
  for (size_t i = 0; i < parts.size(); ++i) when += (i == 0 ? "" : " and ") + parts[i];
  return when;
}

ChangedCase MakeCase(const sim::Program& before, const sim::Program& now, const Path& old_path,
                     const Path& new_path, const Inputs& inputs, const std::string& event) {
  std::vector<Condition> conditions = new_path.conditions;
  conditions.insert(conditions.end(), old_path.conditions.begin(), old_path.conditions.end());
  ChangedCase changed;
  changed.when = When(conditions);
  changed.before = EffectsText(before, old_path);
  changed.now = EffectsText(now, new_path);
  std::vector<std::string> expects = ExpectLines(now, new_path, inputs);
  if (new_path.queued.empty()) {
    // What only the old script did must not happen now.
    std::set<std::string> expected(expects.begin(), expects.end());
    for (const std::string& line : ExpectLines(before, old_path, inputs)) {
      std::string what = line.substr(std::string_view("EXPECT ").size());
      bool happening =
          what.starts_with("MARK(") || what.starts_with("DIAL(") || what.starts_with("DOOR(");
      if (happening && !expected.contains(line)) expects.push_back("EXPECT NOT " + what);
    }
  }
  changed.scenario = ScenarioText(event + " when " + changed.when, SetLines(inputs, conditions),
                                  event, new_path.seconds, expects);
  return changed;
}

EventChange DiffEvent(const sim::Program& before, const sim::Program& now,
                      const EventPaths& old_table, const EventPaths& new_table) {
  EventChange change;
  change.event = new_table.event.name;
  change.cut = old_table.cut || new_table.cut;
  for (const Path& new_path : new_table.paths) {
    Inputs new_inputs = InputsOf(new_path);
    std::vector<std::vector<int>> new_signature = Signature(now, new_path);
    for (const Path& old_path : old_table.paths) {
      std::optional<Inputs> both = BothOf(new_inputs, InputsOf(old_path));
      if (!both || Signature(before, old_path) == new_signature) continue;
      change.cases.push_back(MakeCase(before, now, old_path, new_path, *both, change.event));
    }
  }
  return change;
}

std::optional<sim::EventInfo> Find(const std::vector<sim::EventInfo>& events, int module,
                                   int event) {
  for (const sim::EventInfo& info : events) {
    if (info.module == module && info.event == event) return info;
  }
  return std::nullopt;
}

}  // namespace

std::vector<EventChange> DiffBehaviour(const sim::Program& before, const sim::Program& now) {
  std::vector<sim::EventInfo> old_events = sim::Events(before);
  std::vector<sim::EventInfo> new_events = sim::Events(now);
  std::vector<EventChange> changes;
  auto add = [&](EventChange change) {
    if (!change.cases.empty() || change.cut) changes.push_back(std::move(change));
  };
  for (const sim::EventInfo& event : new_events) {
    std::optional<sim::EventInfo> old_event = Find(old_events, event.module, event.event);
    EventChange change =
        DiffEvent(before, now, TableOr(before, old_event, event), ExploreEvent(now, event));
    change.added = !old_event;
    add(std::move(change));
  }
  for (const sim::EventInfo& event : old_events) {
    if (Find(new_events, event.module, event.event)) continue;
    EventChange change =
        DiffEvent(before, now, ExploreEvent(before, event), TableOr(now, std::nullopt, event));
    change.removed = true;
    add(std::move(change));
  }
  return changes;
}

std::string CaseHeading(const ChangedCase& changed) {
  return changed.when == "always" ? "in every case" : "when " + changed.when;
}

std::string DiffText(const std::vector<EventChange>& changes) {
  if (changes.empty()) return "no behaviour changed: every event does the same in every case\n";
  std::string text;
  for (const EventChange& change : changes) {
    size_t n = change.cases.size();
    text += change.event + ": " +
            (change.added     ? "added, "
             : change.removed ? "removed, "
                              : "") +
            "behaviour changed in " + std::to_string(n) + (n == 1 ? " case" : " cases") +
            (change.cut ? " (a table was cut short: later cases not compared)" : "") + "\n";
    for (const ChangedCase& c : change.cases) {
      text += "  " + CaseHeading(c) + "\n    before: " + c.before + "\n    now:    " + c.now +
              "\n    scenario:\n";
      text += Indented(c.scenario, "      ");
    }
  }
  return text;
}

}  // namespace vigil::analysis
