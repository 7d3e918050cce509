// The statement pass, one line at a time: skipped lines, the word check, and
// the dispatch to event blocks, INVERT, IF/ELSE/ENDIF, assignments and
// commands.

#include <algorithm>

#include "core/compile/compiler.h"
#include "core/compile/word_check.h"
#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"

namespace vigil {

void C_Compiler::CompileLine(const SourceLine& line) {
  SetWorkingLine(line, /*statement_pass=*/true);
  // The working line is upper case, so its first word compares exactly.
  std::string_view rest = work_;
  WordAt first = PeekWord(rest);
  std::string_view keyword = first.word;
  if (keyword == "MODULE" || keyword == "DEVICE" || keyword == "PARTITION") {
    // Settled by the declaration pass, and not counted; it reads only lines
    // that start with the keyword, and modules only before the first EVENT.
    size_t at = std::min(line.text.find_first_not_of(" \t"), line.text.size());
    std::string_view written = line.text.substr(at, keyword.size());
    if (!StartsWithIgnoreCase(line.text, keyword)) {
      Ignore(IgnoredDeclaration::Why::kIndented, written);
    } else if (keyword != "DEVICE" && first_event_line_ > 0 &&
               line.physical_line > first_event_line_) {
      Ignore(IgnoredDeclaration::Why::kAfterFirstEvent, written);
    }
    return;
  }
  ++count_lines_;
  if (keyword == "DEFINE") return;
  if (!rest.empty() && rest.front() == ';' && record_tokens_) {
    RecordToken(TokenKind::kComment, TrimBlanks(line.text));
  }
  if (rest.empty() || rest.front() == ';') return;
  if (record_tokens_) RecordStatementTokens();
  if (!CheckWords()) return;

  int code_before = code_.size();
  std::string_view after = rest.substr(first.cut);
  if (keyword == "EVENT") {
    CompileEvent(after);
  } else if (keyword == "EVENTEND") {
    CompileEventEnd();
  } else if (current_event_module_ == -1) {
    ReportError(Err::kUnknownCommand);
  } else if (open_events_ == 0) {
    ReportError(Err::kUnreachableCode);
  } else if (keyword == "INVERT") {
    CompileInvert(after);
  } else if (keyword == "IF") {
    CompileIf(after);
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
  if (known_words_here_ == nullptr || known_words_module_ != current_event_module_) {
    known_words_here_ = &known_words_[ElementListOf(current_event_module_)];
    known_words_module_ = current_event_module_;
  }
  WordSet& known = *known_words_here_;
  // Lines repeat (ENDIF, BEEP = ON): a whole line that passed is kept in the
  // same set. A line of one token is that token, so the two never disagree.
  if (known.contains(work_)) return true;
  std::string_view scan = work_;
  std::string_view previous;
  while (true) {
    std::string_view token = TakeToken(scan);
    if (token == previous) {
      known.emplace(work_);
      return true;
    }
    previous = token;
    if (known.contains(token)) continue;
    std::string_view word = token;
    if (!IsKnownWord(word, symbols_, current_event_module_)) {
      ReportError(Err::kUnknownCommand, word);
      return false;
    }
    known.emplace(token);
  }
}

// ELSE, ENDIF, an assignment or a command; also what an IF hands back.
void C_Compiler::CompileStatement(std::string_view rest) {
  std::string_view keyword = PeekWord(rest).word;
  if (keyword == "ELSE") {
    CompileElse();
  } else if (keyword == "ENDIF") {
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
  Op opcode = IsOutputName(name)            ? Op::kOutputInvert
              : Contains(name, "AUXOUTPUT") ? Op::kAuxInvert
                                            : Op::kInvert;
  int module = ResolveModule(name);
  int element = GetEventCode(name);
  Emit({static_cast<int>(opcode), module, element}, name);
}

}  // namespace vigil
