// The consistency a compilation keeps with its own outputs, whatever script
// it was given: the code buffer's trailer and size error, the download file's
// framing and code records read back, the error file against the error count,
// the line count, spans that lie within their lines, and the notes that
// vigil check adds to the errors. Shared by the fuzz target and the
// regression tests of what it found.
#ifndef VIGIL_FUZZ_COMPILE_CHECKS_H_
#define VIGIL_FUZZ_COMPILE_CHECKS_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/check/fix.h"
#include "core/check/notes.h"
#include "core/check/warnings.h"
#include "core/compile/compilation.h"
#include "core/compile/compiler.h"
#include "core/formats/download_file.h"
#include "core/formats/listing.h"
#include "core/formats/output_files.h"
#include "core/lang/limits.h"

namespace vigil::fuzz {

// The CR LF lines of `text`, which must end with CR LF; false when it does
// not or when a line holds a CR of its own, or a LF unless `lone_lf` allows
// it (a script line keeps its lone LFs, and the error file shows them).
inline bool SplitRecords(std::string_view text, std::vector<std::string_view>* lines,
                         bool lone_lf = false) {
  while (!text.empty()) {
    size_t end = text.find("\r\n");
    if (end == std::string_view::npos) return false;
    std::string_view line = text.substr(0, end);
    if (line.find_first_of(lone_lf ? "\r" : "\r\n") != std::string_view::npos) return false;
    lines->push_back(line);
    text.remove_prefix(end + 2);
  }
  return true;
}

// Decimal numbers separated by ";", each without leading zeros or blanks,
// "-" only in front; the record may end with ";". The values go to `fields`.
inline bool ParseRecord(std::string_view line, std::vector<long>* fields) {
  if (line.empty()) return false;
  if (line.back() == ';') line.remove_suffix(1);
  while (true) {
    size_t end = line.find(';');
    std::string_view field = line.substr(0, end);
    bool negative = !field.empty() && field.front() == '-';
    if (negative) field.remove_prefix(1);
    if (field.empty() || field.size() > 9) return false;
    if (field.size() > 1 && field.front() == '0') return false;
    long value = 0;
    for (char c : field) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (negative && value == 0) return false;
    fields->push_back(negative ? -value : value);
    if (end == std::string_view::npos) return true;
    line.remove_prefix(end + 1);
  }
}

inline bool SpanInside(const Span& span, std::string_view text) {
  if (!span.known()) return span.end == Span::kUnknown;
  return span.begin >= 0 && span.begin <= span.end && static_cast<size_t>(span.end) <= text.size();
}

// The number of lines the passes see: the script plus CR LF, cut at CR LF or
// a lone CR.
inline int LinesSeen(std::string_view source) {
  int lines = 1;
  for (size_t i = 0; i < source.size(); ++i) {
    if (source[i] != '\r') continue;
    ++lines;
    if (i + 1 < source.size() && source[i + 1] == '\n') ++i;
  }
  return lines;
}

// Reads the download file's code records back into the code buffer they
// carry: every line that begins with "9;" must be one, and they must come
// last before the closing record, at offsets 0, 245, 490, ...
inline std::string CheckDownloadFile(const std::string& file, const std::vector<uint8_t>& code) {
  std::vector<std::string_view> lines;
  if (!SplitRecords(file, &lines)) return "download file: a line does not end in CR LF";
  if (lines.size() < 2 || lines.front() != "18;7;0" || lines.back() != "18;8;0") {
    return "download file: not framed by 18;7;0 and 18;8;0";
  }
  size_t records = (code.size() + kChunkSize - 1) / kChunkSize;
  if (lines.size() < records + 2) return "download file: too few code records";
  size_t first_code = lines.size() - 1 - records;
  std::vector<uint8_t> read_back;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    std::vector<long> fields;
    if (!ParseRecord(lines[i], &fields)) {
      return "download file: line " + std::to_string(i + 1) + " is not a list of numbers";
    }
    bool is_code = lines[i].starts_with("9;");
    if (is_code != (i >= first_code)) {
      return "download file: line " + std::to_string(i + 1) + " is out of place";
    }
    if (!is_code) continue;
    if (lines[i].back() != ';') return "download file: code record without final ;";
    size_t offset = (i - first_code) * kChunkSize;
    size_t length = std::min(kChunkSize, code.size() - offset);
    if (fields.size() != length + 3 || fields[1] != static_cast<long>(offset % 256) ||
        fields[2] != static_cast<long>(offset / 256)) {
      return "download file: code record " + std::to_string(i - first_code) + " misframed";
    }
    for (size_t k = 3; k < fields.size(); ++k) {
      if (fields[k] < 0 || fields[k] > 255) return "download file: code value out of byte range";
      read_back.push_back(static_cast<uint8_t>(fields[k]));
    }
  }
  if (read_back != code) return "download file: code records differ from the code buffer";
  return "";
}

// Compiles `source` through the value API; "" when every check holds, else
// the first fault.
inline std::string CheckCompile(std::string_view source) {
  Compilation compilation = Compile(std::string(source));

  const std::vector<uint8_t>& code = compilation.code;
  size_t size = code.size();
  if (size < 3 || code[size - 1] != 255 || code[size - 2] != 255 || code[size - 3] != 255) {
    return "code buffer does not end with FF FF FF";
  }

  const std::vector<Diagnostic> diagnostics = compilation.Diagnostics();
  int errors = 0;
  bool size_error = false;
  for (const Diagnostic& diagnostic : diagnostics) {
    if (diagnostic.severity != Severity::kError) continue;
    ++errors;
    if (diagnostic.number < 1 || diagnostic.number > 31) return "error number out of 1..31";
    size_error = size_error || diagnostic.number == 31;
    if (!SpanInside(diagnostic.span, diagnostic.source_text)) return "error span outside its line";
  }
  if (errors != compilation.error_count) return "error_count differs from the errors recorded";
  if (size_error != (size > static_cast<size_t>(kMaxCodeSize))) {
    return "error 31 disagrees with the code size";
  }
  std::string error_file = ErrorFileText(compilation);
  std::vector<std::string_view> error_lines;
  if (!SplitRecords(error_file, &error_lines, /*lone_lf=*/true)) {
    return "error file: a line holds a CR";
  }
  if (static_cast<int>(error_lines.size()) != compilation.error_count) {
    return "error file: " + std::to_string(error_lines.size()) + " lines for " +
           std::to_string(compilation.error_count) + " errors";
  }
  if (compilation.counted_lines < 0 || compilation.counted_lines > LinesSeen(source)) {
    return "counted_lines " + std::to_string(compilation.counted_lines) + " out of range";
  }

  int previous_end = 0;
  for (const LineCode& line : compilation.line_code) {
    if (line.begin < previous_end || line.begin >= line.end ||
        line.end > static_cast<int>(size) - 3) {
      return "line code ranges overlap or leave the buffer";
    }
    previous_end = line.end;
  }
  for (const Diagnostic& warning : Warnings(compilation)) {
    if (!SpanInside(warning.span, warning.source_text)) return "warning span outside its line";
  }
  for (const Symbol& symbol : compilation.declarations) {
    for (const SourceSite& use : symbol.uses) {
      const SourceLine* line = compilation.Line(use.line);
      if (line == nullptr || !SpanInside(use.span, std::string(line->text))) {
        return "a use of " + symbol.name + " lies outside its line";
      }
    }
  }

  // The notes of vigil check: worked out from each error's own record; they
  // must not disturb it.
  std::vector<Diagnostic> annotated = ErrorsWithNotes(compilation);
  if (annotated.size() != diagnostics.size()) return "the notes changed the errors";
  for (const Diagnostic& diagnostic : annotated) {
    for (const std::string& note : diagnostic.notes) {
      if (note.empty()) return "an empty note";
    }
  }

  // The value gives the files the compiler object gives.
  C_Compiler engine;
  engine.set_source(std::string(source));
  engine.Compile();
  std::string engine_download =
      FormatDownloadFile({engine.DefineParameters(), engine.ModuleParameters(),
                          engine.PartitionTree(), engine.macros()});
  std::string download = DownloadFileText(compilation);
  if (download != engine_download) return "the value's download file differs from the engine's";
  if (error_file != FormatErrorFile(engine.diagnostics())) {
    return "the value's error file differs from the engine's";
  }
  if (SettingsFileText(compilation) != JoinLines(engine.SettingsTable())) {
    return "the value's settings table differs from the engine's";
  }
  return CheckDownloadFile(download, code);
}

// vigil fix keeps the code of a script whose lines end in CR LF and that
// compiles without an error. ("" when it does, else the fault.)
inline std::string CheckFixKeepsCode(std::string_view source) {
  for (size_t i = 0; i < source.size(); ++i) {
    bool crlf = source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n';
    if ((source[i] == '\r' && !crlf) || (source[i] == '\n' && (i == 0 || source[i - 1] != '\r'))) {
      return "";
    }
  }
  Compilation before = Compile(std::string(source));
  if (before.error_count > 0) return "";
  if (Compile(FixScript(source).text).code != before.code) return "vigil fix changed the code";
  return "";
}

// The language ignores case: the script with every ASCII letter upper-cased
// compiles to the same code. ("" when it does, else the fault.)
inline std::string CheckCaseIgnored(std::string_view source) {
  std::string upper(source);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  if (upper == source) return "";
  if (Compile(std::string(source)).code != Compile(upper).code)
    return "upper-casing the script changes its code";
  return "";
}

}  // namespace vigil::fuzz

#endif  // VIGIL_FUZZ_COMPILE_CHECKS_H_
