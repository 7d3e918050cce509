// The warning analysis, run on a compilation's value: the blocks left open,
// the declared names and their uses, the code size, and the traps (traps.cc).

#include "core/check/warnings.h"

#include <algorithm>
#include <array>
#include <string>

#include "core/check/traps.h"
#include "core/lang/limits.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// The span of the first word of a line (blanks before it skipped).
Span FirstWordSpan(std::string_view text) {
  std::string_view rest = text;
  std::string_view word = TakeWord(rest);
  if (word.empty()) return {};
  int begin = static_cast<int>(word.data() - text.data());
  return {begin, begin + static_cast<int>(word.size())};
}

// The span of what follows "IF" (and "NOT") up to the end of the statement.
Span ConditionSpan(std::string_view text) {
  std::string_view rest = text;
  if (!TakeWord(rest, "IF")) return {};
  std::string_view probe = rest;
  if (TakeWord(probe, "NOT")) rest = probe;
  std::string_view body = TrimBlanks(rest);
  while (!body.empty() && (body.front() == '\t' || body.front() == '=' || body.front() == '>')) {
    body.remove_prefix(1);
  }
  if (body.empty()) return {};
  int begin = static_cast<int>(body.data() - text.data());
  return {begin, begin + static_cast<int>(body.size())};
}

class WarningList {
 public:
  explicit WarningList(std::span<const SourceLine> lines) : lines_(lines) {}

  Diagnostic& Add(Warn warning, int physical_line, std::string message) {
    Diagnostic diagnostic;
    diagnostic.number = static_cast<int>(warning);
    diagnostic.severity = Severity::kWarning;
    diagnostic.physical_line = physical_line;
    diagnostic.message = std::move(message);
    if (const SourceLine* line = Find(physical_line)) diagnostic.source_text = line->text;
    warnings_.push_back(std::move(diagnostic));
    return warnings_.back();
  }

  void Append(Diagnostic diagnostic) { warnings_.push_back(std::move(diagnostic)); }

  const SourceLine* Find(int physical_line) const {
    auto it = std::lower_bound(
        lines_.begin(), lines_.end(), physical_line,
        [](const SourceLine& line, int wanted) { return line.physical_line < wanted; });
    return it != lines_.end() && it->physical_line == physical_line ? &*it : nullptr;
  }

  std::vector<Diagnostic> Take() {
    std::stable_sort(
        warnings_.begin(), warnings_.end(),
        [](const Diagnostic& a, const Diagnostic& b) { return a.physical_line < b.physical_line; });
    return std::move(warnings_);
  }

 private:
  std::span<const SourceLine> lines_;
  std::vector<Diagnostic> warnings_;
};

void AddUnused(WarningList& list, const Compilation& compilation) {
  for (const Symbol& symbol : compilation.declarations) {
    if (!symbol.uses.empty() || symbol.kind == SymbolKind::kModule ||
        symbol.kind == SymbolKind::kPartition) {
      continue;
    }
    std::string label(SymbolKindName(symbol.kind));
    label[0] = ToUpper(label[0]);
    Diagnostic& warning = list.Add(Warn::kUnused, symbol.declaration.line,
                                   label + " " + symbol.name + " is declared but never used");
    warning.span = symbol.declaration.span;
  }
}

}  // namespace

std::vector<Diagnostic> Warnings(const Compilation& compilation) {
  WarningList list(compilation.lines);
  const OpenBlocks& open = compilation.open_blocks;
  for (int if_line : open.if_lines) {
    Diagnostic& warning = list.Add(Warn::kOpenIf, if_line, "IF block is not closed by ENDIF");
    warning.span = FirstWordSpan(warning.source_text);
    warning.notes.push_back("the script ends with the block still open");
  }
  if (open.event_line > 0) {
    Diagnostic& warning =
        list.Add(Warn::kOpenEvent, open.event_line, "EVENT block is not closed by EVENTEND");
    warning.span = FirstWordSpan(warning.source_text);
    warning.notes.push_back("the script ends with the block still open");
  }

  if (compilation.uses_indexed) AddUnused(list, compilation);

  int size = static_cast<int>(compilation.code.size());
  const std::vector<LineCode>& line_code = compilation.line_code;
  if (size > kCodeSizeWarning && size <= kMaxCodeSize) {
    // The line whose code crosses the mark; else (the trailer crosses it) the
    // last line that appended code.
    int line = line_code.empty() ? 0 : line_code.back().physical_line;
    bool crossed = false;
    for (const LineCode& code : line_code) {
      if (code.end > kCodeSizeWarning) {
        line = code.physical_line;
        crossed = true;
        break;
      }
    }
    int percent = size * 100 / kCodeSizeLimit;
    Diagnostic& warning = list.Add(Warn::kCodeSize, line,
                                   "Code buffer holds " + std::to_string(size) + " bytes, " +
                                       std::to_string(percent) + " % of the " +
                                       std::to_string(kCodeSizeLimit) + "-byte limit");
    if (crossed) {
      warning.notes.push_back("the code passes " + std::to_string(kCodeSizeWarning) +
                              " bytes on this line");
    }
    warning.notes.push_back("at most " + std::to_string(kMaxCodeSize) +
                            " bytes fit, the trailer FF FF FF included");
  }

  for (const UntestedIf& untested : open.untested_ifs) {
    Diagnostic& warning = list.Add(Warn::kUntestedIf, untested.line,
                                   "IF condition is no test; the line compiled as a statement");
    warning.span = ConditionSpan(warning.source_text);
    warning.notes.push_back(
        "the IF opcode is followed by the statement's code, with no "
        "condition and no jump field of its own");
    if (untested.patch_line > 0) {
      std::string closing = "ENDIF";
      if (const SourceLine* line = list.Find(untested.patch_line)) {
        std::string_view rest = line->text;
        closing = ToUpper(TakeWord(rest));
      }
      warning.notes.push_back("its " + closing + " on line " + std::to_string(untested.patch_line) +
                              " rewrites the jump of the IF block on line " +
                              std::to_string(untested.earlier_line));
    }
  }
  for (Diagnostic& trap : TrapWarnings(compilation)) list.Append(std::move(trap));
  return list.Take();
}

}  // namespace vigil
