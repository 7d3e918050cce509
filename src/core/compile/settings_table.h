// The settings table file: every parameter, door setting, archive mark,
// register and timer with the numbers the download file gives it.
#ifndef VIGIL_CORE_COMPILE_SETTINGS_TABLE_H_
#define VIGIL_CORE_COMPILE_SETTINGS_TABLE_H_

#include <string>
#include <vector>

#include "core/compile/symbol_table.h"

namespace vigil {

// The file's lines, without line ends.
std::vector<std::string> WriteSettingsTable(const SymbolTable& symbols);

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_SETTINGS_TABLE_H_
