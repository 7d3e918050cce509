// Whether standard output is a terminal, for colour: on a terminal, unless
// NO_COLOR is set; never into a pipe or a file.
#ifndef VIGIL_CLI_PLATFORM_TERMINAL_H_
#define VIGIL_CLI_PLATFORM_TERMINAL_H_

namespace vigil {

// True when standard output is a terminal and NO_COLOR is unset or empty.
bool ColourOnStandardOutput();

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_TERMINAL_H_
