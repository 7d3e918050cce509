#include "symbols/symbol_table.h"

#include "scan/tokenizer.h"

namespace vigil {

std::string UpperName(std::string_view name) { return ToUpper(name); }

}  // namespace vigil
