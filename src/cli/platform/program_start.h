// What a command-line program does first: its arguments as UTF-8 and its
// standard streams carrying bytes unchanged.
#ifndef VIGIL_CLI_PLATFORM_PROGRAM_START_H_
#define VIGIL_CLI_PLATFORM_PROGRAM_START_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// The program's arguments in UTF-8, the program's own name first. Sets stdin,
// stdout and stderr to binary, so that a printed line ends in "\n" alone.
std::vector<std::string> StartProgram(int argc, char** argv);

// Runs the program's `body` and gives its exit status. Out of memory
// anywhere, the program says so in one line on stderr ("vigilc: out of
// memory") and exits 2; the files it was writing are removed, and no output
// file is created or changed.
int RunProgram(std::string_view program, const std::function<int()>& body);

}  // namespace vigil

#endif  // VIGIL_CLI_PLATFORM_PROGRAM_START_H_
