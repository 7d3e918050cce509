// The errors as the compiler keeps them: a small record each, with no text
// of its own, so that a script of millions of errors holds a few dozen bytes
// per error. The full Diagnostic of a record is made when a front end asks.
#ifndef VIGIL_CORE_COMPILE_ERROR_RECORDS_H_
#define VIGIL_CORE_COMPILE_ERROR_RECORDS_H_

#include <cstdint>
#include <deque>
#include <vector>

#include "core/compile/source_lines.h"
#include "core/lang/diagnostics.h"

namespace vigil {

// What was open when an error was reported, for the notes: the open event's
// module id (-1 when none), the physical lines of the IF at the current
// nesting level and of the last EVENT (0 when none).
struct ErrorContext {
  int event_module = -1;
  int open_if_line = 0;
  int event_line = 0;
  bool operator==(const ErrorContext&) const = default;
};

struct ErrorRecord {
  static constexpr uint32_t kNoLine = UINT32_MAX;
  uint32_t line = kNoLine;  // index into the lines, kNoLine when none
  int32_t counted_line = 0;
  Span span;             // within the line's text
  uint32_t context = 0;  // index into the contexts
  uint8_t number = 0;
  bool statement_pass = false;  // the error file shows the line's text
};
static_assert(sizeof(ErrorRecord) <= 24);

// The errors in the order reported, and the contexts they point at; errors
// reported in a row under the same context share one. A deque grows without
// copying what it holds, so the peak stays near the final size.
class ErrorList {
 public:
  void Add(ErrorRecord record, const ErrorContext& context);
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }
  const ErrorRecord& operator[](size_t index) const { return records_[index]; }
  // The Diagnostic of error `index`; its texts are views into `lines`.
  Diagnostic Make(size_t index, const std::vector<SourceLine>& lines) const;
  // Every error's Diagnostic.
  std::vector<Diagnostic> MakeAll(const std::vector<SourceLine>& lines) const;

 private:
  std::deque<ErrorRecord> records_;
  std::vector<ErrorContext> contexts_;
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_ERROR_RECORDS_H_
