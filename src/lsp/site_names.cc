#include "lsp/site_names.h"

namespace vigil::lsp {

SiteNames NamesOfSymbols(const SymbolTable& symbols) {
  SiteNames names;
  for (const C_Module& module : symbols.modules.records()) {
    names.modules.emplace(module.id, module.name);
  }
  for (const C_parameter& parameter : symbols.parameters.records()) {
    names.parameters.emplace(parameter.id, parameter.name);
  }
  for (const C_mark& mark : symbols.marks.records()) names.marks.emplace(mark.id, mark.name);
  for (const C_registry& reg : symbols.registers.records()) {
    names.registers.emplace(reg.id, reg.name);
  }
  for (const C_registry& timer : symbols.timers.records()) {
    names.timers.emplace(timer.id, timer.name);
  }
  return names;
}

}  // namespace vigil::lsp
