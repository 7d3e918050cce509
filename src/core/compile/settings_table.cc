#include "core/compile/settings_table.h"

#include "core/lang/module_kinds.h"
#include "core/scan/numbers.h"

namespace vigil {
namespace {

bool HasDoorSettings(const C_Module& module) { return kDoorIds.Contains(module.id); }

// "NAME" + item + "id,number,value".
std::string Setting(std::string_view name, std::string_view item, int id, int number, int value) {
  std::string line(name);
  line += item;
  AppendDecimal(line, id);
  line += ',';
  AppendDecimal(line, number);
  line += ',';
  AppendDecimal(line, value);
  return line;
}

}  // namespace

std::vector<std::string> WriteSettingsTable(const SymbolTable& symbols) {
  std::vector<std::string> lines;
  lines.emplace_back("[Parameters]");
  int n = 0;
  for (const C_parameter& parameter : symbols.parameters.records()) {
    lines.push_back(
        Setting("Script." + parameter.name, "=", kParameterModule, n++, parameter.value));
  }
  for (const C_Module& module : symbols.modules.records()) {
    if (!HasDoorSettings(module)) continue;
    lines.push_back(
        Setting(module.name, ".StrikeTime=", module.id, kStrikeTimeItem, module.StrikeTime));
    lines.push_back(Setting(module.name, ".AjarTime=", module.id, kAjarTimeItem, module.AjarDoor));
    lines.push_back(
        Setting(module.name, ".CardTimeout=", module.id, kCardTimeoutItem, module.CardTimeout));
  }
  lines.emplace_back("");
  lines.emplace_back("[Marks]");
  for (const C_mark& mark : symbols.marks.records()) {
    lines.push_back(mark.name + "=" + std::to_string(kParameterModule) + "," +
                    std::to_string(mark.id) + "," + mark.text);
  }
  lines.emplace_back("");
  lines.emplace_back("[Registers]");
  for (const C_registry& reg : symbols.registers.records()) {
    lines.push_back(reg.name + "=" + std::to_string(reg.id));
  }
  lines.emplace_back("");
  lines.emplace_back("[Timers]");
  for (const C_registry& timer : symbols.timers.records()) {
    lines.push_back(timer.name + "=" + std::to_string(timer.id));
  }
  return lines;
}

}  // namespace vigil
