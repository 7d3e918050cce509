// Names for the numbers in the code and the settings records: modules with
// their kinds, events and elements by module kind, saved devices, flags,
// system keys. Codes come from the name code tables, read backwards.
#ifndef VIGIL_CORE_DECODE_CODE_NAMES_H_
#define VIGIL_CORE_DECODE_CODE_NAMES_H_

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats/download_reader.h"

namespace vigil {

// "register 0" or "register 0 (CNT)".
std::string IdLabel(std::string_view what, int id, const std::map<int, std::string>& names);
// "module 3" or "module 3 (FRONTDOOR)".
std::string ModuleLabel(int id, const SiteNames& names);
// "module 3 (door FRONTDOOR)", "module 0 (controller)".
std::string ModuleDescription(int id, const SiteNames& names);

// The event of module `module` with code `code`, such as "VALID"; "event 99"
// when the module's kind has no event of that code.
std::string EventName(int module, int code);

// Which element names may stand for an element code.
enum class ElementFamily {
  kOutput,  // relays, open collectors, expander outputs, AUXOUTPUT
  kInput,   // anything but an output
  kAny,
  kPartitionState,  // ARMED, ALARM, FIRE, READY by their partition event codes
};
// The element of `module` with `code`, preferring names that are no event of
// the module; "element 9" when none fits.
std::string ElementName(ElementFamily family, int module, int code);

// The devices whose bits are set in a module's event-saving word.
std::vector<std::string> SavedDevices(int module, int mask);

std::string SystemFlagName(int code);
std::string SupplyFlagName(int code);
// The key word of a SYSTEMKEY code, or the number.
std::string SystemKeyName(int code);
// The number EXECUTE was given for a user event code.
std::string ExecuteNumber(int code);
// The number DISPLAY was given for the value sent (n + 1, 16 sent as 0).
std::string DisplayNumber(int code);

}  // namespace vigil

#endif  // VIGIL_CORE_DECODE_CODE_NAMES_H_
