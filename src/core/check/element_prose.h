// The element names of a module kind, said in words for the notes.
#ifndef VIGIL_CORE_CHECK_ELEMENT_PROSE_H_
#define VIGIL_CORE_CHECK_ELEMENT_PROSE_H_

#include <string>
#include <string_view>

namespace vigil {

// The element names of a module kind, runs of numbered names shortened:
// "INPUT1, INPUT2, CARDREADER" or "EXINPUT1 to EXINPUT8, EXOUTPUT1 to
// EXOUTPUT8". Empty for a kind that accepts none.
std::string ElementList(int kind_id);

// For an element name such as "INPUT3": "its inputs are INPUT1 and INPUT2",
// naming the elements of the kind with the same stem and a number. Empty when
// the name has no such family or the kind has no member of it.
std::string FamilyNote(int kind_id, std::string_view upper_element);

// True when the name holds a number of at most four digits ("INPUT3").
bool IsNumberedName(std::string_view name);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_ELEMENT_PROSE_H_
