// The notes of an error: hints for the installer (the nearest known word, the
// element names a module accepts, the range a value must lie in, the line an
// open block started on). The error file never carries them.
#ifndef VIGIL_CORE_CHECK_NOTES_H_
#define VIGIL_CORE_CHECK_NOTES_H_

#include <cstddef>
#include <string>
#include <vector>

#include "core/compile/compilation.h"
#include "core/lang/diagnostics.h"

namespace vigil {

// Notes help with the first errors; a script with hundreds of them is fixed
// from the top, and the rest would only cost time.
inline constexpr size_t kAnnotatedErrors = 200;

// The notes of one of `compilation`'s errors.
std::vector<std::string> NotesOf(const Compilation& compilation, const Diagnostic& diagnostic);

// The errors of `compilation`, the first kAnnotatedErrors with their notes.
std::vector<Diagnostic> ErrorsWithNotes(const Compilation& compilation);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_NOTES_H_
