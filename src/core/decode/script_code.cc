#include "core/decode/script_code.h"

#include <algorithm>
#include <map>

namespace vigil {

SiteNames DeclaredNames(const SymbolTable& symbols) {
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

std::vector<int> ItemLines(const Compilation& compilation, const Disassembly& code) {
  std::multimap<int, LineCode> ranges;  // by physical line
  for (const LineCode& range : compilation.line_code) ranges.emplace(range.physical_line, range);
  std::vector<int> lines(code.items.size(), 0);
  // The items are in the order of their offsets.
  auto before = [](const DecodedItem& item, int offset) { return item.offset < offset; };
  for (const SourceLine& line : compilation.lines) {
    auto [first, last] = ranges.equal_range(line.physical_line);
    for (auto it = first; it != last; ++it) {
      auto item = std::lower_bound(code.items.begin(), code.items.end(), it->second.begin, before);
      for (; item != code.items.end() && item->offset < it->second.end; ++item) {
        int& item_line = lines[static_cast<size_t>(item - code.items.begin())];
        if (item_line == 0) item_line = line.physical_line;
      }
    }
  }
  return lines;
}

}  // namespace vigil
