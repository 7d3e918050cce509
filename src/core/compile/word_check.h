// The word check: every word of a statement line must be a keyword, a declared
// name, a number, or an element name of the module it refers to.
#ifndef VIGIL_CORE_COMPILE_WORD_CHECK_H_
#define VIGIL_CORE_COMPILE_WORD_CHECK_H_

#include <string_view>

#include "core/compile/symbol_table.h"

namespace vigil {

// True when the module part of `word` (before the first ".", or the whole
// word) names a declared module or partition.
bool IsModuleReference(const SymbolTable& symbols, std::string_view word);

// The word check. A word ending in ")" loses that character first, and
// `word` keeps the shortened form. `event_module` is the id of the open
// event's module, -1 when none is open.
bool IsKnownWord(std::string_view& word, const SymbolTable& symbols, int event_module);

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_WORD_CHECK_H_
