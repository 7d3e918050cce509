// The vigilc command: compile one script and write its four output files.
#ifndef VIGIL_CLI_VIGILC_SUB_MAIN_H_
#define VIGIL_CLI_VIGILC_SUB_MAIN_H_

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/lang/diagnostics.h"

namespace vigil {

// Exit statuses.
inline constexpr int kExitClean = 0;
inline constexpr int kExitErrors = 1;
inline constexpr int kExitCannotRun = 2;

// Stderr shows this many errors; the error file holds them all.
inline constexpr size_t kShownErrors = 50;

struct BuildResult {
  int status = kExitCannotRun;
  std::string script;                   // the script path, as given
  std::string error_file;               // the error file's path, once written
  std::vector<Diagnostic> diagnostics;  // the first kShownErrors errors
  size_t error_count = 0;               // all the errors
  // The script's bytes, which the diagnostics' texts view.
  std::shared_ptr<const std::string> source;
};

// Compiles the script named by `args` and writes the download, listing, error
// and settings table files beside it, all or none; refuses when an output
// would replace the script itself. Problems that stop the run go to `err` as
// one line. Messages start with `program`; the listing names `compiler`.
// With `with_notes` the diagnostics carry the compiler's notes (vigil build);
// the files are the same either way.
BuildResult BuildScript(const std::vector<std::string>& args, std::string_view program,
                        std::string_view compiler, std::ostream& out, std::ostream& err,
                        bool with_notes = false);

// The whole command: options, the build, and the diagnostics on `err`.
int SubMain(const std::vector<std::string>& args, std::string_view argv0, std::ostream& out,
            std::ostream& err);

// "site.txt: 12 more errors in site.ERR" when `result` has more errors than
// it shows, else "".
std::string FormatMoreErrors(const BuildResult& result);

// "site.txt:14: error: Unknown command [E6]" and the source line, indented.
std::string FormatPlainDiagnostic(const Diagnostic& diagnostic, std::string_view file);

}  // namespace vigil

#endif  // VIGIL_CLI_VIGILC_SUB_MAIN_H_
