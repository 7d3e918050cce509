#include "core/compile/compiler.h"

#include <algorithm>

#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/lines.h"
#include "core/scan/tokenizer.h"

namespace vigil {

void C_Compiler::Compile() {
  SplitSource();
  DeclarationPass();

  count_lines_ = 0;
  open_events_ = 0;
  current_event_module_ = -1;
  code_.Clear();
  for (const SourceLine& line : lines_) CompileLine(line);
  code_.Append({kEventMarker, kEventMarker, kEventMarker});  // the trailer

  // The last line read stays the current line for the size check.
  if (code_.size() > kMaxCodeSize) ReportError(Err::kScriptTooLarge);
}

// The lines of the script as the language cuts them (core/scan/lines.h).
void C_Compiler::SplitSource() {
  lines_.clear();
  ForEachLine(*source_, [&](std::string_view line, int physical) {
    lines_.push_back({line, physical});
  });
}

void C_Compiler::SetWorkingLine(const SourceLine& line, bool statement_pass) {
  display_line_ = &line;
  statement_pass_ = statement_pass;
  std::string_view trimmed = statement_pass ? TrimBlanks(line.text) : line.text;
  work_offset_ = static_cast<int>(trimmed.data() - line.text.data());
  work_.assign(trimmed);
  for (char& c : work_) c = ToUpper(c);
}

void C_Compiler::ReportError(Err error, std::string_view focus) {
  ++count_errors_;
  ErrorRecord record;
  record.number = static_cast<uint8_t>(error);
  record.counted_line = count_lines_;
  record.statement_pass = statement_pass_;
  ErrorContext context{current_event_module_, 0, event_line_};
  if (if_level_ >= 1 && if_level_ <= kMaxIfLevel) {
    context.open_if_line = if_lines_[static_cast<size_t>(if_level_)];
  }
  if (display_line_ != nullptr) {
    record.line = static_cast<uint32_t>(display_line_ - lines_.data());
    record.span = SpanOf(focus);
  }
  errors_.Add(record, context);
}

// Where `focus` lies in the source line: exact when it is a view into the
// working line, else the first place the working line holds the same text.
Span C_Compiler::SpanOf(std::string_view focus) const {
  if (focus.empty()) return {};
  const char* begin = work_.data();
  const char* end = begin + work_.size();
  size_t offset;
  if (focus.data() >= begin && focus.data() + focus.size() <= end) {
    offset = static_cast<size_t>(focus.data() - begin);
  } else {
    offset = work_.find(ToUpper(focus));
    if (offset == std::string::npos) return {};
  }
  int start = work_offset_ + static_cast<int>(offset);
  return {start, start + static_cast<int>(focus.size())};
}

bool C_Compiler::Emit(std::initializer_list<int> bytes, std::string_view focus) {
  if (!CodeBuffer::AllBytes(bytes)) {
    ReportError(Err::kValueNotAByte, focus);
    return false;
  }
  code_.Append(bytes);
  return true;
}

int C_Compiler::ResolveModule(std::string_view word) {
  std::string_view module_part = ModulePart(word);
  if (const C_Module* module = symbols_.modules.Find(module_part)) return module->id;
  if (current_event_module_ != -1) return current_event_module_;
  ReportError(Err::kUnknownModule, module_part);
  return -1;
}

int C_Compiler::GetEventCode(std::string_view name, std::string_view focus) {
  if (std::optional<int> code = EventCode(name)) return *code;
  ReportError(Err::kUnknownDevice, focus.empty() ? name : focus);
  return 0;
}

int C_Compiler::GetPartitionEventCode(std::string_view name, std::string_view focus) {
  if (std::optional<int> code = PartitionEventCode(name)) return *code;
  ReportError(Err::kUnknownDevice, focus.empty() ? name : focus);
  return 0;
}

std::vector<std::string> C_Compiler::GetParam(std::string_view s, ParamMode mode) {
  ParamList list = ReadParams(s);
  switch (list.status) {
    case ParamStatus::kMissingLeft:
      ReportError(Err::kMissingLeftBracket, s);
      break;
    case ParamStatus::kMissingRight:
      ReportError(Err::kMissingRightBracket, s);
      break;
    case ParamStatus::kEmpty:
      if (mode == ParamMode::kStrict) ReportError(Err::kMissingParameters, s);
      break;
    case ParamStatus::kOk:
      break;
  }
  return std::move(list.params);
}

bool C_Compiler::IsRegistrName(std::string_view s) const {
  return symbols_.registers.Contains(TrimBlanks(s));
}

const C_registry* C_Compiler::GetRegister(std::string_view name) const {
  return symbols_.registers.Find(TrimBlanks(name));
}

std::vector<int> C_Compiler::UnclosedIfLines() const {
  std::vector<int> lines;
  int open_levels = std::min(if_level_, kMaxIfLevel);
  for (int level = 1; level <= open_levels; ++level) {
    size_t l = static_cast<size_t>(level);
    // A level whose last IF failed already has its error.
    if (if_lines_[l] != 0 && target_lines_[l] == if_lines_[l]) lines.push_back(if_lines_[l]);
  }
  return lines;
}

}  // namespace vigil
