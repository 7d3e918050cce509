// vigil fix: the rewrites of a script that have one safe meaning. Line ends
// become CR LF (a lone LF, which the compiler reads as a blank, then ends its
// line as the editor showed it), a UTF-8 byte-order mark goes, and tabs before
// a line's first word become blanks (but before an EVENT line, where a tab
// decides which MODULE lines are read). A script whose lines end in CR LF and
// that compiles without an error compiles to the same code after the fix.
#ifndef VIGIL_CORE_CHECK_FIX_H_
#define VIGIL_CORE_CHECK_FIX_H_

#include <string>
#include <string_view>
#include <vector>

namespace vigil {

struct FixResult {
  std::string text;                  // the fixed script
  std::vector<std::string> changes;  // what changed, one sentence each; empty when nothing did
};

FixResult FixScript(std::string_view script);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_FIX_H_
