// The kind of each keyword, read off the instruction and condition lists.
#ifndef VIGIL_CORE_COMPILE_TOKEN_KINDS_H_
#define VIGIL_CORE_COMPILE_TOKEN_KINDS_H_

#include <optional>
#include <string_view>

#include "core/compile/tokens.h"

namespace vigil {

// kKeyword for the block words, kCommand for an instruction's word, kCondition
// for a condition's, kValue for the other keywords (ON, OFF, flag and key
// names); nullopt for a word that is no keyword.
std::optional<TokenKind> KeywordTokenKind(std::string_view upper_word);

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_TOKEN_KINDS_H_
