// The command words: DELAY, MARK, DOOR, DIAL, EXECUTE, SIGNAL and the rest,
// each with its parameter list and the instruction it appends.

#include "core/compile/compiler.h"
#include "core/compile/word_check.h"
#include "core/lang/known_words.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr int Code(Op op) { return static_cast<int>(op); }

int Rounded(double value) { return static_cast<int>(RoundHalfEven(value)); }

}  // namespace

void C_Compiler::CompileCommand(std::string_view rest) {
  using Handler = void (C_Compiler::*)(std::string_view, int);
  struct Command {
    std::string_view word;
    Handler handler;
    Op op;
  };
  // Recognition order matters only where one word could take another's place;
  // TakeWord compares whole words, so SETMODEPIN never takes SETMODEPINFREE.
  static constexpr Command kCommands[] = {
      {"DELAY", &C_Compiler::CommandDelay, Op::kDelay},
      {"MARK", &C_Compiler::CommandMark, Op::kMark},
      {"DOOR", &C_Compiler::CommandDoor, Op::kDoorOpen},
      {"DIAL", &C_Compiler::CommandDial, Op::kDial},
      {"EXECUTE", &C_Compiler::CommandExecute, Op::kExecute},
      {"SIGNAL", &C_Compiler::CommandSignal, Op::kSignal},
      {"BREAK", &C_Compiler::CommandSimple, Op::kBreak},
      {"READ_AD", &C_Compiler::CommandReadAd, Op::kReadAd},
      {"SETMODEPIN", &C_Compiler::CommandModePin, Op::kSetModePin},
      {"SETMODEPINFREE", &C_Compiler::CommandModePin, Op::kSetModePinFree},
      {"SETPRESENT", &C_Compiler::CommandSimple, Op::kSetPresent},
      {"CLEARPRESENT", &C_Compiler::CommandSimple, Op::kClearPresent},
      {"CLEARGROUPCOUNTER", &C_Compiler::CommandCounter, Op::kClearGroupCounter},
      {"CLEARALLCOUNTERS", &C_Compiler::CommandSimple, Op::kClearAllCounters},
      {"ERASECARD", &C_Compiler::CommandSimple, Op::kEraseCard},
      {"CLEARUSERCOUNTER", &C_Compiler::CommandCounter, Op::kClearUserCounter},
      {"SETBYTE1", &C_Compiler::CommandSetByte, Op::kSetByte1},
      {"SETBYTE2", &C_Compiler::CommandSetByte, Op::kSetByte2},
      {"DISPLAY", &C_Compiler::CommandDisplay, Op::kDisplay},
  };
  // The line is upper case: its first word compares exactly.
  WordAt first = PeekWord(rest);
  for (const Command& command : kCommands) {
    if (first.word == command.word) {
      return (this->*command.handler)(rest.substr(first.cut), Code(command.op));
    }
  }
  ReportError(Err::kUnknownCommand, first.word);
}

void C_Compiler::CommandSimple(std::string_view, int opcode) { Emit({opcode}); }

void C_Compiler::CommandDelay(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  std::string_view p = params[0];
  if (std::optional<double> x = NumericValue(p)) {
    if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, p);
    Emit({opcode, Rounded(*x)}, p);
    return;
  }
  const C_parameter* parameter = symbols_.parameters.Find(p);
  if (parameter == nullptr) return ReportError(Err::kUnknownParameter, p);
  Emit({Code(Op::kDelayParameter), parameter->id}, p);
}

void C_Compiler::CommandMark(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  const C_mark* mark = symbols_.marks.Find(params[0]);
  if (mark == nullptr) return ReportError(Err::kUnknownMark, params[0]);
  Emit({opcode, mark->id}, params[0]);
}

// Opens the door of a module: its strike relay pulses, then the relay and the
// beeper of the event's module are set off.
void C_Compiler::CommandDoor(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest, ParamMode::kAcceptEmpty);
  int event_module = current_event_module_;
  int module = event_module;
  if (!params.empty()) {
    if (!IsModuleReference(symbols_, params[0]))
      return ReportError(Err::kUnknownParameter, params[0]);
    module = ResolveModule(params[0]);
  }
  Emit({opcode, module, Code(Op::kOutputOff), module, 0, Code(Op::kBeepOff), event_module, 0},
       params.empty() ? std::string_view() : std::string_view(params[0]));
}

void C_Compiler::CommandDial(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.size() != 2) return ReportError(Err::kMissingParameters, rest);
  const C_mark* mark = symbols_.marks.Find(params[1]);
  if (mark == nullptr) return ReportError(Err::kUnknownMark, params[1]);
  double number = LeadingNumber(params[0]);
  if (number < 0 || number > 255) return ReportError(Err::kValueOutOfRange, params[0]);
  Emit({opcode, Rounded(number), mark->id}, params[0]);
}

void C_Compiler::CommandExecute(std::string_view rest, int opcode) {
  if (Contains(current_event_name_, "USEREVENT")) return ReportError(Err::kExecuteNotHere);
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  std::string_view p = params[0];
  std::optional<double> x = NumericValue(p);
  if (!x) return ReportError(Err::kNumberExpected, p);
  if (*x >= 1 && *x <= 8) {
    Emit({opcode, Rounded(*x + kUserEventLowBase)}, p);
  } else if (*x >= 9 && *x <= 73) {
    Emit({opcode, Rounded(*x + kUserEventHighBase)}, p);
  } else {
    ReportError(Err::kValueOutOfRange, p);
  }
}

void C_Compiler::CommandSignal(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty() || params.size() > 2) return;
  int module = current_event_module_;
  if (params.size() == 2) {
    if (!IsModuleName(params[0])) return ReportError(Err::kValueOutOfRange, params[0]);
    module = ResolveModule(params[0]);
  }
  std::string_view p = params.back();
  std::optional<double> x = NumericValue(p);
  if (!x) return ReportError(Err::kNumberExpected, p);
  if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, p);
  Emit({opcode, module, Rounded(*x)}, p);
}

void C_Compiler::CommandReadAd(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  if (params.size() != 1) return ReportError(Err::kUnknownParameter, rest);
  std::optional<double> x = NumericValue(params[0]);
  if (!x) return ReportError(Err::kNumberExpected, params[0]);
  if (*x < 0 || *x > 8) return ReportError(Err::kValueOutOfRange, params[0]);
  Emit({opcode, Rounded(*x)}, params[0]);
}

void C_Compiler::CommandModePin(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest, ParamMode::kAcceptEmpty);
  if (params.empty()) return ReportError(Err::kUnknownParameter, rest);
  if (!IsModuleReference(symbols_, params[0]))
    return ReportError(Err::kUnknownParameter, params[0]);
  Emit({opcode, ResolveModule(params[0]), 0}, params[0]);
}

// CLEARGROUPCOUNTER(n), CLEARUSERCOUNTER(n): n from 1 to 128.
void C_Compiler::CommandCounter(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  std::optional<double> x = NumericValue(params[0]);
  if (!x) return ReportError(Err::kNumberExpected, params[0]);
  if (*x < 1 || *x > 128) return ReportError(Err::kValueOutOfRange, params[0]);
  Emit({opcode, Rounded(*x - 1), 0}, params[0]);
}

void C_Compiler::CommandSetByte(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  std::optional<double> x = NumericValue(params[0]);
  if (!x) return ReportError(Err::kNumberExpected, params[0]);
  if (*x < 0 || *x > 255) return ReportError(Err::kValueOutOfRange, params[0]);
  Emit({opcode, Rounded(*x), 0}, params[0]);
}

// DISPLAY(n) or DISPLAY(module, n): n from 0 to 15, sent as n + 1 with 16
// sent as 0.
void C_Compiler::CommandDisplay(std::string_view rest, int opcode) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty() || params.size() > 2) return;
  if (params.size() == 2 && !IsModuleName(params[0]))
    return ReportError(Err::kValueOutOfRange, params[0]);
  std::string_view p = params.back();
  std::optional<double> x = NumericValue(p);
  if (!x) return ReportError(Err::kNumberExpected, p);
  if (*x < 0 || *x > 15) return ReportError(Err::kValueOutOfRange, p);
  int module = params.size() == 2 ? ResolveModule(params[0]) : current_event_module_;
  double shown = *x + 1 == 16 ? 0 : *x + 1;
  Emit({opcode, module, Rounded(shown)}, p);
}

}  // namespace vigil
