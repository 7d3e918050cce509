// vigil check SCRIPT: compiles the script in memory, writes no file, and
// prints its errors and warnings as text, JSON or SARIF.

#include <optional>

#include "cli/platform/file_io.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/diagnostic_policy.h"
#include "core/check/diagnostic_printers.h"
#include "core/compile/compilation.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil check SCRIPT [--format=text|json|sarif] [--werror] [--all]\n"
    "Compiles SCRIPT in memory and prints its errors and warnings; writes no file.\n"
    "  --format=text   file:line:column diagnostics with the source line and notes,\n"
    "                  then a summary line (the default)\n"
    "  --format=json   a JSON array, one object per diagnostic; nothing else on stdout\n"
    "  --format=sarif  a SARIF 2.1.0 log for code-scanning tools; nothing else on stdout\n"
    "  --werror        warnings make the exit status 1 as errors do\n"
    "  --all           also the errors that only follow from an earlier one (a failed\n"
    "                  EVENT line, a missing ENDIF), which are otherwise counted in a\n"
    "                  note of the first\n"
    "Exit status: 0 no errors, 1 errors (or warnings with --werror), 2 could not run.\n";

enum class Format { kText, kJson, kSarif };

struct CheckOptions {
  Format format = Format::kText;
  bool werror = false;
  bool all = false;
  bool help = false;
  std::string script;
};

// Options and one script path; nullopt, with the reason in `error`, when the
// arguments do not make a check.
std::optional<CheckOptions> ParseArgs(const std::vector<std::string>& args, std::string* error) {
  CheckOptions options;
  bool have_script = false;
  bool only_paths = false;
  for (const std::string& arg : args) {
    if (!only_paths && arg == "--") {
      only_paths = true;
    } else if (!only_paths && arg == "--help") {
      options.help = true;
    } else if (!only_paths && arg == "--werror") {
      options.werror = true;
    } else if (!only_paths && arg == "--all") {
      options.all = true;
    } else if (!only_paths && arg.starts_with("--format=")) {
      std::string_view name = std::string_view(arg).substr(9);
      if (name == "text") {
        options.format = Format::kText;
      } else if (name == "json") {
        options.format = Format::kJson;
      } else if (name == "sarif") {
        options.format = Format::kSarif;
      } else {
        *error = "unknown format '" + std::string(name) + "'";
        return std::nullopt;
      }
    } else if (!only_paths && arg.starts_with("-") && arg.size() > 1) {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else if (have_script) {
      *error = "more than one script given";
      return std::nullopt;
    } else {
      options.script = arg;
      have_script = true;
    }
  }
  if (!have_script && !options.help) {
    *error = "no script given";
    return std::nullopt;
  }
  return options;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<CheckOptions> options = ParseArgs(args, &error);
  if (!options) {
    err << "vigil check: " << error << "\n" << kUsage;
    return kExitCannotRun;
  }
  if (options->help) {
    out << kUsage;
    return kExitClean;
  }
  std::optional<std::string> source = ReadInput("check", options->script, err);
  if (!source) return kExitCannotRun;
  Compilation compilation = Compile(std::move(*source));
  // A diagnostic at a time, so that a script of millions of errors is never
  // held as diagnostics, whatever the format.
  ShownDiagnostics shown(compilation, {.all = options->all});
  auto at = [&shown](size_t index) { return shown[index]; };
  auto sink = [&out](std::string_view piece) { out << piece; };
  switch (options->format) {
    case Format::kText:
      for (size_t i = 0; i < shown.size(); ++i)
        out << FormatTextDiagnostic(shown[i], options->script);
      out << FormatSummary(options->script, compilation.error_count, shown.warning_count(),
                           static_cast<int>(compilation.code.size()));
      break;
    case Format::kJson:
      WriteJson(shown.size(), at, options->script, sink);
      break;
    case Format::kSarif:
      WriteSarif(shown.size(), at, options->script,
                 std::to_string(VIGIL_VERSION_MAJOR) + "." + std::to_string(VIGIL_VERSION_MINOR),
                 sink);
      break;
  }
  if (compilation.error_count > 0) return kExitErrors;
  if (options->werror && shown.warning_count() > 0) return kExitErrors;
  return kExitClean;
}

}  // namespace vigil
