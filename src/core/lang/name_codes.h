// The fixed tables that turn element, event, state, device and flag names into
// the numbers the controller uses.
#ifndef VIGIL_CORE_LANG_NAME_CODES_H_
#define VIGIL_CORE_LANG_NAME_CODES_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vigil {

// The element part of a name: the text between the first and the second "."
// when it has one, else the whole name.
std::string_view ElementPart(std::string_view name);
// The module part: the text before the first ".", or the whole name.
std::string_view ModulePart(std::string_view name);

// RELAY1..RELAY8, OC1, OC2, EXOUTPUT1..EXOUTPUT8 (element part, exact case).
bool IsOutputName(std::string_view name);
// ARMED, ALARM, FIRE, READY (element part, exact case).
bool IsPartitionStateName(std::string_view name);

// The element or event code of the element part (exact case), with the
// USEREVENT fallback; nullopt when the name has no code.
std::optional<int> EventCode(std::string_view name);
// The partition event code of the element part (exact case).
std::optional<int> PartitionEventCode(std::string_view name);

// The bit of `device` (any case) in the event-saving word of a module with
// `module_id`; 0 for a device the module kind does not save. Bit 15 comes back
// sign-extended, as -32768.
int32_t DeviceMask(int module_id, std::string_view device);

// The key words a SYSTEMKEY assignment accepts, with their key codes. Numbers
// 0 to 23 are accepted as key codes too.
struct SystemKey {
  std::string_view word;
  int code;
};
std::span<const SystemKey> SystemKeys();
inline constexpr double kSystemKeyLimit = 24;  // numeric keys lie in [0, 24)

// User events 1 to 8 travel as n + 59, 9 to 73 as n + 152.
inline constexpr int kUserEventLowBase = 59;
inline constexpr int kUserEventHighBase = 152;

// Index of a system flag (alarm panel) or of a power-supply flag, any case;
// -1 when the name is not in the table.
int GetSystemFlagCode(std::string_view name);
int GetSupplyFlagCode(std::string_view name);
// The names of the two flag tables, in table order.
std::vector<std::string_view> SystemFlagNames();
std::vector<std::string_view> SupplyFlagNames();

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_NAME_CODES_H_
