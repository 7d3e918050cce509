// Printers over the diagnostics the core records: the text form that editors'
// problem matchers read, JSON, and SARIF 2.1.0 for code-scanning tools. The
// error file's line is the fourth printer (ErrorFileLine). None of them
// looks at anything but the Diagnostic records.
#ifndef VIGIL_CORE_CHECK_DIAGNOSTIC_PRINTERS_H_
#define VIGIL_CORE_CHECK_DIAGNOSTIC_PRINTERS_H_

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/lang/diagnostics.h"

namespace vigil {

// "E6" for errors, "W1" for warnings.
std::string DiagnosticCode(const Diagnostic& diagnostic);
// The warning's own text, or the error number's message.
std::string DiagnosticMessage(const Diagnostic& diagnostic);

// Where a diagnostic points within its line of the file. A lone LF inside a
// script line starts a new line of the file, so the text shown is the piece of
// the line that holds the span. Columns are 1-based bytes; `end_column` is
// the column after the last one marked (at least `column` + 1).
struct DisplayLocation {
  int line = 0;
  int column = 0;
  int end_column = 0;
  std::string_view text;  // the line of the file, without its line end
};

// The place to show: the span, or the whole statement when the span is
// unknown. Nothing when the diagnostic has no line.
std::optional<DisplayLocation> LocateDiagnostic(const Diagnostic& diagnostic);

// The text form:
//   site.txt:14:6: error: Unknown command [E6]
//      14 |   IF CR1.INPUT3 = ON
//         |      ^^^^^^^^^^
//         = note: ...
// The source line and caret line are left out when the line is blank.
std::string FormatTextDiagnostic(const Diagnostic& diagnostic, std::string_view file);

// "site.txt: 2 errors, 1 warning, 413 bytes of code"
std::string FormatSummary(std::string_view file, int errors, int warnings, int code_bytes);

// A JSON string literal, quotes included. Bytes 128 and above are written as
// \u0080 to \u00ff (the script's single-byte code page read as Latin-1), so
// the result is valid UTF-8 whatever the script holds.
std::string JsonString(std::string_view text);

// Receives a printer's output a piece at a time, so that a long list is
// never held whole; and the diagnostic at an index, made when asked for.
using TextSink = std::function<void(std::string_view)>;
using DiagnosticAt = std::function<Diagnostic(size_t)>;

// The JSON and SARIF forms below, written to `sink` one diagnostic at a time
// from diagnostics 0..count-1 of `at` (SARIF asks for each twice: once for
// its rules, once for its results).
void WriteJson(size_t count, const DiagnosticAt& at, std::string_view file, const TextSink& sink);
void WriteSarif(size_t count, const DiagnosticAt& at, std::string_view file,
                std::string_view tool_version, const TextSink& sink);

// A JSON array with one object per diagnostic: file, line, column,
// end_column, severity, code, message, notes. line and the columns are null
// for a diagnostic without a line.
std::string FormatJson(std::span<const Diagnostic> diagnostics, std::string_view file);

// A SARIF 2.1.0 log with one run: the tool's rules (the codes that occur)
// and one result per diagnostic.
std::string FormatSarif(std::span<const Diagnostic> diagnostics, std::string_view file,
                        std::string_view tool_version);

// The text with control bytes (but tabs) shown as \x1b escapes, so that a
// script's bytes cannot drive the terminal; other bytes, UTF-8 included, as
// they stand.
std::string EscapeControls(std::string_view text);

// "1 error", "3 errors": a count and its word, plural but for one.
std::string Plural(size_t count, std::string_view word);

// The 1-based column in characters (UTF-8 code points; an invalid byte counts
// as one) of the 1-based byte column `byte_column` of `line`.
int CodePointColumn(std::string_view line, int byte_column);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_DIAGNOSTIC_PRINTERS_H_
