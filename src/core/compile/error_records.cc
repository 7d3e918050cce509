#include "core/compile/error_records.h"

namespace vigil {

void ErrorList::Add(ErrorRecord record, const ErrorContext& context) {
  if (contexts_.empty() || contexts_.back() != context) contexts_.push_back(context);
  record.context = static_cast<uint32_t>(contexts_.size() - 1);
  records_.push_back(record);
}

Diagnostic ErrorList::Make(size_t index, const std::vector<SourceLine>& lines) const {
  const ErrorRecord& record = records_[index];
  const ErrorContext& context = contexts_[record.context];
  Diagnostic diagnostic;
  diagnostic.number = record.number;
  diagnostic.counted_line = record.counted_line;
  diagnostic.event_module = context.event_module;
  diagnostic.open_if_line = context.open_if_line;
  diagnostic.event_line = context.event_line;
  if (record.line != ErrorRecord::kNoLine) {
    const SourceLine& line = lines[record.line];
    diagnostic.physical_line = line.physical_line;
    diagnostic.source_text = line.text;
    diagnostic.span = record.span;
    if (record.statement_pass) diagnostic.error_file_text = line.text;
  }
  return diagnostic;
}

std::vector<Diagnostic> ErrorList::MakeAll(const std::vector<SourceLine>& lines) const {
  std::vector<Diagnostic> all;
  all.reserve(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) all.push_back(Make(i, lines));
  return all;
}

}  // namespace vigil
