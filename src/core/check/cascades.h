// Errors that follow from an earlier structural error: an EVENT line that
// failed (its module misspelt) leaves every statement of its block outside an
// event, and a missing ENDIF or EVENTEND throws the block count off for the
// rest of the script. `vigil check` shows such errors as part of the first.
#ifndef VIGIL_CORE_CHECK_CASCADES_H_
#define VIGIL_CORE_CHECK_CASCADES_H_

#include <cstddef>
#include <string>
#include <vector>

#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

inline constexpr size_t kNoCause = static_cast<size_t>(-1);

// The first structural error (an error on an EVENT line, or a block error:
// E18, E20, E25 to E29, or E6 on a statement outside an event) and the later
// errors that follow from it: every later block error, for the block count
// stays off to the end. Errors in a line's own words never follow from
// another.
struct Cascade {
  size_t cause = kNoCause;  // the index of the first structural error
  int caused = 0;           // how many errors follow from it

  // Whether error `index` of the compilation, `error`, follows from the cause.
  bool Follows(size_t index, const Diagnostic& error) const;
};

Cascade FindCascade(const Compilation& compilation);

// "and N more errors caused by this (vigil check --all shows them)".
std::string CascadeNote(int caused);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_CASCADES_H_
