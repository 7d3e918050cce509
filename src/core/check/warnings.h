// The warnings of `vigil check`: what the compiler lets pass but an installer
// should look at. They are found in a compilation's value, never counted and
// never written to the error file.
#ifndef VIGIL_CORE_CHECK_WARNINGS_H_
#define VIGIL_CORE_CHECK_WARNINGS_H_

#include <vector>

#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

// The warnings of a compiled script, by line.
std::vector<Diagnostic> Warnings(const Compilation& compilation);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_WARNINGS_H_
