// The warnings for what compiles without an error yet does something else
// than the script seems to say: a line end that is read as a blank, a
// comparison the language does not have, a declaration line that sets
// nothing, a byte-order mark. Each says what the controller actually gets.
#ifndef VIGIL_CORE_CHECK_TRAPS_H_
#define VIGIL_CORE_CHECK_TRAPS_H_

#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

// The first comparison in an IF line's condition that the language does not
// have (">=", "<=", "<>", "<"), as a span of `text`; unknown when none.
Span ForeignComparison(std::string_view text);
// W7's message for that operator, and its advice.
std::string ForeignComparisonMessage(std::string_view op);
extern const std::string_view kComparisonAdvice;

// W6 to W9, in no particular order.
std::vector<Diagnostic> TrapWarnings(const Compilation& compilation);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_TRAPS_H_
