#include "core/formats/output_names.h"

namespace vigil {

std::string CommandText(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& arg : args) {
    if (!text.empty()) text += ' ';
    text += arg;
  }
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    text = text.substr(1, text.size() - 2);
  }
  return text;
}

OutputNames MakeOutputNames(std::string_view command_text) {
  std::string stem(command_text.substr(0, command_text.size() - 3));
  return {stem + "BIN", stem + "LST", stem + "ERR", stem + "SET"};
}

std::string ProgramName(std::string_view argv0) {
  size_t slash = argv0.find_last_of("/\\");
  std::string_view base = slash == std::string_view::npos ? argv0 : argv0.substr(slash + 1);
  size_t dot = base.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
  return std::string(base);
}

}  // namespace vigil
