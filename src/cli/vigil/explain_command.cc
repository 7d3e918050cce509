// vigil explain CODE...: what an error number or warning means, a wrong and a
// right example, and how to fix it.

#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/explain_table.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil explain CODE...\n"
    "Explains an error (E6, or just 6) or a warning (W1). Without a code, lists them all.\n";

void PrintList(std::ostream& out) {
  out << kUsage << "\n";
  for (const Explanation& explanation : Explanations()) {
    std::string code(explanation.code);
    out << "  " << code << std::string(code.size() < 5 ? 5 - code.size() : 1, ' ')
        << ExplanationTitle(explanation) << "\n";
  }
}

}  // namespace

int RunExplain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintList(out);
    return kExitClean;
  }
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  for (const std::string& code : args) {
    if (FindExplanation(code) == nullptr) {
      err << "vigil explain: no error or warning '" << code << "'; run 'vigil explain' for "
          << "the list\n";
      return kExitCannotRun;
    }
  }
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) out << "\n";
    out << FormatExplanation(*FindExplanation(args[i]));
  }
  return kExitClean;
}

}  // namespace vigil
