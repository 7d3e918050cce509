// What every error number and warning means, with a wrong and a right
// example and how to fix it: the data behind `vigil explain` and the rule
// descriptions of the SARIF log.
#ifndef VIGIL_CORE_CHECK_EXPLAIN_TABLE_H_
#define VIGIL_CORE_CHECK_EXPLAIN_TABLE_H_

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

struct Explanation {
  std::string_view code;     // "E6", "W1"
  std::string_view meaning;  // one paragraph
  std::string_view wrong;    // script lines ending in "\n"; empty when none is shown
  std::string_view right;
  std::string_view fix;  // one paragraph
  // True when `wrong` and `right` are whole scripts: `wrong` reports the code
  // and `right` compiles with neither errors nor warnings.
  bool whole_scripts;
};

// Errors E1 to E31, then the warnings from W1 on.
std::span<const Explanation> Explanations();

// A value of the language's tables that the explanations quote, as text (a
// number, or a list of words): the text of an entry writes "{name}" for it,
// and "{name range}" for "{name first} to {name last}", so the prose follows
// the tables.
struct ProseValue {
  std::string name;
  std::string text;
};
// The values of limits.h, module_kinds.h, value_ranges.h and the word lists
// that are quoted.
std::vector<ProseValue> ProseValues();
// `text` with its slots filled from `values`; a slot of an unknown name stays.
std::string FillValues(std::string_view text, std::span<const ProseValue> values);
// The entries as written, slots unfilled.
std::span<const Explanation> ExplanationTemplates();

// The entry for "E6", "e6", "6", "W1" or "w1"; nullptr when there is none.
const Explanation* FindExplanation(std::string_view code);

// The title of a code: the error message or the warning title.
std::string ExplanationTitle(const Explanation& explanation);

// The text `vigil explain` prints for one entry, paragraphs wrapped at 78
// columns and examples indented by four blanks.
std::string FormatExplanation(const Explanation& explanation);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_EXPLAIN_TABLE_H_
