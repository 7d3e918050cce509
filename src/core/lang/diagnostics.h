// Numbered errors: their messages, the record the compiler keeps of each
// report, and the line the error file carries for it.
#ifndef VIGIL_CORE_LANG_DIAGNOSTICS_H_
#define VIGIL_CORE_LANG_DIAGNOSTICS_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/lang/errors.h"

namespace vigil {

// A byte range within a source line; `begin == kUnknown` when the compiler
// cannot point at one word and the whole statement is meant.
struct Span {
  static constexpr int kUnknown = -1;
  int begin = kUnknown;
  int end = kUnknown;
  bool known() const { return begin != kUnknown; }
};

struct Diagnostic {
  int number = 0;  // 1 to 31 for errors
  Severity severity = Severity::kError;
  int counted_line = 0;   // the line count the error file shows
  int physical_line = 0;  // 1-based line of the script file
  // Views into the script's bytes, which the Compilation that reported the
  // diagnostic owns: a diagnostic must not outlive its Compilation (or, for
  // one made by hand, the text it was given).
  std::string_view error_file_text;  // the line text the error file shows
  std::string_view source_text;      // the physical line, for display
  Span span;                         // within source_text
  std::vector<std::string> notes;
  std::string message;  // a warning's text; errors use ErrorMessage
  // What was open when the error was reported, for the notes: the open
  // event's module id (-1 when none), the physical lines of the IF at the
  // current nesting level and of the last EVENT (0 when none).
  int event_module = -1;
  int open_if_line = 0;
  int event_line = 0;
};

// The error file's line (without line end): "00001", the counted line padded
// to five digits, the line text, "%" and the message.
std::string ErrorFileLine(const Diagnostic& diagnostic);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_DIAGNOSTICS_H_
