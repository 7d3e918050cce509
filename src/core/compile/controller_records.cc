#include "core/compile/controller_records.h"

#include <cstdint>

#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/scan/numbers.h"

namespace vigil {
namespace {

constexpr int kMinStrikeTime = 2;

// A 16-bit mask as its low and high byte.
SettingRecord MaskRecord(int module, int item, int16_t mask) {
  int32_t wide = mask;
  return {module, item, wide & 255, (wide & 65535) / 256};
}

}  // namespace

std::string FormatSettingRecord(const SettingRecord& record) {
  std::string text = "11";
  for (int field : {record.module, record.item, record.low, record.high}) {
    text += ';';
    AppendDecimal(text, field);
  }
  text += ';';
  return text;
}

std::vector<SettingRecord> ParameterSettings(const SymbolTable& symbols) {
  std::vector<SettingRecord> records;
  for (const C_parameter& parameter : symbols.parameters.records()) {
    records.push_back({kParameterModule, parameter.id, parameter.value, 0});
  }
  return records;
}

std::vector<SettingRecord> ModuleSettings(SymbolTable& symbols) {
  std::vector<SettingRecord> records;
  for (C_Module& module : symbols.modules.records()) {
    int id = module.id;
    if (id == kControllerId) {
      records.push_back(MaskRecord(id, kEventMaskItem, module.SaveEvents));
      records.push_back(MaskRecord(id, kUserEventsItem, module.SaveUserEvents));
    } else if (kDoorIds.Contains(id)) {
      if (module.StrikeTime < kMinStrikeTime) module.StrikeTime = kMinStrikeTime;
      records.push_back({id, kTypeItem, module.typ, 0});
      records.push_back({id, kStrikeTimeItem, module.StrikeTime, 0});
      records.push_back({id, kAjarTimeItem, module.AjarDoor, 0});
      records.push_back({id, kCardTimeoutItem, module.CardTimeout, 0});
      records.push_back({id, kPartitionItem, module.partition, 0});
      records.push_back(MaskRecord(id, kEventMaskItem, module.SaveEvents));
    } else if (id == kPanelId) {
      records.push_back(MaskRecord(id, kEventMaskItem, module.SaveEvents));
    }
  }
  return records;
}

std::string PartitionTreeChars(const SymbolTable& symbols) {
  std::string tree = "********";
  for (const C_Module& module : symbols.modules.records()) {
    int k = module.id - kPanelId;
    if (k < 1 || k > 8) continue;
    tree[static_cast<size_t>(k - 1)] =
        module.parent == kPanelId ? 'R' : std::to_string(module.parent - kPanelId).front();
  }
  return tree;
}

std::vector<std::string> DefineParameters(const SymbolTable& symbols) {
  std::vector<std::string> records;
  for (const SettingRecord& record : ParameterSettings(symbols)) {
    records.push_back(FormatSettingRecord(record));
  }
  if (records.empty()) records.emplace_back();
  return records;
}

std::vector<std::string> ModuleParameters(SymbolTable& symbols) {
  if (symbols.modules.empty()) return {""};
  std::vector<std::string> records(symbols.modules.size() * 6 + 2);
  size_t place = 0;
  for (const SettingRecord& record : ModuleSettings(symbols)) {
    records[place++] = FormatSettingRecord(record);
  }
  return records;
}

std::string PartitionTree(const SymbolTable& symbols) {
  std::string record = "122";
  for (char c : PartitionTreeChars(symbols)) {
    record += ';';
    record += std::to_string(static_cast<int>(c));
  }
  return record;
}

}  // namespace vigil
