#include "support/script.h"

namespace vigil::testing {

std::string Crlf(std::string_view lines) {
  std::string text;
  for (char c : lines) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

std::unique_ptr<C_Compiler> CompileScript(std::string_view lines) {
  auto compiler = std::make_unique<C_Compiler>();
  compiler->set_source(Crlf(lines));
  compiler->Compile();
  return compiler;
}

Compilation CompileValue(std::string_view lines) { return Compile(Crlf(lines)); }

std::vector<int> ErrorNumbers(const C_Compiler& compiler) {
  std::vector<int> numbers;
  for (const Diagnostic& diagnostic : compiler.diagnostics()) numbers.push_back(diagnostic.number);
  return numbers;
}

StatementResult CompileInEvent(std::string_view declarations, std::string_view event,
                               std::string_view statements) {
  std::string script(declarations);
  script += "EVENT " + std::string(event) + "\n";
  script += statements;
  script += "EVENTEND\n";
  std::unique_ptr<C_Compiler> compiler = CompileScript(script);
  const std::vector<uint8_t>& bytes = compiler->macros();
  std::vector<int> code(bytes.begin(), bytes.end() - 3);  // no trailer
  // Drop the three bytes of the event header when it was written.
  if (code.size() >= 3 && code[0] == 255) code.erase(code.begin(), code.begin() + 3);
  return {code, ErrorNumbers(*compiler)};
}

}  // namespace vigil::testing
