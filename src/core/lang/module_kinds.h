// The one place that knows what a module id says about its module: the
// controller, door modules, power supplies, the alarm panel and partitions.
#ifndef VIGIL_CORE_LANG_MODULE_KINDS_H_
#define VIGIL_CORE_LANG_MODULE_KINDS_H_

#include <string>
#include <string_view>

namespace vigil {

enum class ModuleKind { kController, kDoor, kSupply, kPanel, kPartition, kOther };

struct IdRange {
  int first;
  int last;
  constexpr bool Contains(int id) const { return id >= first && id <= last; }
  constexpr bool Contains(double value) const { return value >= first && value <= last; }
};

inline constexpr int kControllerId = 0;
inline constexpr IdRange kDoorIds = {1, 69};
// The door modules whose element names the word check knows, and the numbers
// MODULELOST takes besides the supplies.
inline constexpr IdRange kNamedDoorIds = {1, 64};
inline constexpr IdRange kSupplyIds = {71, 78};
inline constexpr int kFirstSupplyId = kSupplyIds.first;
inline constexpr int kPanelId = 100;
inline constexpr IdRange kPartitionIds = {101, 108};
inline constexpr int kFirstPartitionId = kPartitionIds.first;

// The items of a module's settings records ("11;module;item;low;high;").
inline constexpr int kEventMaskItem = 0;   // the saved-event mask, low and high byte
inline constexpr int kUserEventsItem = 1;  // the controller's: user events saved
inline constexpr int kTypeItem = 1;        // a door module's type
inline constexpr int kStrikeTimeItem = 4;
inline constexpr int kAjarTimeItem = 5;
inline constexpr int kCardTimeoutItem = 6;
inline constexpr int kPartitionItem = 7;
// The module number of the script parameters' settings records.
inline constexpr int kParameterModule = 254;

ModuleKind ModuleKindOf(int id);
// "controller", "door", "power supply", "alarm panel", "partition", or
// "unknown kind".
std::string_view ModuleKindName(ModuleKind kind);

// Which element list the events of module `id` accept: 0 the controller's,
// 1 a door module's, 2 a power supply's, 3 the alarm panel's, 4 a
// partition's, -1 none. Modules with the same list get the same answers from
// the word check.
int ElementListOf(int id);

// Whether a MODULE line with this id carries the door settings (type, strike,
// ajar and card times, partition): every id but the controller's, the
// supplies' and the panel's.
bool TakesDoorSettings(int id);

// "a door module (id 3)", "the controller (id 0)", "partition 2 (id 102)".
std::string KindDescription(int id);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_MODULE_KINDS_H_
