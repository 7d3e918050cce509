#include "core/compile/controller_records.h"

#include <cstdint>

#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"

namespace vigil {
namespace {

enum ModuleItem {
  kEventMask = 0,
  kTypeOrUserEvents = 1,
  kStrikeTime = 4,
  kAjarTime = 5,
  kCardTimeout = 6,
  kPartition = 7,
};

constexpr int kMinStrikeTime = 2;

std::string Record(int module, int item, int low, int high) {
  std::string record = "11";
  for (int field : {module, item, low, high}) {
    record += ';';
    record += std::to_string(field);
  }
  record += ';';
  return record;
}

// A 16-bit mask as its low and high byte.
std::string MaskRecord(int module, int item, int16_t mask) {
  int32_t wide = mask;
  return Record(module, item, wide & 255, (wide & 65535) / 256);
}

}  // namespace

std::vector<std::string> DefineParameters(const SymbolTable& symbols) {
  if (symbols.parameters.empty()) return {""};
  std::vector<std::string> records;
  for (const C_parameter& parameter : symbols.parameters.records()) {
    records.push_back("11;254;" + std::to_string(parameter.id) + ";" +
                      std::to_string(parameter.value) + ";0;");
  }
  return records;
}

std::vector<std::string> ModuleParameters(SymbolTable& symbols) {
  if (symbols.modules.empty()) return {""};
  std::vector<std::string> records(symbols.modules.size() * 6 + 2);
  size_t place = 0;
  for (C_Module& module : symbols.modules.records()) {
    int id = module.id;
    if (id == kControllerId) {
      records[place++] = MaskRecord(id, kEventMask, module.SaveEvents);
      records[place++] = MaskRecord(id, kTypeOrUserEvents, module.SaveUserEvents);
    } else if (id > 0 && id < 70) {
      if (module.StrikeTime < kMinStrikeTime) module.StrikeTime = kMinStrikeTime;
      records[place++] = Record(id, kTypeOrUserEvents, module.typ, 0);
      records[place++] = Record(id, kStrikeTime, module.StrikeTime, 0);
      records[place++] = Record(id, kAjarTime, module.AjarDoor, 0);
      records[place++] = Record(id, kCardTimeout, module.CardTimeout, 0);
      records[place++] = Record(id, kPartition, module.partition, 0);
      records[place++] = MaskRecord(id, kEventMask, module.SaveEvents);
    } else if (id == kPanelId) {
      records[place++] = MaskRecord(id, kEventMask, module.SaveEvents);
    }
  }
  return records;
}

std::string PartitionTree(const SymbolTable& symbols) {
  std::string tree = "********";
  for (const C_Module& module : symbols.modules.records()) {
    int k = module.id - kPanelId;
    if (k < 1 || k > 8) continue;
    tree[static_cast<size_t>(k - 1)] =
        module.parent == kPanelId ? 'R' : std::to_string(module.parent - kPanelId).front();
  }
  std::string record = "122";
  for (char c : tree) {
    record += ';';
    record += std::to_string(static_cast<int>(c));
  }
  return record;
}

}  // namespace vigil
