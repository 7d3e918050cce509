// An event's paths shown as a decision table: text for the terminal,
// Markdown for a site's handover file, JSON for tools.
//
//   FRONT.VALID                               2 paths
//     TIMEPLAN(1)         -> DOOR()
//     not TIMEPLAN(1)     -> MARK(OUTOFHOURS) "Card outside office hours"; BEEP = ON; ...
#ifndef VIGIL_ANALYSIS_DECISION_TABLE_H_
#define VIGIL_ANALYSIS_DECISION_TABLE_H_

#include <string>
#include <string_view>
#include <vector>

#include "analysis/explore.h"
#include "sim/program.h"

namespace vigil::analysis {

// The instructions of one script line that a path runs in a row.
struct EffectLine {
  int line = 0;
  // The script line; a MARK's archive text follows in quotes, the value of a
  // parameter it reads in brackets: DELAY(WARNTIME) [3].
  std::string text;
  std::vector<std::string> instructions;
};

std::vector<EffectLine> EffectLines(const sim::Program& program, const Path& path);

// "TIMEPLAN(2) and not GROUP(5)", or "always".
std::string ConditionsText(const Path& path);
// "DOOR(FRONT); VISITS = VISITS + 1", or "nothing".
std::string EffectsText(const sim::Program& program, const Path& path);

// `text` in a Markdown table's cell: each '|' escaped.
std::string MarkdownCell(std::string_view text);

// Each line of `text` (lines ending in "\n") after `indent`.
std::string Indented(std::string_view text, std::string_view indent);

std::string TableText(const sim::Program& program, const std::vector<EventPaths>& tables);
std::string TableMarkdown(const sim::Program& program, const std::vector<EventPaths>& tables,
                          std::string_view script);
std::string TableJson(const sim::Program& program, const std::vector<EventPaths>& tables,
                      std::string_view script);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_DECISION_TABLE_H_
