// The behaviour a diff found, for tools (JSON) and for a site's change
// record (Markdown); the text for the terminal is DiffText.
#ifndef VIGIL_ANALYSIS_DIFF_FORMATS_H_
#define VIGIL_ANALYSIS_DIFF_FORMATS_H_

#include <string>
#include <string_view>
#include <vector>

#include "analysis/behaviour_diff.h"

namespace vigil::analysis {

// {"before": OLD, "now": NEW, "changed": bool, "events": [{"event", "added",
// "removed", "cut", "cases": [{"when", "before", "now", "scenario"}]}]};
// "scenario" holds the case's scenario lines, each ending in "\n".
std::string DiffJson(const std::vector<EventChange>& changes, std::string_view before,
                     std::string_view now);

// A heading, then per event a table of its cases (when, before, now) and
// each case's scenario in a code block.
std::string DiffMarkdown(const std::vector<EventChange>& changes, std::string_view before,
                         std::string_view now);

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_DIFF_FORMATS_H_
