// The warning analysis, run on what the statement pass left behind: the block
// lines it recorded, the declarations, the words of the statement lines and
// the code size.

#include "core/check/warnings.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "core/check/hints.h"
#include "core/compile/compiler.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

constexpr std::array<std::string_view, kWarningCount + 1> kTitles = {
    "",
    "IF block not closed",
    "EVENT block not closed",
    "Declared name never used",
    "Code buffer nearly full",
    "IF condition compiled as a statement",
};

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

// Every run of name characters on the statement lines, upper-cased.
std::unordered_set<std::string> UsedWords(std::span<const SourceLine> lines) {
  std::unordered_set<std::string> used;
  for (const SourceLine& line : lines) {
    std::string_view rest = TrimBlanks(line.text);
    std::string_view probe = rest;
    if (rest.empty() || rest.front() == ';' || TakeWord(probe, "MODULE") ||
        TakeWord(probe, "DEVICE") || TakeWord(probe, "PARTITION") || TakeWord(probe, "DEFINE")) {
      continue;
    }
    size_t i = 0;
    while (i < rest.size()) {
      size_t start = i;
      while (i < rest.size() && IsNameChar(rest[i])) ++i;
      if (i > start) used.insert(ToUpper(rest.substr(start, i - start)));
      if (i == start) ++i;
    }
  }
  return used;
}

class WarningList {
 public:
  explicit WarningList(std::span<const SourceLine> lines) : lines_(lines) {}

  Diagnostic& Add(int number, int physical_line, std::string message) {
    Diagnostic diagnostic;
    diagnostic.number = number;
    diagnostic.severity = Severity::kWarning;
    diagnostic.physical_line = physical_line;
    diagnostic.message = std::move(message);
    if (const SourceLine* line = Find(physical_line)) diagnostic.source_text.assign(line->text);
    warnings_.push_back(std::move(diagnostic));
    return warnings_.back();
  }

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

template <typename Record>
void AddUnused(WarningList& list, std::span<const SourceLine> lines,
               const std::unordered_set<std::string>& used, const Collection<Record>& records,
               std::string_view kind, std::string_view label) {
  const std::array<std::string_view, 1> kinds = {kind};
  std::unordered_map<std::string, DeclarationSite> sites;
  bool sites_read = false;
  for (const Record& record : records.records()) {
    std::string upper = ToUpper(record.name);
    if (used.contains(upper)) continue;
    if (!sites_read) {
      sites = DeclarationSites(lines, kinds);
      sites_read = true;
    }
    auto site = sites.find(upper);
    Diagnostic& warning =
        list.Add(kWarnUnused, site == sites.end() ? 0 : site->second.physical_line,
                 std::string(label) + " " + record.name + " is declared but never used");
    if (site != sites.end()) warning.span = site->second.span;
  }
}

}  // namespace

std::string_view WarningTitle(int number) {
  if (number < 1 || number > kWarningCount) return {};
  return kTitles[static_cast<size_t>(number)];
}

std::vector<Diagnostic> C_Compiler::Warnings() const {
  WarningList list(lines_);

  int open_levels = std::min(if_level_, kMaxIfLevel);
  for (int level = 1; level <= open_levels; ++level) {
    size_t l = static_cast<size_t>(level);
    // A level whose last IF failed already has its error.
    if (if_lines_[l] == 0 || target_lines_[l] != if_lines_[l]) continue;
    Diagnostic& warning = list.Add(kWarnOpenIf, if_lines_[l], "IF block is not closed by ENDIF");
    warning.span = FirstWordSpan(warning.source_text);
    warning.notes.push_back("the script ends with the block still open");
  }
  if (open_events_ > 0 && event_line_ > 0) {
    Diagnostic& warning =
        list.Add(kWarnOpenEvent, event_line_, "EVENT block is not closed by EVENTEND");
    warning.span = FirstWordSpan(warning.source_text);
    warning.notes.push_back("the script ends with the block still open");
  }

  std::unordered_set<std::string> used = UsedWords(lines_);
  AddUnused(list, lines_, used, symbols_.registers, "REGISTER", "Register");
  AddUnused(list, lines_, used, symbols_.timers, "TIMER", "Timer");
  AddUnused(list, lines_, used, symbols_.parameters, "PARAMETER", "Parameter");
  AddUnused(list, lines_, used, symbols_.marks, "MARK", "Archive mark");

  if (code_.size() > kCodeSizeWarningLimit && code_.size() <= CodeBuffer::kMaxSize) {
    // The line whose code crosses the mark; else (the trailer crosses it) the
    // last line that appended code.
    int line = line_code_.empty() ? 0 : line_code_.back().physical_line;
    bool crossed = false;
    for (const LineCode& code : line_code_) {
      if (code.end > kCodeSizeWarningLimit) {
        line = code.physical_line;
        crossed = true;
        break;
      }
    }
    int percent = code_.size() * 100 / 12000;
    Diagnostic& warning =
        list.Add(kWarnCodeSize, line,
                 "Code buffer holds " + std::to_string(code_.size()) + " bytes, " +
                     std::to_string(percent) + " % of the 12000-byte limit");
    if (crossed) {
      warning.notes.push_back("the code passes " + std::to_string(kCodeSizeWarningLimit) +
                              " bytes on this line");
    }
    warning.notes.push_back("at most 11999 bytes fit, the trailer FF FF FF included");
  }

  for (const UntestedIf& untested : untested_ifs_) {
    Diagnostic& warning = list.Add(kWarnUntestedIf, untested.line,
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
  return list.Take();
}

}  // namespace vigil
