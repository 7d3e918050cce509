// The code a script compiled to, beside the script: which line's code holds
// each decoded item, and the names the declarations give to the ids.
#ifndef VIGIL_CORE_DECODE_SCRIPT_CODE_H_
#define VIGIL_CORE_DECODE_SCRIPT_CODE_H_

#include <vector>

#include "core/compile/compilation.h"
#include "core/decode/disassembler.h"
#include "core/formats/download_reader.h"

namespace vigil {

// Modules, parameters, marks, registers and timers by id, as declared.
SiteNames DeclaredNames(const SymbolTable& symbols);

// For each of `code`'s items, the physical line of the first script line
// whose code holds the item's first byte; 0 when no line's code does (the
// trailer, and code no line appended).
std::vector<int> ItemLines(const Compilation& compilation, const Disassembly& code);

}  // namespace vigil

#endif  // VIGIL_CORE_DECODE_SCRIPT_CODE_H_
