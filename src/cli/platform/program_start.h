// What a command-line program does first: its arguments as UTF-8 and its
// standard streams carrying bytes unchanged.
#ifndef VIGIL_CLI_PLATFORM_PROGRAM_START_H_
#define VIGIL_CLI_PLATFORM_PROGRAM_START_H_

#include <string>
#include <vector>

namespace vigil {

// The program's arguments in UTF-8, the program's own name first. Sets stdin,
// stdout and stderr to binary, so that a printed line ends in "\n" alone.
std::vector<std::string> StartProgram(int argc, char** argv);

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_PROGRAM_START_H_
