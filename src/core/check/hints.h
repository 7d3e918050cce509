// The pieces the notes of an error are made of: the nearest known word to a
// misspelling, what a module kind is and which element names it accepts, and
// where a name was declared. C_Compiler::AddNotes (hints.cc) puts them
// together once both passes have run.
#ifndef VIGIL_CORE_CHECK_HINTS_H_
#define VIGIL_CORE_CHECK_HINTS_H_

#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/compile/compiler.h"

namespace vigil {

// The number of single-character insertions, deletions, substitutions and
// swaps of neighbours that turn `a` into `b`; letters compare without case.
int EditDistance(std::string_view a, std::string_view b);

// The first of `candidates` closest to `word` (case ignored), when it lies
// within the distance a misspelling plausibly has: 1 for words of three or
// four characters, 2 up to eight, 3 beyond. Empty when none does, when the
// word itself is a candidate, or for words of one or two characters.
std::string NearestWord(std::string_view word, std::span<const std::string> candidates);

// "a door module (id 3)", "the controller (id 0)", "partition 2 (id 102)".
std::string KindDescription(int id);

// The element names of a module kind, runs of numbered names shortened:
// "INPUT1, INPUT2, CARDREADER" or "EXINPUT1 to EXINPUT8, EXOUTPUT1 to
// EXOUTPUT8". Empty for a kind that accepts none.
std::string ElementList(int kind_id);

// For an element name such as "INPUT3": "its inputs are INPUT1 and INPUT2",
// naming the elements of the kind with the same stem and a number. Empty when
// the name has no such family or the kind has no member of it.
std::string FamilyNote(int kind_id, std::string_view upper_element);

// A declaration line found in the script: DEFINE PARAMETER, MARK, REGISTER or
// TIMER, or a MODULE or PARTITION line.
struct DeclarationSite {
  int physical_line = 0;  // 0 when not found
  Span span;              // the name, within the line
};

// The first line before `before_line` (any line when 0) that declares `name`
// (any case) with one of `kinds` ("PARAMETER", "MARK", "REGISTER", "TIMER",
// "MODULE", "PARTITION").
DeclarationSite FindDeclaration(std::span<const SourceLine> lines, std::string_view name,
                                std::span<const std::string_view> kinds, int before_line = 0);

// The first declaration of every name declared with one of `kinds`, by the
// upper-cased name.
std::unordered_map<std::string, DeclarationSite> DeclarationSites(
    std::span<const SourceLine> lines, std::span<const std::string_view> kinds);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_HINTS_H_
