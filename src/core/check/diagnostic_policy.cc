#include "core/check/diagnostic_policy.h"

#include <algorithm>
#include <limits>

#include "core/check/notes.h"
#include "core/check/warnings.h"

namespace vigil {
namespace {

bool IsLineEndTrouble(const Diagnostic& diagnostic) {
  return diagnostic.severity == Severity::kWarning &&
         (diagnostic.number == static_cast<int>(Warn::kLoneLineFeed) ||
          diagnostic.number == static_cast<int>(Warn::kByteOrderMark));
}

}  // namespace

ShownDiagnostics::ShownDiagnostics(const Compilation& compilation, DiagnosticPolicy policy)
    : compilation_(&compilation),
      cascade_(policy.all ? Cascade() : FindCascade(compilation)),
      warnings_(Warnings(compilation)) {
  size_t errors = compilation.errors.size();
  order_.reserve(errors - static_cast<size_t>(cascade_.caused) + warnings_.size());
  for (size_t i = 0; i < errors; ++i) {
    if (!cascade_.Follows(i, compilation.ErrorAt(i))) order_.push_back(static_cast<uint32_t>(i));
  }
  for (size_t i = 0; i < warnings_.size(); ++i) {
    order_.push_back(static_cast<uint32_t>(errors + i));
  }
  // Line order, a diagnostic without a line last; line-end trouble first
  // when asked. Errors arrive mostly in line order: sort only when not.
  auto key = [&](uint32_t index) -> int64_t {
    int line = 0;
    if (index >= errors) {
      const Diagnostic& warning = warnings_[index - errors];
      if (policy.line_ends_first && IsLineEndTrouble(warning)) return 0;
      line = warning.physical_line;
    } else if (uint32_t at = compilation.errors[index].line; at != ErrorRecord::kNoLine) {
      line = compilation.lines[at].physical_line;
    }
    return line > 0 ? line : std::numeric_limits<int64_t>::max();
  };
  auto before = [&](uint32_t a, uint32_t b) { return key(a) < key(b); };
  if (!std::is_sorted(order_.begin(), order_.end(), before)) {
    std::stable_sort(order_.begin(), order_.end(), before);
  }
}

Diagnostic ShownDiagnostics::operator[](size_t index) const {
  uint32_t at = order_[index];
  size_t errors = compilation_->errors.size();
  if (at >= errors) return warnings_[at - errors];
  Diagnostic shown = compilation_->ErrorAt(at);
  if (at < kAnnotatedErrors) shown.notes = NotesOf(*compilation_, shown);
  if (at == cascade_.cause && cascade_.caused > 0)
    shown.notes.push_back(CascadeNote(cascade_.caused));
  return shown;
}

}  // namespace vigil
