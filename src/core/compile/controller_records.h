// The settings records of the download file: script parameters, module
// settings and the partition tree.
#ifndef VIGIL_CORE_COMPILE_CONTROLLER_RECORDS_H_
#define VIGIL_CORE_COMPILE_CONTROLLER_RECORDS_H_

#include <string>
#include <vector>

#include "core/compile/symbol_table.h"

namespace vigil {

// One settings record as values: "11;module;item;low;high;".
struct SettingRecord {
  int module = 0;
  int item = 0;
  int low = 0;
  int high = 0;
};

// The records of the script parameters (module 254, item = the parameter's
// id) and of the modules, in file order. ModuleSettings raises each door
// module's strike time below 2 to 2 first.
std::vector<SettingRecord> ParameterSettings(const SymbolTable& symbols);
std::vector<SettingRecord> ModuleSettings(SymbolTable& symbols);

// "11;module;item;low;high;".
std::string FormatSettingRecord(const SettingRecord& record);

// The eight characters of the partition tree: for partition k (module id
// 100 + k) its parent's number, "R" for the panel, "*" for none.
std::string PartitionTreeChars(const SymbolTable& symbols);

// "11;254;id;value;0;" per parameter; one empty string when there is none.
std::vector<std::string> DefineParameters(const SymbolTable& symbols);

// The module records, padded with empty strings to six per module plus two;
// one empty string when no module is declared. Raises each door module's
// strike time below 2 to 2 in its record first.
std::vector<std::string> ModuleParameters(SymbolTable& symbols);

// "122;" and the codes of the eight-character partition tree string.
std::string PartitionTree(const SymbolTable& symbols);

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_CONTROLLER_RECORDS_H_
