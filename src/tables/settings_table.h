// The settings table file: every parameter, door setting, archive mark,
// register and timer with the numbers the download file gives it.
#ifndef VIGIL_TABLES_SETTINGS_TABLE_H_
#define VIGIL_TABLES_SETTINGS_TABLE_H_

#include <string>
#include <vector>

#include "symbols/symbol_table.h"

namespace vigil {

// The file's lines, without line ends.
std::vector<std::string> WriteSettingsTable(const SymbolTable& symbols);

}  // namespace vigil

#endif  // VIGIL_TABLES_SETTINGS_TABLE_H_
