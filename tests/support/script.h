// Helpers for tests that compile whole scripts in memory.
#ifndef VIGIL_TESTS_SUPPORT_SCRIPT_H_
#define VIGIL_TESTS_SUPPORT_SCRIPT_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/compilation.h"
#include "core/compile/compiler.h"

namespace vigil::testing {

// Turns "\n" line ends into the CR LF that scripts use.
std::string Crlf(std::string_view lines);

// Compiles `lines` (lines ending in "\n", turned into CR LF).
std::unique_ptr<C_Compiler> CompileScript(std::string_view lines);

// Compiles `lines` (turned into CR LF) through the value API.
Compilation CompileValue(std::string_view lines);

// The numbers of the errors reported, in order.
std::vector<int> ErrorNumbers(const C_Compiler& compiler);

// The code that `statements` compile to inside an event block, after
// `declarations`: the event header and the trailer are left out. `event` is
// the event word, such as "PANEL.INIT".
struct StatementResult {
  std::vector<int> code;
  std::vector<int> errors;
};
StatementResult CompileInEvent(std::string_view declarations, std::string_view event,
                               std::string_view statements);

}  // namespace vigil::testing

#endif  // VIGIL_TESTS_SUPPORT_SCRIPT_H_
