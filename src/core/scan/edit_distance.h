// How far a misspelt word is from the words it may have meant.
#ifndef VIGIL_CORE_SCAN_EDIT_DISTANCE_H_
#define VIGIL_CORE_SCAN_EDIT_DISTANCE_H_

#include <span>
#include <string>
#include <string_view>

namespace vigil {

// The number of single-character insertions, deletions, substitutions and
// swaps of neighbours that turn `a` into `b`; letters compare without case.
int EditDistance(std::string_view a, std::string_view b);

// The first of `candidates` closest to `word` (case ignored), when it lies
// within the distance a misspelling plausibly has: 1 for words of three or
// four characters, 2 up to eight, 3 beyond. Empty when none does, when the
// word itself is a candidate, or for words of one or two characters.
std::string NearestWord(std::string_view word, std::span<const std::string> candidates);

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_EDIT_DISTANCE_H_
