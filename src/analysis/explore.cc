#include "analysis/explore.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <optional>
#include <utility>

#include "analysis/code_walk.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"
#include "sim/switch_rules.h"

namespace vigil::analysis {
namespace {

constexpr int kIfLength = 6;
constexpr int kByteMask = 255;
constexpr int kAnyOfFamilyBase = 0x100;  // the point of "any contact of a family is on"

struct RunState {
  int pc = 0;
  int wake = 0;
  long serial = 0;
};

// One path under way: its state, its runs and what it has done so far.
struct World {
  SymbolicState state;
  std::deque<RunState> ready;
  std::vector<RunState> sleeping;
  std::optional<RunState> current;
  int time = 0;
  Path path;
};

// One way an IF can go.
struct Branch {
  SymbolicState state;
  bool result = false;
  std::vector<Condition> conditions;
};

std::string Squeezed(std::string_view text) {
  std::string squeezed;
  for (char c : ToUpper(text)) {
    if (c != ' ' && c != '\t') squeezed += c;
  }
  if (squeezed.ends_with("THEN")) squeezed.resize(squeezed.size() - 4);
  return squeezed;
}

// A comparison in the script's words as the controller runs it, when the
// written one reads otherwise (">=" compiles as "=", a parameter as its
// value); empty when they agree or for a card's group, user or key code.
std::string Differs(const std::string& written, const sim::TermRead& read) {
  if (read.slot.kind == sim::ValueKind::kCardGroup || read.slot.kind == sim::ValueKind::kCardUser ||
      read.slot.kind == sim::ValueKind::kKeyCode) {
    return "";
  }
  std::string plain = ToUpper(written).starts_with("NOT ") ? written.substr(4) : written;
  std::string name = std::string(TrimBlanks(plain.substr(0, plain.find_first_of("<>=!"))));
  std::string tests = std::string(read.inverted ? "NOT " : "") + name +
                      (read.kind == sim::TermRead::Kind::kGreater ? " > " : " = ") +
                      std::to_string(read.number);
  return Squeezed(tests) == Squeezed(written) ? "" : tests;
}

class Explorer {
 public:
  Explorer(const sim::Program& program, const sim::EventInfo& event)
      : program_(program), code_(program.code) {
    table_.event = event;
  }

  EventPaths Run() {
    World first;
    long serial = 0;
    for (const sim::Program::Block& block : program_.blocks) {
      if (block.module == table_.event.module && block.event == table_.event.event) {
        first.ready.push_back({block.start, -1, serial++});
      }
    }
    std::vector<World> stack;
    stack.push_back(std::move(first));
    while (!stack.empty()) {
      if (table_.paths.size() >= kMaxPathsPerEvent) {
        table_.cut = true;
        break;
      }
      World world = std::move(stack.back());
      stack.pop_back();
      Advance(world, stack);
    }
    if (!table_.cut) FindDead();
    return std::move(table_);
  }

 private:
  // Runs `world` until it ends (a path) or an IF splits it (the other ways
  // go on `stack`).
  void Advance(World& world, std::vector<World>& stack) {
    while (true) {
      if (!world.current && !NextRun(world)) {
        world.path.state = world.state;
        table_.paths.push_back(std::move(world.path));
        return;
      }
      RunState& run = *world.current;
      size_t at = static_cast<size_t>(run.pc);
      if (at >= code_.size() || code_[at] == kEventMarker) {
        world.current.reset();
        continue;
      }
      std::optional<OpcodeInfo> info = InstructionInfo(code_[at]);
      int length = info ? InstructionLength(*info) : 0;
      if (!info || at + static_cast<size_t>(length) > code_.size()) {
        Stop(world);
        continue;
      }
      table_.run_offsets.insert(run.pc);
      if (code_[at] == static_cast<int>(Op::kIf)) {
        std::vector<Branch> branches = Branches(world, run.pc);
        if (branches.empty()) {
          Stop(world);
          continue;
        }
        for (size_t i = branches.size(); i-- > 1;) {
          World other = world;
          Take(other, std::move(branches[i]));
          stack.push_back(std::move(other));
        }
        Take(world, std::move(branches[0]));
        continue;
      }
      Step(world, run, length);
    }
  }

  // Takes the next ready run, waking the sleeping ones when none is ready.
  bool NextRun(World& world) {
    if (world.ready.empty() && !world.sleeping.empty()) {
      auto earliest =
          std::min_element(world.sleeping.begin(), world.sleeping.end(),
                           [](const RunState& x, const RunState& y) { return x.wake < y.wake; });
      world.time = earliest->wake;
      std::vector<RunState> waking;
      for (const RunState& run : world.sleeping) {
        if (run.wake <= world.time) waking.push_back(run);
      }
      std::erase_if(world.sleeping, [&](const RunState& run) { return run.wake <= world.time; });
      std::stable_sort(waking.begin(), waking.end(),
                       [](const RunState& x, const RunState& y) { return x.serial < y.serial; });
      world.ready.insert(world.ready.end(), waking.begin(), waking.end());
    }
    if (world.ready.empty()) return false;
    world.current = world.ready.front();
    world.ready.pop_front();
    return true;
  }

  void Stop(World& world) {
    world.path.stopped = true;
    world.current.reset();
  }

  void Take(World& world, Branch branch) {
    RunState& run = *world.current;
    size_t at = static_cast<size_t>(run.pc);
    world.state = std::move(branch.state);
    for (Condition& condition : branch.conditions) {
      world.path.conditions.push_back(std::move(condition));
    }
    run.pc = branch.result ? run.pc + kIfLength
                           : run.pc + kIfLength + code_[at + 4] + (code_[at + 5] << 8);
  }

  Condition MakeCondition(int offset, bool holds) const {
    Condition condition;
    condition.offset = offset;
    condition.line = program_.bytes[static_cast<size_t>(offset)].line;
    auto text = program_.line_texts.find(condition.line);
    std::string written = text != program_.line_texts.end() ? text->second : "";
    if (ToUpper(written.substr(0, 3)) == "IF ")
      written = std::string(TrimBlanks(written.substr(3)));
    condition.written = written;
    std::string tests = program_.bytes[static_cast<size_t>(offset)].meaning;
    if (tests.starts_with("IF ")) tests = tests.substr(3);
    tests = tests.substr(0, tests.find("  else ->"));
    condition.tests = tests;
    condition.holds = holds;
    return condition;
  }

  // The ways the IF at `offset` can go from the world's state.
  std::vector<Branch> Branches(const World& world, int offset) const {
    size_t at = static_cast<size_t>(offset);
    sim::Term term{code_[at + 1], code_[at + 2], code_[at + 3]};
    std::optional<sim::TermRead> read = sim::ReadOfTerm(term);
    std::vector<Branch> branches;
    if (!read) return branches;
    bool inverted = read->inverted;
    switch (read->kind) {
      case sim::TermRead::Kind::kEqual:
      case sim::TermRead::Kind::kGreater: {
        Condition condition = MakeCondition(offset, true);
        condition.is_point = false;
        condition.slot = read->slot;
        bool greater = read->kind == sim::TermRead::Kind::kGreater;
        condition.differs = Differs(condition.written, *read);
        SymbolicState::Split split =
            world.state.SplitValue(read->slot, greater, read->number, world.time);
        // `written` names the term as coded, NOT included: it holds when the
        // term's result does.
        AddValue(branches, split, condition, inverted);
        return branches;
      }
      case sim::TermRead::Kind::kAnyOfFamily:
        read->point = {kAnyOfFamilyBase + read->point.family, 0, 0};
        [[fallthrough]];
      case sim::TermRead::Kind::kPoint:
        break;
    }
    if (read->or_all_counters) {
      Condition all = MakeCondition(offset, true);
      all.written = all.tests = "ALLCOUNTERSEMPTY";
      all.point = sim::AllCountersKey();
      SymbolicState::Split split = world.state.SplitPoint(all.point);
      if (split.holds) {
        Branch branch{*split.holds, !inverted, {}};
        if (split.decided_by_input) branch.conditions.push_back(all);
        branches.push_back(std::move(branch));
      }
      if (!split.fails) return branches;
      std::vector<Condition> before;
      if (split.decided_by_input) {
        all.holds = false;
        before.push_back(all);
      }
      World rest{*split.fails, {}, {}, {}, world.time, {}};
      AddPoint(branches, rest, offset, *read, before);
      return branches;
    }
    AddPoint(branches, world, offset, *read, {});
    return branches;
  }

  void AddValue(std::vector<Branch>& branches, const SymbolicState::Split& split,
                Condition condition, bool inverted) const {
    for (bool side : {true, false}) {
      const std::optional<SymbolicState>& state = side ? split.holds : split.fails;
      if (!state) continue;
      bool result = side != inverted;
      Branch branch{*state, result, {}};
      if (split.decided_by_input) {
        condition.holds = result;
        branch.conditions.push_back(condition);
      }
      branches.push_back(std::move(branch));
    }
  }

  void AddPoint(std::vector<Branch>& branches, const World& world, int offset,
                const sim::TermRead& read, const std::vector<Condition>& before) const {
    SymbolicState::Split split = world.state.SplitPoint(read.point);
    Condition condition = MakeCondition(offset, true);
    condition.point = read.point;
    condition.inverted = read.inverted;
    for (bool side : {true, false}) {
      const std::optional<SymbolicState>& state = side ? split.holds : split.fails;
      if (!state) continue;
      bool result = side != read.inverted;
      Branch branch{*state, result, before};
      if (split.decided_by_input) {
        condition.holds = result;
        branch.conditions.push_back(condition);
      }
      branches.push_back(std::move(branch));
    }
  }

  std::optional<int> Parameter(int id) const {
    auto it = program_.parameters.find(id);
    if (it == program_.parameters.end()) return std::nullopt;
    return it->second & kByteMask;
  }

  // Runs one instruction other than IF.
  void Step(World& world, RunState& run, int length) {
    size_t at = static_cast<size_t>(run.pc);
    int opcode = code_[at];
    int a = length > 1 ? code_[at + 1] : 0;
    int b = length > 2 ? code_[at + 2] : 0;
    int next = run.pc + length;
    if (opcode == static_cast<int>(Op::kElse)) {
      run.pc = next + a + (b << 8);
      return;
    }
    Effect effect;
    effect.offset = run.pc;
    effect.line = program_.bytes[at].line;
    effect.bytes.assign(code_.begin() + run.pc, code_.begin() + next);
    effect.instruction = program_.bytes[at].meaning;
    world.path.effects.push_back(std::move(effect));
    run.pc = next;
    SymbolicState& state = world.state;
    if (const sim::SwitchRule* rule = sim::FindSwitchRule(opcode)) {
      sim::PointKey key = sim::KeyOf(*rule, a, b);
      if (rule->action == sim::Action::kToggle) {
        state.TogglePoint(key);
      } else {
        state.SetPoint(key, rule->action == sim::Action::kOn);
      }
      return;
    }
    using sim::ValueKind;
    std::optional<int> parameter =
        Parameter(opcode == static_cast<int>(Op::kDelayParameter) ? a : b);
    switch (static_cast<Op>(opcode)) {
      case Op::kRegisterLoad:
        return state.Load({ValueKind::kRegister, a}, b, world.time);
      case Op::kRegisterAdd:
        return state.Add({ValueKind::kRegister, a}, b, world.time);
      case Op::kRegisterSubtract:
        return state.Add({ValueKind::kRegister, a}, -b, world.time);
      case Op::kTimerLoad:
        return state.Load({ValueKind::kTimer, a}, b, world.time);
      case Op::kRegisterFromParameter:
      case Op::kTimerFromParameter: {
        if (!parameter) return Stop(world);
        bool reg = opcode == static_cast<int>(Op::kRegisterFromParameter);
        return state.Load({reg ? ValueKind::kRegister : ValueKind::kTimer, a}, *parameter,
                          world.time);
      }
      case Op::kSetByte1:
        return state.Load({ValueKind::kByte1, 0}, a, world.time);
      case Op::kSetByte2:
        return state.Load({ValueKind::kByte2, 0}, a, world.time);
      case Op::kSystemKey:
        if (std::optional<bool> armed = sim::ArmedAfterKey(a)) {
          state.SetPoint(sim::ArmedKey(b), *armed);
        }
        return;
      case Op::kExecute:
        world.path.queued.push_back(a);
        return;
      case Op::kBreak:
        world.current.reset();
        return;
      case Op::kDelay:
        return Suspend(world, a);
      case Op::kDelayParameter:
        if (!parameter) return Stop(world);
        return Suspend(world, *parameter);
      default:
        return;  // doors, marks, calls, signals, displays: effects only
    }
  }

  void Suspend(World& world, int seconds) {
    if (seconds == 0) return;
    world.path.seconds = std::max(world.path.seconds, world.time + seconds);
    RunState run = *world.current;
    run.wake = world.time + seconds;
    world.sleeping.push_back(run);
    world.current.reset();
  }

  // Lines whose instructions no path runs.
  void FindDead() {
    std::map<int, bool> lines;  // line -> some instruction of it runs
    for (const sim::Program::Block& block : program_.blocks) {
      if (block.module != table_.event.module || block.event != table_.event.event) continue;
      for (int pc : InstructionOffsets(program_, block)) {
        if (IsElse(program_, pc)) continue;
        int line = program_.bytes[static_cast<size_t>(pc)].line;
        lines[line] = lines[line] || table_.run_offsets.contains(pc);
      }
    }
    for (const auto& [line, run] : lines) {
      if (run) continue;
      auto text = program_.line_texts.find(line);
      table_.dead.push_back({line, text != program_.line_texts.end() ? text->second : ""});
    }
  }

  const sim::Program& program_;
  const std::vector<uint8_t>& code_;
  EventPaths table_;
};

}  // namespace

EventPaths ExploreEvent(const sim::Program& program, const sim::EventInfo& event) {
  return Explorer(program, event).Run();
}

std::vector<EventPaths> ExploreAll(const sim::Program& program) {
  std::vector<EventPaths> tables;
  for (const sim::EventInfo& event : sim::Events(program)) {
    tables.push_back(ExploreEvent(program, event));
  }
  return tables;
}

namespace {

std::string WrittenText(const Condition& condition) {
  const std::string& written = condition.written;
  std::string upper = ToUpper(written);
  bool negated = upper.starts_with("NOT ");
  std::string rest = negated ? std::string(TrimBlanks(written.substr(4))) : written;
  if (condition.holds) return negated ? "not " + rest : written;
  if (negated) return rest;
  for (auto [from, to] : {std::pair{" = ON", " = OFF"}, std::pair{" = OFF", " = ON"}}) {
    if (upper.ends_with(from)) return written.substr(0, written.size() - std::strlen(from)) + to;
  }
  return "not " + written;
}

}  // namespace

std::string ConditionText(const Condition& condition) {
  std::string text = WrittenText(condition);
  return condition.differs.empty() ? text : text + " [tests " + condition.differs + "]";
}

}  // namespace vigil::analysis
