// The word check: every word of a statement line must be a keyword, a declared
// name, a number, or an element name of the module it refers to.
#ifndef VIGIL_TABLES_KNOWN_WORDS_H_
#define VIGIL_TABLES_KNOWN_WORDS_H_

#include <span>
#include <string>
#include <string_view>

#include "symbols/symbol_table.h"

namespace vigil {

// The language's 75 keywords, upper case.
std::span<const std::string_view> Keywords();
bool IsKeyword(std::string_view upper_word);

// The element names that the module kind with id `kind_id` accepts, upper
// case; empty for ids that accept none. The controller's list does not show
// USEREVENT9 to USEREVENT73, which IsElementOfKind accepts as well.
std::span<const std::string> ElementNamesOfKind(int kind_id);
bool IsElementOfKind(int kind_id, std::string_view upper_element);

// A decimal number or a hexadecimal one written "&H...".
bool IsNumberWord(std::string_view word);

// True when the module part of `word` (before the first ".", or the whole
// word) names a declared module or partition.
bool IsModuleReference(const SymbolTable& symbols, std::string_view word);

// Which element list the events of module `kind_id` accept: 0 the
// controller's, 1 a door module's, 2 a power supply's, 3 the alarm panel's,
// 4 a partition's, -1 none. Modules with the same list get the same answers
// from IsKnownWord.
int ElementListOf(int kind_id);

// The word check. A word ending in ")" loses that character first, and
// `word` keeps the shortened form. `event_module` is the id of the open
// event's module, -1 when none is open.
bool IsKnownWord(std::string_view& word, const SymbolTable& symbols, int event_module);

}  // namespace vigil

#endif  // VIGIL_TABLES_KNOWN_WORDS_H_
