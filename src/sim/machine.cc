#include "sim/machine.h"

#include <algorithm>
#include <optional>

#include "core/decode/code_names.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"
#include "sim/labels.h"
#include "sim/switch_rules.h"

namespace vigil::sim {
namespace {

constexpr int kByteMask = 255;
constexpr int kTimer10Period = 10;

int Code(Op op) { return static_cast<int>(op); }

std::string Quoted(const std::map<int, std::string>& texts, int id) {
  auto it = texts.find(id);
  return it != texts.end() ? "\"" + it->second + "\"" : "mark " + std::to_string(id);
}

std::string DoorText(const State& state, int module) {
  auto it = state.open_doors.find(module);
  if (it == state.open_doors.end()) return "closed";
  return "open (" + std::to_string(it->second) + " s left)";
}

}  // namespace

std::string Cuts::Text() const {
  std::string text;
  auto add = [&](bool cut, std::string_view what) {
    if (cut) text += (text.empty() ? "" : ", ") + std::string(what);
  };
  add(trace, "trace entries");
  add(runs, "event runs");
  add(time, "simulated time");
  return text;
}

Machine::Machine(const Program& program) : program_(program) {
  int timer1 = EventCode("TIMER1SEC").value_or(-1);
  int timer10 = EventCode("TIMER10SEC").value_or(-1);
  periodic_ = std::any_of(program.blocks.begin(), program.blocks.end(), [&](const auto& block) {
    return block.module == kControllerId && (block.event == timer1 || block.event == timer10);
  });
}

TraceEntry Machine::Entry(TraceEntry::Kind kind, int offset) const {
  TraceEntry entry;
  entry.kind = kind;
  entry.time = time_;
  entry.offset = offset;
  if (offset >= 0 && offset < static_cast<int>(program_.bytes.size())) {
    const Program::ByteInfo& info = program_.bytes[static_cast<size_t>(offset)];
    entry.line = info.line;
    entry.depth = info.depth;
    entry.instruction = info.meaning;
  }
  return entry;
}

std::string Machine::LineAt(int offset) const {
  if (offset >= static_cast<int>(program_.code.size()) ||
      program_.code[static_cast<size_t>(offset)] == kEventMarker) {
    return "the end of the event";
  }
  return "line " + std::to_string(program_.bytes[static_cast<size_t>(offset)].line);
}

void Machine::Record(TraceEntry entry) {
  if (trace_.size() < kMaxTraceEntries) {
    trace_.push_back(std::move(entry));
  } else if (trace_.size() == kMaxTraceEntries) {
    TraceEntry full = Entry(TraceEntry::Kind::kCut, -1);
    full.effect = "cut: the trace holds " + std::to_string(kMaxTraceEntries) +
                  " entries; later steps run but are not shown";
    trace_.push_back(std::move(full));
    cuts_.trace = true;
  }
}

bool Machine::Fire(int module, int event, std::string_view label) {
  if (!label.empty()) fired_labels_[{module, event}] = ToUpper(label);
  runs_this_step_ = 0;
  cut_reported_ = false;
  bool any =
      std::any_of(program_.blocks.begin(), program_.blocks.end(),
                  [&](const Program::Block& b) { return b.module == module && b.event == event; });
  if (!any) {
    TraceEntry entry = Entry(TraceEntry::Kind::kEventStart, -1);
    entry.instruction = label.empty() ? EventLabel(program_, module, event) : ToUpper(label);
    entry.effect = "(the script has no block for this event: nothing happens)";
    Record(std::move(entry));
    return false;
  }
  starting_fired_ = true;
  Start(module, event);
  RunReady();
  return true;
}

void Machine::Start(int module, int event) {
  for (const Program::Block& block : program_.blocks) {
    if (block.module != module || block.event != event) continue;
    if (runs_this_step_ >= kMaxRunsPerStep) {
      if (!cut_reported_) {
        TraceEntry entry = Entry(TraceEntry::Kind::kCut, -1);
        entry.effect = "cut: more than " + std::to_string(kMaxRunsPerStep) +
                       " event runs in one step; " + EventLabel(program_, module, event) +
                       " and the events after it are dropped";
        Record(std::move(entry));
        cut_reported_ = true;
      }
      cuts_.runs = true;
      return;
    }
    ++runs_this_step_;
    Run run;
    run.module = module;
    run.event = event;
    run.pc = block.start;
    run.wake = -1;  // not started
    run.serial = serial_++;
    run.fired = starting_fired_;
    ready_.push_back(run);
  }
}

void Machine::RunReady() {
  while (!ready_.empty()) {
    Run run = ready_.front();
    ready_.pop_front();
    starting_fired_ = run.fired;  // what it queues is part of its run
    Execute(run);
  }
}

void Machine::Execute(Run& run) {
  TraceEntry head =
      Entry(run.wake < 0 ? TraceEntry::Kind::kEventStart : TraceEntry::Kind::kResume, -1);
  auto fired = fired_labels_.find({run.module, run.event});
  head.instruction =
      fired != fired_labels_.end() ? fired->second : EventLabel(program_, run.module, run.event);
  if (run.wake < 0) {
    head.effect = "(" + std::string(ModuleKindName(ModuleKindOf(run.module))) + " " +
                  ModuleName(program_, run.module) + ", id " + std::to_string(run.module) + ")";
  } else {
    head.effect = "resumes after its DELAY";
  }
  Record(std::move(head));
  last_line_ = 0;
  int size = static_cast<int>(program_.code.size());
  while (run.pc < size && program_.code[static_cast<size_t>(run.pc)] != kEventMarker) {
    TraceEntry entry = Entry(TraceEntry::Kind::kStep, run.pc);
    if (entry.line != last_line_) {
      auto it = program_.line_texts.find(entry.line);
      if (it != program_.line_texts.end()) entry.source = it->second;
      last_line_ = entry.line;
    }
    if (coverage_) ++coverage_->runs[run.pc];
    Next next = Step(run, entry);
    Record(std::move(entry));
    if (next != Next::kContinue) return;
  }
}

Machine::Next Machine::Step(Run& run, TraceEntry& entry) {
  size_t at = static_cast<size_t>(run.pc);
  int opcode = program_.code[at];
  std::optional<OpcodeInfo> info = InstructionInfo(opcode);
  int length = info ? InstructionLength(*info) : 0;
  if (!info || at + static_cast<size_t>(length) > program_.code.size()) {
    entry.kind = TraceEntry::Kind::kCannotRun;
    entry.effect = "cannot run byte " + std::to_string(opcode) +
                   (info ? " (cut short)" : " (no such instruction)") + ": the event stops here";
    return Next::kEnd;
  }
  auto operand = [&](size_t n) {
    return static_cast<size_t>(length) > n ? static_cast<int>(program_.code[at + n]) : 0;
  };
  int a = operand(1);
  int b = operand(2);
  int c = operand(3);
  if (opcode == Code(Op::kIf)) return StepIf(run, entry);
  run.pc += length;
  if (FindSwitchRule(opcode)) return StepSwitch(opcode, a, b, entry);
  switch (static_cast<Op>(opcode)) {
    case Op::kRegisterLoad:
    case Op::kRegisterAdd:
    case Op::kRegisterSubtract:
    case Op::kRegisterFromParameter:
    case Op::kTimerLoad:
    case Op::kTimerFromParameter:
    case Op::kSetByte1:
    case Op::kSetByte2:
      return StepValue(opcode, a, b, entry);
    case Op::kMark:
    case Op::kDial:
    case Op::kSignal:
    case Op::kReadAd:
    case Op::kEraseCard:
    case Op::kDisplay:
      return StepRecord(opcode, a, b, entry);
    default:
      return StepOther(opcode, a, b, c, run, entry);
  }
}

Machine::Next Machine::StepIf(Run& run, TraceEntry& entry) {
  size_t at = static_cast<size_t>(run.pc);
  Term term{program_.code[at + 1], program_.code[at + 2], program_.code[at + 3]};
  int target = run.pc + 6 + program_.code[at + 4] + (program_.code[at + 5] << 8);
  std::optional<bool> result = TestTerm(state_, term);
  if (!result) {
    entry.kind = TraceEntry::Kind::kCannotRun;
    entry.effect =
        "cannot test condition byte " + std::to_string(term.code) + ": the event stops here";
    return Next::kEnd;
  }
  entry.taken = *result;
  if (coverage_) ++coverage_->branch[run.pc][*result ? 0 : 1];
  entry.effect = TermReading(program_, state_, term);
  if (*result) {
    run.pc += 6;
  } else {
    entry.effect += ", skip to " + LineAt(target);
    run.pc = target;
  }
  return Next::kContinue;
}

void Machine::Point(TraceEntry& entry, PointKey key, bool on) {
  bool before = state_.SetPoint(key, on);
  Change change{PointLabel(program_, key), OnOff(before), OnOff(on)};
  entry.effect += (entry.effect.empty() ? "" : "; ") + ChangeText(change);
  entry.changes.push_back(std::move(change));
}

void Machine::Value(TraceEntry& entry, std::string what, int& value, int after) {
  Change change{std::move(what), std::to_string(value), std::to_string(after)};
  value = after;
  entry.effect += (entry.effect.empty() ? "" : "; ") + ChangeText(change);
  entry.changes.push_back(std::move(change));
}

Machine::Next Machine::StepSwitch(int opcode, int a, int b, TraceEntry& entry) {
  const SwitchRule& rule = *FindSwitchRule(opcode);
  PointKey key = KeyOf(rule, a, b);
  bool on = rule.action == Action::kOn || (rule.action == Action::kToggle && !state_.Point(key));
  Point(entry, key, on);
  return Next::kContinue;
}

Machine::Next Machine::StepValue(int opcode, int a, int b, TraceEntry& entry) {
  const SiteNames& names = program_.names;
  size_t id = static_cast<size_t>(a);
  auto parameter = [&](int p) -> std::optional<int> {
    auto it = program_.parameters.find(p);
    if (it == program_.parameters.end()) return std::nullopt;
    return it->second & kByteMask;
  };
  switch (static_cast<Op>(opcode)) {
    case Op::kRegisterLoad:
      Value(entry, IdName("register", a, names.registers), state_.registers[id], b);
      break;
    case Op::kRegisterAdd: {
      int sum = state_.registers[id] + b;
      Value(entry, IdName("register", a, names.registers), state_.registers[id], sum & kByteMask);
      if (sum > kByteMask) entry.effect += " (wrapped past 255)";
      break;
    }
    case Op::kRegisterSubtract: {
      int difference = state_.registers[id] - b;
      Value(entry, IdName("register", a, names.registers), state_.registers[id],
            difference & kByteMask);
      if (difference < 0) entry.effect += " (wrapped below 0)";
      break;
    }
    case Op::kTimerLoad:
      Value(entry, IdName("timer", a, names.timers), state_.timers[id], b);
      break;
    case Op::kRegisterFromParameter:
    case Op::kTimerFromParameter: {
      std::optional<int> value = parameter(b);
      if (!value) {
        entry.kind = TraceEntry::Kind::kCannotRun;
        entry.effect =
            "cannot run: parameter " + std::to_string(b) + " is not declared; the event stops here";
        return Next::kEnd;
      }
      bool reg = opcode == Code(Op::kRegisterFromParameter);
      Value(entry, reg ? IdName("register", a, names.registers) : IdName("timer", a, names.timers),
            reg ? state_.registers[id] : state_.timers[id], *value);
      break;
    }
    case Op::kSetByte1:
      Value(entry, "BYTE1", state_.byte1, a);
      break;
    case Op::kSetByte2:
      Value(entry, "BYTE2", state_.byte2, a);
      break;
    default:
      break;
  }
  return Next::kContinue;
}

Machine::Next Machine::StepRecord(int opcode, int a, int b, TraceEntry& entry) {
  switch (static_cast<Op>(opcode)) {
    case Op::kMark:
      happenings_.push_back({Happening::Kind::kMark, a, 0});
      entry.effect = "archive: " + Quoted(program_.mark_texts, a);
      break;
    case Op::kDial:
      happenings_.push_back({Happening::Kind::kDial, a, b});
      entry.effect = "dial " + std::to_string(a) + ": " + Quoted(program_.mark_texts, b);
      break;
    case Op::kSignal:
      entry.effect = "sends signal " + std::to_string(b) + " to " + ModuleName(program_, a);
      break;
    case Op::kReadAd:
      entry.effect = "asks for analogue input " + std::to_string(a);
      break;
    case Op::kEraseCard:
      entry.effect = "erases the card presented from the card list";
      break;
    case Op::kDisplay:
      entry.effect = "display of " + ModuleName(program_, a) + " shows " + DisplayNumber(b);
      break;
    default:
      break;
  }
  return Next::kContinue;
}

Machine::Next Machine::StepOther(int opcode, int a, int b, int c, Run& run, TraceEntry& entry) {
  switch (static_cast<Op>(opcode)) {
    case Op::kDelay:
      return Suspend(run, a, entry);
    case Op::kDelayParameter: {
      auto it = program_.parameters.find(a);
      if (it == program_.parameters.end()) {
        entry.kind = TraceEntry::Kind::kCannotRun;
        entry.effect =
            "cannot run: parameter " + std::to_string(a) + " is not declared; the event stops here";
        return Next::kEnd;
      }
      return Suspend(run, it->second & kByteMask, entry);
    }
    case Op::kDoorOpen: {
      auto strike = program_.strike_times.find(a);
      int seconds = strike != program_.strike_times.end() ? strike->second : 0;
      std::string before = DoorText(state_, a);
      if (seconds > 0) state_.open_doors[a] = seconds;
      Change change{"door of " + ModuleName(program_, a), before, DoorText(state_, a)};
      entry.effect = seconds > 0 ? ChangeText(change)
                                 : "no strike time for " + ModuleName(program_, a) +
                                       ": the door stays " + before;
      entry.changes.push_back(std::move(change));
      happenings_.push_back({Happening::Kind::kDoor, a, 0});
      return Next::kContinue;
    }
    case Op::kElse: {
      int target = run.pc + a + (b << 8);
      entry.effect = "end of the IF branch, skip to " + LineAt(target);
      run.pc = target;
      return Next::kContinue;
    }
    case Op::kExecute:
      if (runs_this_step_ >= kMaxRunsPerStep) {
        entry.effect = "dropped: " + EventLabel(program_, 0, a) + " (the step's " +
                       std::to_string(kMaxRunsPerStep) + " event runs are used up)";
        Start(kControllerId, a);  // records the cut once
        return Next::kContinue;
      }
      entry.effect = "queues " + EventLabel(program_, 0, a);
      if (std::none_of(program_.blocks.begin(), program_.blocks.end(),
                       [&](const Program::Block& block) {
                         return block.module == kControllerId && block.event == a;
                       })) {
        entry.effect += " (the script has no block for it)";
      }
      Start(kControllerId, a);
      return Next::kContinue;
    case Op::kBreak:
      entry.effect = "the event ends here";
      return Next::kEnd;
    case Op::kSystemKey: {
      entry.effect = "sends key " + SystemKeyName(a) + " to " + ModuleName(program_, b);
      if (std::optional<bool> armed = ArmedAfterKey(a)) {
        Point(entry, ArmedKey(b), *armed);
      }
      (void)c;
      return Next::kContinue;
    }
    default:
      entry.kind = TraceEntry::Kind::kCannotRun;
      entry.effect = "the model cannot run " + std::to_string(opcode) + "; the event stops here";
      return Next::kEnd;
  }
}

Machine::Next Machine::Suspend(Run& run, int seconds, TraceEntry& entry) {
  entry.effect = "waits " + std::to_string(seconds) + " s";
  if (seconds == 0) return Next::kContinue;
  entry.effect += " (until " + std::to_string(time_ + seconds) + " s)";
  run.wake = time_ + seconds;
  sleeping_.push_back(run);
  return Next::kSuspend;
}

void Machine::Tick() {
  ++time_;
  runs_this_step_ = 0;
  cut_reported_ = false;
  for (int& timer : state_.timers) timer = std::max(0, timer - 1);
  for (auto it = state_.open_doors.begin(); it != state_.open_doors.end();) {
    it = --it->second <= 0 ? state_.open_doors.erase(it) : std::next(it);
  }
  std::vector<Run> waking;
  auto due = [&](const Run& run) { return run.wake <= time_; };
  std::copy_if(sleeping_.begin(), sleeping_.end(), std::back_inserter(waking), due);
  sleeping_.erase(std::remove_if(sleeping_.begin(), sleeping_.end(), due), sleeping_.end());
  std::stable_sort(waking.begin(), waking.end(), [](const Run& x, const Run& y) {
    return x.wake != y.wake ? x.wake < y.wake : x.serial < y.serial;
  });
  for (const Run& run : waking) ready_.push_back(run);
  RunReady();
  starting_fired_ = false;
  Start(kControllerId, EventCode("TIMER1SEC").value_or(0));
  if (time_ % kTimer10Period == 0) Start(kControllerId, EventCode("TIMER10SEC").value_or(0));
  RunReady();
}

int Machine::SkipIdle(int seconds) {
  if (periodic_) return 0;
  int idle = seconds;
  for (const Run& run : sleeping_) idle = std::min(idle, run.wake - time_ - 1);
  if (idle <= 0) return 0;
  time_ += idle;
  for (int& timer : state_.timers) timer = std::max(0, timer - idle);
  for (auto it = state_.open_doors.begin(); it != state_.open_doors.end();) {
    it = (it->second -= idle) <= 0 ? state_.open_doors.erase(it) : std::next(it);
  }
  return idle;
}

void Machine::Wait(int seconds) {
  while (seconds > 0) {
    seconds -= SkipIdle(seconds);
    if (seconds == 0) break;
    Tick();
    --seconds;
  }
}

void Machine::Settle(int max_seconds) {
  auto pending = [&] {
    return std::any_of(sleeping_.begin(), sleeping_.end(),
                       [](const Run& run) { return run.fired; });
  };
  int limit = time_ + max_seconds;
  while (pending() && time_ < limit) {
    int next = limit;
    for (const Run& run : sleeping_) {
      if (run.fired) next = std::min(next, run.wake);
    }
    Wait(std::max(next - time_, 1));
  }
  if (pending()) {
    TraceEntry entry = Entry(TraceEntry::Kind::kCut, -1);
    entry.effect = "cut: events still wait after " + std::to_string(max_seconds) + " s";
    Record(std::move(entry));
    cuts_.time = true;
  }
}

}  // namespace vigil::sim
