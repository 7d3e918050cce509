#include "core/check/traps.h"

#include <algorithm>
#include <optional>
#include <string>

#include "core/check/element_prose.h"
#include "core/decode/disassembler.h"
#include "core/decode/script_code.h"
#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/opcodes.h"
#include "core/scan/edit_distance.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

Span SpanOf(std::string_view line, std::string_view part) {
  int begin = static_cast<int>(part.data() - line.data());
  return {begin, begin + static_cast<int>(part.size())};
}

class TrapFinder {
 public:
  explicit TrapFinder(const Compilation& compilation) : c_(compilation) {}

  std::vector<Diagnostic> Find() {
    ByteOrderMark();
    LineFeeds();
    Comparisons();
    IgnoredDeclarations();
    return std::move(warnings_);
  }

 private:
  Diagnostic& Add(Warn warning, const SourceLine& line, Span span, std::string message) {
    Diagnostic diagnostic;
    diagnostic.number = static_cast<int>(warning);
    diagnostic.severity = Severity::kWarning;
    diagnostic.physical_line = line.physical_line;
    diagnostic.source_text = line.text;
    diagnostic.span = span;
    diagnostic.message = std::move(message);
    warnings_.push_back(std::move(diagnostic));
    return warnings_.back();
  }

  // Whether any error points at the line: the lines with errors are read
  // once, in order, and looked up by halving.
  bool HasError(int physical_line) {
    if (!error_lines_) {
      error_lines_.emplace();
      for (size_t i = 0; i < c_.errors.size(); ++i) {
        uint32_t at = c_.errors[i].line;
        if (at != ErrorRecord::kNoLine) error_lines_->push_back(c_.lines[at].physical_line);
      }
      std::sort(error_lines_->begin(), error_lines_->end());
    }
    return std::binary_search(error_lines_->begin(), error_lines_->end(), physical_line);
  }

  // What the controller gets from a script line: the decoded instructions of
  // its code, "no code" when it appended none.
  std::string CodeOf(const SourceLine& line) {
    if (!disassembly_) disassembly_ = Disassemble(c_.code, DeclaredNames(c_.symbols));
    std::string text;
    for (const LineCode& range : c_.line_code) {
      if (range.physical_line != line.physical_line) continue;
      for (const DecodedItem& item : disassembly_->items) {
        if (item.offset < range.begin || item.offset >= range.end) continue;
        std::string meaning = item.meaning.substr(0, item.meaning.find("  else ->"));
        meaning = meaning.substr(0, meaning.find("  endif ->"));
        text += (text.empty() ? "" : "; ") + meaning;
      }
    }
    return text.empty() ? "no code" : text;
  }

  void ByteOrderMark() {
    if (c_.lines.empty() || !c_.lines.front().text.starts_with(kByteOrderMark)) return;
    const SourceLine& first = c_.lines.front();
    Diagnostic& warning =
        Add(Warn::kByteOrderMark, first, {0, 3}, "The script starts with a UTF-8 byte-order mark");
    warning.notes.push_back(
        "its three bytes are read as part of the first line, which then starts with no keyword "
        "the compiler knows");
    warning.notes.push_back("remove them: vigil fix rewrites the script without them");
  }

  void LineFeeds() {
    const std::string& source = *c_.source;
    if (source.find('\n') == std::string::npos) return;
    if (source.find('\r') == std::string::npos) {
      const SourceLine& first = c_.lines.front();
      size_t lf = first.text.find('\n');
      Diagnostic& warning =
          Add(Warn::kLoneLineFeed, first, {static_cast<int>(lf), static_cast<int>(lf) + 1},
              "Every line ends in LF alone: the whole script is read as one line");
      warning.notes.push_back("the controller gets: " + CodeOf(first));
      warning.notes.push_back("lines end in CR LF; convert them with vigil fix");
      return;
    }
    for (const SourceLine& line : c_.lines) {
      std::string_view text = line.text;
      int physical = line.physical_line;
      for (size_t lf = text.find('\n'); lf != std::string_view::npos;
           lf = text.find('\n', lf + 1)) {
        ++physical;
        size_t next = std::min(text.find('\n', lf + 1), text.size());
        std::string_view swallowed = TrimBlanks(text.substr(lf + 1, next - lf - 1));
        if (swallowed.empty()) continue;
        Diagnostic& warning =
            Add(Warn::kLoneLineFeed, line, SpanOf(text, swallowed),
                "Line " + std::to_string(physical - 1) +
                    " ends in LF alone, so this line is read as part of it, not as a statement");
        warning.notes.push_back("the controller gets from line " +
                                std::to_string(line.physical_line) + ": " + CodeOf(line));
        warning.notes.push_back("end the line in CR LF; vigil fix converts the line ends");
      }
    }
  }

  // ">=", "<=", "<>" and "<" in an IF line.
  void Comparisons() {
    for (const SourceLine& line : c_.lines) {
      std::string_view rest = line.text;
      if (!TakeWord(rest, "IF") || HasError(line.physical_line)) continue;
      size_t at = line.text.find_first_of("<>");
      while (at != std::string_view::npos && line.text[at] == '>' &&
             (at + 1 >= line.text.size() || line.text[at + 1] != '=')) {
        at = line.text.find_first_of("<>", at + 1);
      }
      if (at == std::string_view::npos) continue;
      size_t length =
          at + 1 < line.text.size() &&
                  (line.text[at + 1] == '=' || (line.text[at] == '<' && line.text[at + 1] == '>'))
              ? 2
              : 1;
      std::string_view op = line.text.substr(at, length);
      Diagnostic& warning = Add(Warn::kComparison, line, SpanOf(line.text, op),
                                "\"" + std::string(op) +
                                    "\" is no comparison of the language; the condition "
                                    "compiled as another test");
      warning.notes.push_back("the controller gets: " + CodeOf(line));
      warning.notes.push_back(
          "conditions compare with = and > only: write IF R > 2 for R >= 3, IF NOT R > 2 for "
          "R < 3, IF NOT R = 3 for R <> 3");
    }
  }

  void IgnoredDeclarations() {
    for (const IgnoredDeclaration& ignored : c_.ignored_declarations) {
      const SourceLine* line = c_.Line(ignored.line);
      if (line == nullptr) continue;
      switch (ignored.why) {
        case IgnoredDeclaration::Why::kIndented: {
          Diagnostic& warning =
              Add(Warn::kIgnoredDeclaration, *line, ignored.span,
                  "Indented declaration line: it is not read, and declares or sets nothing");
          warning.notes.push_back(
              "MODULE, PARTITION and DEVICE lines are read only when the keyword stands at the "
              "very start of the line");
          break;
        }
        case IgnoredDeclaration::Why::kAfterFirstEvent: {
          Diagnostic& warning =
              Add(Warn::kIgnoredDeclaration, *line, ignored.span,
                  "Declaration after the first EVENT line: it is not read, and declares nothing");
          warning.notes.push_back(
              "MODULE and PARTITION lines are read only above the first EVENT line; move it up");
          break;
        }
        case IgnoredDeclaration::Why::kUnknownDevice:
          UnknownDevice(ignored, *line);
          break;
      }
    }
  }

  void UnknownDevice(const IgnoredDeclaration& ignored, const SourceLine& line) {
    std::string device(
        line.text.substr(static_cast<size_t>(ignored.span.begin),
                         static_cast<size_t>(ignored.span.end - ignored.span.begin)));
    Diagnostic& warning = Add(Warn::kIgnoredDeclaration, line, ignored.span,
                              "No device " + device + " is saved by " +
                                  KindDescription(ignored.module) + ": the line sets nothing");
    if (EqualsIgnoreCase(device, "UserEvents")) {
      warning.notes.push_back("UserEvents is read only when written exactly so, as UserEvents");
      return;
    }
    warning.notes.push_back("the events of the module's devices are saved as before");
    std::string nearest = NearestWord(device, ElementNamesOfKind(ignored.module));
    if (!nearest.empty()) warning.notes.push_back("did you mean " + nearest + "?");
  }

  const Compilation& c_;
  std::optional<Disassembly> disassembly_;
  std::vector<Diagnostic> warnings_;
  std::optional<std::vector<int>> error_lines_;
};

}  // namespace

std::vector<Diagnostic> TrapWarnings(const Compilation& compilation) {
  return TrapFinder(compilation).Find();
}

}  // namespace vigil
