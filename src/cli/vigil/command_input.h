// What the vigil commands read: a file, or nothing after one line on stderr
// saying why, and a compiled script that must be free of errors to run.
#ifndef VIGIL_CLI_VIGIL_COMMAND_INPUT_H_
#define VIGIL_CLI_VIGIL_COMMAND_INPUT_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/compile/compilation.h"

namespace vigil {

// The file's bytes; nullopt after "vigil COMMAND: cannot read 'PATH': why".
std::optional<std::string> ReadInput(std::string_view command, const std::string& path,
                                     std::ostream& err);

// True, after "vigil COMMAND: SCRIPT has errors; ...", when `compilation`
// reported errors.
bool RefusesErrors(std::string_view command, const std::string& script,
                   const Compilation& compilation, std::ostream& err);

}  // namespace vigil

#endif  // VIGIL_CLI_VIGIL_COMMAND_INPUT_H_
