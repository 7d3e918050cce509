#include "analysis/properties.h"

#include <optional>

#include "analysis/decision_table.h"
#include "analysis/explore.h"
#include "analysis/row_scenario.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"

namespace vigil::analysis {
namespace {

// A property, read.
struct Claim {
  std::string what;  // "DOOR(FRONT)", ANY replaced by a declared mark
  bool must_happen = true;
  bool any_mark = false;
  sim::Happening happening;
  std::optional<sim::EventInfo> event;  // WHEN an event
  std::optional<Condition> condition;   // WHEN a condition
  Inputs inputs;                        // what the condition requires
};

// The inputs where `term` holds, and the condition that names it; nullopt
// for a term that reads more than one state.
std::optional<std::pair<Inputs, Condition>> ConditionInputs(sim::Term term, std::string written) {
  std::optional<sim::TermRead> read = sim::ReadOfTerm(term);
  if (!read || read->or_all_counters || read->kind == sim::TermRead::Kind::kAnyOfFamily) {
    return std::nullopt;
  }
  Inputs inputs;
  Condition condition;
  condition.written = std::move(written);
  condition.inverted = read->inverted;
  if (read->kind == sim::TermRead::Kind::kPoint) {
    condition.point = read->point;
    inputs.points[read->point] = !read->inverted;
    return std::pair{inputs, condition};
  }
  condition.is_point = false;
  condition.slot = read->slot;
  ValueRange range = RangeOf(read->slot.kind);
  Domain& possible = inputs.values[read->slot];
  for (int i = 0; i < range.count; ++i) {
    int value = range.lowest + i;
    bool holds =
        read->kind == sim::TermRead::Kind::kGreater ? value > read->number : value == read->number;
    if (holds != read->inverted) possible.set(static_cast<size_t>(i));
  }
  return std::pair{inputs, condition};
}

class PropertyReader {
 public:
  PropertyReader(const Compilation& compilation, const sim::Program& program)
      : parser_(compilation, program), program_(program), events_(sim::Events(program)) {}

  std::optional<Claim> Read(const sim::PropertyLine& line,
                            std::vector<sim::ScenarioError>* errors) {
    auto fail = [&](std::string message) -> std::optional<Claim> {
      errors->push_back({line.line, 1, static_cast<int>(line.text.size()) + 1, line.text,
                         std::move(message), ""});
      return std::nullopt;
    };
    std::string upper = ToUpper(line.text);
    bool always = upper.starts_with("ALWAYS ");
    size_t when = upper.find(" WHEN ");
    if (when == std::string::npos) {
      return fail("a property reads ALWAYS|NEVER [NOT] MARK|DIAL|DOOR(...) WHEN event|condition");
    }
    Claim claim;
    std::string what =
        std::string(TrimBlanks(line.text.substr(always ? 7 : 6, when - (always ? 7 : 6))));
    bool negated = ToUpper(what).starts_with("NOT ");
    if (negated) what = std::string(TrimBlanks(what.substr(4)));
    claim.must_happen = always != negated;
    std::string condition = std::string(TrimBlanks(line.text.substr(when + 6)));
    std::vector<sim::ScenarioError> scratch;
    std::optional<sim::Step> event = parser_.Parse("EVENT " + condition, line.line, "", &scratch);
    std::string context;
    if (event) {
      // An event without a block is one path that does nothing.
      claim.event = sim::EventInfo{condition, event->module, event->event, 0, 0};
      for (const sim::EventInfo& info : events_) {
        if (info.module == event->module && info.event == event->event) claim.event = info;
      }
      context = claim.event->name;
    } else {
      std::optional<sim::Step> test = parser_.Parse("EXPECT " + condition, line.line, "", errors);
      if (!test || test->kind != sim::Step::Kind::kExpect) return std::nullopt;
      auto read = ConditionInputs(test->term, condition);
      if (!read) return fail("WHEN takes an event or a condition on one state or number");
      claim.inputs = read->first;
      claim.condition = read->second;
    }
    size_t any = ToUpper(what).find("ANY)");
    if (any != std::string::npos) {
      if (program_.names.marks.empty()) return fail("ANY stands for a mark: the script has none");
      what.replace(any, 3, program_.names.marks.begin()->second);
      claim.any_mark = true;
    }
    claim.what = what;
    std::optional<sim::Step> happening =
        parser_.Parse("EXPECT " + what, line.line, context, errors);
    if (!happening) return std::nullopt;
    if (happening->kind != sim::Step::Kind::kExpectHappened) {
      return fail("a property says what happens: MARK, DIAL or DOOR");
    }
    claim.happening = happening->happening;
    return claim;
  }

 private:
  sim::StepParser parser_;
  const sim::Program& program_;
  std::vector<sim::EventInfo> events_;
};

// The happening of `claim` that `path` makes, if any (the first).
std::optional<sim::Happening> Made(const Path& path, const Claim& claim) {
  for (const Effect& effect : path.effects) {
    auto operand = [&](size_t n) { return effect.bytes.size() > n ? effect.bytes[n] : 0; };
    sim::Happening made;
    switch (static_cast<Op>(effect.bytes[0])) {
      case Op::kMark:
        made = {sim::Happening::Kind::kMark, operand(1), 0};
        break;
      case Op::kDial:
        made = {sim::Happening::Kind::kDial, operand(1), operand(2)};
        break;
      case Op::kDoorOpen:
        made = {sim::Happening::Kind::kDoor, operand(1), 0};
        break;
      default:
        continue;
    }
    sim::Happening wanted = claim.happening;
    if (claim.any_mark && made.kind == wanted.kind) {
      (wanted.kind == sim::Happening::Kind::kDial ? wanted.b : wanted.a) =
          wanted.kind == sim::Happening::Kind::kDial ? made.b : made.a;
    }
    if (made == wanted) return made;
  }
  return std::nullopt;
}

std::string MarkName(const sim::Program& program, int id) {
  auto it = program.names.marks.find(id);
  return it != program.names.marks.end() ? it->second : std::to_string(id);
}

// The EXPECT line the counterexample fails on.
std::string FailingExpect(const sim::Program& program, const Claim& claim,
                          const std::optional<sim::Happening>& made) {
  if (claim.must_happen) return "EXPECT " + claim.what;
  std::string what = claim.what;
  if (claim.any_mark && made) {
    int mark = made->kind == sim::Happening::Kind::kDial ? made->b : made->a;
    size_t open = what.find_last_of(",(");
    what = what.substr(0, open + 1) + MarkName(program, mark) + ")";
  }
  return "EXPECT NOT " + what;
}

void Prove(const sim::Program& program, const Claim& claim, PropertyResult& result) {
  std::vector<sim::EventInfo> events =
      claim.event ? std::vector<sim::EventInfo>{*claim.event} : sim::Events(program);
  for (const sim::EventInfo& event : events) {
    EventPaths table = ExploreEvent(program, event);
    result.cut = result.cut || table.cut;
    for (const Path& path : table.paths) {
      std::optional<Inputs> both = BothOf(InputsOf(path), claim.inputs);
      if (!both) continue;
      std::optional<sim::Happening> made = Made(path, claim);
      if (made.has_value() == claim.must_happen) continue;
      std::vector<Condition> conditions = path.conditions;
      if (claim.condition) conditions.push_back(*claim.condition);
      result.counterexample = ScenarioText("counterexample to line " + std::to_string(result.line),
                                           SetLines(*both, conditions), event.name, path.seconds,
                                           {FailingExpect(program, claim, made)});
      return;
    }
  }
  result.proved = true;
}

}  // namespace

std::vector<PropertyResult> CheckProperties(const Compilation& compilation,
                                            const sim::Program& program,
                                            const std::vector<sim::PropertyLine>& properties) {
  std::vector<PropertyResult> results;
  if (properties.empty()) return results;
  PropertyReader reader(compilation, program);
  for (const sim::PropertyLine& line : properties) {
    PropertyResult result;
    result.line = line.line;
    result.text = line.text;
    std::optional<Claim> claim = reader.Read(line, &result.errors);
    if (claim) Prove(program, *claim, result);
    results.push_back(std::move(result));
  }
  return results;
}

std::string FormatProperty(const PropertyResult& result, std::string_view file) {
  std::string where = std::string(file) + ":" + std::to_string(result.line) + ": " + result.text;
  if (result.proved) {
    return "PROVED   " + where +
           (result.cut ? " (over the first paths of a table cut short)" : "") + "\n";
  }
  return "REFUTED  " + where + "\n  counterexample:\n" + Indented(result.counterexample, "    ");
}

}  // namespace vigil::analysis
