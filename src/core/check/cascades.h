// Errors that follow from an earlier structural error: an EVENT line that
// failed (its module misspelt) leaves every statement of its block outside an
// event, and a missing ENDIF or EVENTEND throws the block count off for the
// rest of the script. `vigil check` shows such errors as part of the first.
#ifndef VIGIL_CORE_CHECK_CASCADES_H_
#define VIGIL_CORE_CHECK_CASCADES_H_

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "core/lang/diagnostics.h"

namespace vigil {

inline constexpr size_t kNoCause = static_cast<size_t>(-1);

// For each error (in the order reported), the index of the earlier error it
// follows from, or kNoCause. The first structural error (an error on an
// EVENT line, or a block error: E18, E20, E25 to E29, or E6 on a statement
// outside an event) is a cause; every later block error follows from it, for
// the block count stays off to the end. Errors in a line's own words never
// follow from another.
std::vector<size_t> CascadeCauses(std::span<const Diagnostic> errors);

// "and N more errors caused by this (vigil check --all shows them)".
std::string CascadeNote(int caused);

// The errors without those that follow from another; each cause gets the
// note CascadeNote.
std::vector<Diagnostic> FoldCascades(std::vector<Diagnostic> errors);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_CASCADES_H_
