#include "core/decode/code_names.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>

#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"

namespace vigil {
namespace {

bool IsEventOf(ModuleKind kind, std::string_view name) {
  std::span<const std::string> events = EventNamesOf(kind);
  return std::find(events.begin(), events.end(), name) != events.end();
}

// The element names of a module, by the id that stands for its kind.
std::span<const std::string> ElementNamesOf(int module) {
  switch (ModuleKindOf(module)) {
    case ModuleKind::kController:
      return ElementNamesOfKind(kControllerId);
    case ModuleKind::kDoor:
      return ElementNamesOfKind(1);
    case ModuleKind::kSupply:
      return ElementNamesOfKind(kFirstSupplyId);
    case ModuleKind::kPanel:
      return ElementNamesOfKind(kPanelId);
    case ModuleKind::kPartition:
      return ElementNamesOfKind(kPanelId + 1);
    case ModuleKind::kOther:
      break;
  }
  return {};
}

bool IsOutputElement(std::string_view name) { return IsOutputName(name) || name == "AUXOUTPUT"; }

// The name of element `code` of `module`, preferring names that pass `fits`
// and are no event of the module.
template <typename Predicate>
std::optional<std::string> FindElement(int module, int code, Predicate fits) {
  ModuleKind kind = ModuleKindOf(module);
  std::optional<std::string> event_name;
  for (const std::string& name : ElementNamesOf(module)) {
    if (EventCode(name) != code || !fits(name)) continue;
    if (!IsEventOf(kind, name)) return name;
    if (!event_name) event_name = name;
  }
  return event_name;
}

std::string FlagName(int code, bool supply) {
  for (std::string_view keyword : Keywords()) {
    if (!keyword.starts_with('F')) continue;
    int flag = supply ? GetSupplyFlagCode(keyword) : GetSystemFlagCode(keyword);
    if (flag == code) return std::string(keyword);
  }
  return "flag " + std::to_string(code);
}

}  // namespace

std::string ElementName(ElementFamily family, int module, int code) {
  std::optional<std::string> name;
  switch (family) {
    case ElementFamily::kOutput:
      name = FindElement(module, code, IsOutputElement);
      break;
    case ElementFamily::kInput:
      name = FindElement(module, code, [](std::string_view n) { return !IsOutputElement(n); });
      break;
    case ElementFamily::kPartitionState:
      for (const std::string& state : ElementNamesOf(module)) {
        if (IsPartitionStateName(state) && PartitionEventCode(state) == code) {
          name = state;
          break;
        }
      }
      break;
    case ElementFamily::kAny:
      name = FindElement(module, code, [](std::string_view) { return true; });
      break;
  }
  return name.value_or("element " + std::to_string(code));
}

std::string IdLabel(std::string_view what, int id, const std::map<int, std::string>& names) {
  std::string text = std::string(what) + " " + std::to_string(id);
  auto it = names.find(id);
  if (it != names.end()) text += " (" + it->second + ")";
  return text;
}

std::string SystemFlagName(int code) { return FlagName(code, /*supply=*/false); }

std::string SupplyFlagName(int code) { return FlagName(code, /*supply=*/true); }

std::string SystemKeyName(int code) {
  for (const SystemKey& key : SystemKeys()) {
    if (key.code == code) return std::string(key.word);
  }
  return std::to_string(code);
}

std::string ExecuteNumber(int code) {
  if (code > kUserEventLowBase && code <= kUserEventLowBase + 8) {
    return std::to_string(code - kUserEventLowBase);
  }
  if (code >= kUserEventHighBase + 9 && code <= kUserEventHighBase + 73) {
    return std::to_string(code - kUserEventHighBase);
  }
  return "user event code " + std::to_string(code);
}

std::string DisplayNumber(int code) {
  if (code == 0) return "15";
  if (code <= 15) return std::to_string(code - 1);
  return "value " + std::to_string(code);
}

std::string ModuleLabel(int id, const SiteNames& names) {
  return IdLabel("module", id, names.modules);
}

std::string ModuleDescription(int id, const SiteNames& names) {
  std::string text =
      "module " + std::to_string(id) + " (" + std::string(ModuleKindName(ModuleKindOf(id)));
  auto it = names.modules.find(id);
  if (it != names.modules.end()) text += " " + it->second;
  return text + ")";
}

std::string EventName(int module, int code) {
  for (const std::string& name : EventNamesOf(ModuleKindOf(module))) {
    if (EventCode(name) == code) return name;
  }
  return "event " + std::to_string(code);
}

std::vector<std::string> SavedDevices(int module, int mask) {
  std::vector<std::string> devices;
  for (int bit = 0; bit < 16; ++bit) {
    if ((mask & (1 << bit)) == 0) continue;
    int32_t bit_mask = bit == 15 ? -32768 : int32_t{1} << bit;
    std::string name = "bit " + std::to_string(bit);
    // Every module but the controller and the panel saves the door devices.
    int kind_id = module == kControllerId || module == kPanelId ? module : 1;
    for (const std::string& device : ElementNamesOfKind(kind_id)) {
      if (DeviceMask(module, device) == bit_mask) {
        name = device;
        break;
      }
    }
    devices.push_back(name);
  }
  return devices;
}

}  // namespace vigil
