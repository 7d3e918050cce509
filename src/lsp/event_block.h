// The EVENT block around an editor line, as the compiler read the script
// (Compilation::blocks and the token record), for the features that depend
// on it: completion and hover.
#ifndef VIGIL_LSP_EVENT_BLOCK_H_
#define VIGIL_LSP_EVENT_BLOCK_H_

#include "core/compile/compilation.h"

namespace vigil::lsp {

// The EVENT block that holds 0-based editor line `line` (its EVENT line to
// its EVENTEND, or to the end when left open), or nullptr outside one.
const Block* EventBlockAt(const Compilation& compilation, int line);

// The declared module or partition whose event that block handles, or nullptr.
const C_Module* EventModuleAt(const Compilation& compilation, int line);

}  // namespace vigil::lsp

#endif  // VIGIL_LSP_EVENT_BLOCK_H_
