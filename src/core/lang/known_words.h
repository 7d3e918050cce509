// The words of the language: keywords, and the element names each module
// kind accepts.
#ifndef VIGIL_CORE_LANG_KNOWN_WORDS_H_
#define VIGIL_CORE_LANG_KNOWN_WORDS_H_

#include <span>
#include <string>
#include <string_view>

#include "core/lang/module_kinds.h"

namespace vigil {

// The language's 75 keywords, upper case.
std::span<const std::string_view> Keywords();
bool IsKeyword(std::string_view upper_word);

// The element names that the module kind with id `kind_id` accepts, upper
// case; empty for ids that accept none. The controller's list does not show
// USEREVENT9 to USEREVENT73, which IsElementOfKind accepts as well.
std::span<const std::string> ElementNamesOfKind(int kind_id);
bool IsElementOfKind(int kind_id, std::string_view upper_element);

// The events that open event blocks for a module kind (the controller's
// USEREVENT1 to USEREVENT73 included). Their codes come from the element code
// table; a code several names share is listed under the first.
std::span<const std::string> EventNamesOf(ModuleKind kind);

// A decimal number or a hexadecimal one written "&H...".
bool IsNumberWord(std::string_view word);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_KNOWN_WORDS_H_
