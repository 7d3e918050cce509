// The compiler's controller-record operations, over its symbol collections.

#include "core/compile/compiler.h"
#include "core/compile/controller_records.h"

namespace vigil {

std::vector<std::string> C_Compiler::DefineParameters() const {
  return vigil::DefineParameters(symbols_);
}

std::vector<std::string> C_Compiler::ModuleParameters() {
  return vigil::ModuleParameters(symbols_);
}

std::string C_Compiler::PartitionTree() const { return vigil::PartitionTree(symbols_); }

}  // namespace vigil
