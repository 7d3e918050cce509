// vigil build SCRIPT: what vigilc does, file for file and with the same exit
// status, followed by the errors in the text form of `vigil check`.

#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/diagnostic_printers.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil build SCRIPT\n"
    "Compiles SCRIPT and writes its download file (.BIN), listing (.LST), error file (.ERR)\n"
    "and settings table (.SET) exactly as vigilc does, then prints the errors with their\n"
    "lines, columns and notes.\n"
    "Exit status: 0 no errors, 1 errors were reported (all files are written), 2 could not "
    "run.\n";

// The listing names the compiler that wrote it; the files must be vigilc's.
constexpr std::string_view kCompilerName = "vigilc";

}  // namespace

int RunBuild(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (args.empty()) {
    err << kUsage;
    return kExitCannotRun;
  }
  BuildResult result =
      BuildScript(args, "vigil build", kCompilerName, out, err, /*with_notes=*/true);
  for (const Diagnostic& diagnostic : result.diagnostics) {
    err << FormatTextDiagnostic(diagnostic, result.script);
  }
  err << FormatMoreErrors(result);
  return result.status;
}

}  // namespace vigil
