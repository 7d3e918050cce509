// What the vigil commands read: a file, or nothing after one line on stderr
// saying why, and a compiled script that must be free of errors to run.
#ifndef VIGIL_CLI_VIGIL_COMMAND_INPUT_H_
#define VIGIL_CLI_VIGIL_COMMAND_INPUT_H_

#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "core/compile/compilation.h"
#include "sim/program.h"

namespace vigil {

// The file's bytes; nullopt after "vigil COMMAND: cannot read 'PATH': why".
std::optional<std::string> ReadInput(std::string_view command, const std::string& path,
                                     std::ostream& err);

// Problems a command shows on standard error before it counts the rest.
inline constexpr size_t kMaxProblemsShown = 50;

// Prints the script's line-end warnings (W6, W9), which change what runs, as
// vigil check does. When `compilation` reported errors, prints them too
// (line-end trouble first, the first kMaxProblemsShown, then a count) and
// "vigil COMMAND: SCRIPT has N errors; nothing ran", and returns true.
bool RefusesErrors(std::string_view command, const std::string& script,
                   const Compilation& compilation, std::ostream& err);

// The script at `path` read, compiled and loaded on the controller model;
// nullopt after ReadInput's or RefusesErrors' lines on `err`.
std::optional<sim::Program> LoadRunnable(std::string_view command, const std::string& path,
                                         std::ostream& err);

}  // namespace vigil

#endif  // VIGIL_CLI_VIGIL_COMMAND_INPUT_H_
