// The command text and the four output file names derived from it.
#ifndef VIGIL_CORE_FORMATS_OUTPUT_NAMES_H_
#define VIGIL_CORE_FORMATS_OUTPUT_NAMES_H_

#include <string>
#include <string_view>
#include <vector>

namespace vigil {

// The arguments joined by single blanks, one pair of surrounding double
// quotes removed.
std::string CommandText(const std::vector<std::string>& args);

struct OutputNames {
  std::string bin;
  std::string lst;
  std::string err;
  std::string set;
};

// The command text less its last three characters, followed by "BIN", "LST",
// "ERR" and "SET". The text must hold at least three characters.
OutputNames MakeOutputNames(std::string_view command_text);

// The program's name for the listing header: the base name without extension.
std::string ProgramName(std::string_view argv0);

}  // namespace vigil

#endif  // VIGIL_CORE_FORMATS_OUTPUT_NAMES_H_
