#include "core/lang/module_kinds.h"

namespace vigil {

ModuleKind ModuleKindOf(int id) {
  if (id == kControllerId) return ModuleKind::kController;
  if (kDoorIds.Contains(id)) return ModuleKind::kDoor;
  if (kSupplyIds.Contains(id)) return ModuleKind::kSupply;
  if (id == kPanelId) return ModuleKind::kPanel;
  if (kPartitionIds.Contains(id)) return ModuleKind::kPartition;
  return ModuleKind::kOther;
}

std::string_view ModuleKindName(ModuleKind kind) {
  switch (kind) {
    case ModuleKind::kController:
      return "controller";
    case ModuleKind::kDoor:
      return "door";
    case ModuleKind::kSupply:
      return "power supply";
    case ModuleKind::kPanel:
      return "alarm panel";
    case ModuleKind::kPartition:
      return "partition";
    case ModuleKind::kOther:
      break;
  }
  return "unknown kind";
}

int ElementListOf(int id) {
  if (id == kControllerId) return 0;
  if (kNamedDoorIds.Contains(id)) return 1;
  if (kSupplyIds.Contains(id)) return 2;
  if (id == kPanelId) return 3;
  if (kPartitionIds.Contains(id)) return 4;
  return -1;
}

bool TakesDoorSettings(int id) { return id > 0 && id != kPanelId && !kSupplyIds.Contains(id); }

std::string KindDescription(int id) {
  std::string number = std::to_string(id);
  switch (ModuleKindOf(id)) {
    case ModuleKind::kController:
      return "the controller (id " + number + ")";
    case ModuleKind::kDoor:
      return "a door module (id " + number + ")";
    case ModuleKind::kSupply:
      return "a power-supply module (id " + number + ")";
    case ModuleKind::kPanel:
      return "the alarm panel (id " + number + ")";
    case ModuleKind::kPartition:
      return "partition " + std::to_string(id - kFirstPartitionId + 1) + " (id " + number + ")";
    case ModuleKind::kOther:
      break;
  }
  return "a module of id " + number;
}

}  // namespace vigil
