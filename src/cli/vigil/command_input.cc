#include "cli/vigil/command_input.h"

#include "cli/platform/file_io.h"

namespace vigil {

std::optional<std::string> ReadInput(std::string_view command, const std::string& path,
                                     std::ostream& err) {
  std::string error;
  std::optional<std::string> text = ReadWholeFile(path, &error);
  if (!text) err << "vigil " << command << ": cannot read '" << path << "': " << error << "\n";
  return text;
}

bool RefusesErrors(std::string_view command, const std::string& script,
                   const Compilation& compilation, std::ostream& err) {
  if (compilation.error_count == 0) return false;
  err << "vigil " << command << ": " << script << " has errors; 'vigil check " << script
      << "' shows them\n";
  return true;
}

}  // namespace vigil
