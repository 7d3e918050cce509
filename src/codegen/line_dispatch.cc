// The statement pass, one line at a time: skipped lines, the word check, and
// the dispatch to event blocks, INVERT, IF/ELSE/ENDIF, assignments and
// commands.

#include "compiler/compiler.h"
#include "scan/tokenizer.h"
#include "tables/known_words.h"
#include "tables/name_codes.h"
#include "tables/opcodes.h"

namespace vigil {

void C_Compiler::CompileLine(const SourceLine& line) {
  SetWorkingLine(line, /*statement_pass=*/true);
  std::string_view rest = work_;
  {
    std::string_view probe = rest;
    if (TakeWord(probe, "MODULE") || TakeWord(probe, "DEVICE") || TakeWord(probe, "PARTITION")) {
      return;  // settled by the declaration pass, and not counted
    }
  }
  ++count_lines_;
  {
    std::string_view probe = rest;
    if (TakeWord(probe, "DEFINE")) return;
  }
  if (rest.empty() || rest.front() == ';') return;
  if (!CheckWords()) return;

  int code_before = code_.size();
  if (TakeWord(rest, "EVENT")) {
    CompileEvent(rest);
  } else if (TakeWord(rest, "EVENTEND")) {
    CompileEventEnd();
  } else if (current_event_module_ == -1) {
    ReportError(6);
  } else if (open_events_ == 0) {
    ReportError(25);
  } else if (TakeWord(rest, "INVERT")) {
    CompileInvert(rest);
  } else if (TakeWord(rest, "IF")) {
    CompileIf(rest);
  } else {
    CompileStatement(rest);
  }
  if (code_.size() > code_before) {
    line_code_.push_back({line.physical_line, code_before, code_.size()});
  }
}

// Every token up to the end of the line (shown by a token that repeats the one
// before) must pass the word check.
bool C_Compiler::CheckWords() {
  std::string_view scan = work_;
  std::string_view previous;
  while (true) {
    std::string_view token = TakeToken(scan);
    if (token == previous) return true;
    previous = token;
    std::string_view word = token;
    if (!IsKnownWord(word, symbols_, current_event_module_)) {
      ReportError(6, word);
      return false;
    }
  }
}

// ELSE, ENDIF, an assignment or a command; also what an IF hands back.
void C_Compiler::CompileStatement(std::string_view rest) {
  if (TakeWord(rest, "ELSE")) {
    CompileElse();
  } else if (TakeWord(rest, "ENDIF")) {
    CompileEndIf();
  } else if (Contains(rest, "=")) {
    CompileAssignment(rest);
  } else {
    CompileCommand(rest);
  }
}

void C_Compiler::CompileInvert(std::string_view rest) {
  std::vector<std::string> params = GetParam(rest);
  if (params.empty()) return;
  std::string_view name = params.front();
  Op opcode = IsOutputName(name)             ? Op::kOutputInvert
              : Contains(name, "AUXOUTPUT") ? Op::kAuxInvert
                                            : Op::kInvert;
  int module = ResolveModule(name);
  int element = GetEventCode(name);
  Emit({static_cast<int>(opcode), module, element}, name);
}

}  // namespace vigil
