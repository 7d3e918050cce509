// vigil check SCRIPT: compiles the script in memory, writes no file, and
// prints its errors and warnings as text, JSON or SARIF.

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>

#include "cli/platform/file_io.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/cascades.h"
#include "core/check/diagnostic_printers.h"
#include "core/check/notes.h"
#include "core/check/warnings.h"
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

// The errors (but those that follow from another, when `causes` says so) and
// then the warnings, stably sorted into line order; a diagnostic without a
// line goes last.
std::vector<const Diagnostic*> InLineOrder(const std::vector<Diagnostic>& errors,
                                           const std::vector<size_t>& causes,
                                           const std::vector<Diagnostic>& warnings) {
  std::vector<const Diagnostic*> order;
  order.reserve(errors.size() + warnings.size());
  for (size_t i = 0; i < errors.size(); ++i) {
    if (causes.empty() || causes[i] == kNoCause) order.push_back(&errors[i]);
  }
  for (const Diagnostic& warning : warnings) order.push_back(&warning);
  auto key = [](const Diagnostic* d) {
    return d->physical_line > 0 ? d->physical_line : std::numeric_limits<int>::max();
  };
  std::stable_sort(order.begin(), order.end(),
                   [&](const Diagnostic* a, const Diagnostic* b) { return key(a) < key(b); });
  return order;
}

// One of the first kAnnotatedErrors errors, which get notes (as
// ErrorsWithNotes gives them).
bool IsAnnotated(const Compilation& compilation, const Diagnostic* diagnostic) {
  const std::vector<Diagnostic>& errors = compilation.diagnostics;
  std::less<const Diagnostic*> before;  // ordered even across arrays
  return !before(diagnostic, errors.data()) &&
         before(diagnostic, errors.data() + std::min(errors.size(), kAnnotatedErrors));
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
  Compilation compilation = Compile(*source);
  source.reset();
  std::vector<Diagnostic> warnings = Warnings(compilation);
  const std::vector<Diagnostic>& errors = compilation.diagnostics;
  // Errors that follow from an earlier one are counted in its notes.
  std::vector<size_t> causes = options->all ? std::vector<size_t>() : CascadeCauses(errors);
  std::vector<int> caused(causes.size(), 0);
  for (size_t cause : causes) {
    if (cause != kNoCause) ++caused[cause];
  }
  std::vector<const Diagnostic*> order = InLineOrder(errors, causes, warnings);
  // The first errors with their notes; a diagnostic at a time, so that a
  // script of millions of errors is not copied whole.
  auto with_notes = [&](const Diagnostic* diagnostic) {
    Diagnostic annotated = *diagnostic;
    if (IsAnnotated(compilation, diagnostic)) annotated.notes = NotesOf(compilation, annotated);
    size_t index = static_cast<size_t>(diagnostic - errors.data());
    if (diagnostic->severity == Severity::kError && index < caused.size() && caused[index] > 0) {
      annotated.notes.push_back(CascadeNote(caused[index]));
    }
    return annotated;
  };

  if (options->format == Format::kText) {
    for (const Diagnostic* diagnostic : order) {
      out << FormatTextDiagnostic(with_notes(diagnostic), options->script);
    }
    out << FormatSummary(options->script, compilation.error_count,
                         static_cast<int>(warnings.size()),
                         static_cast<int>(compilation.code.size()));
  } else {
    std::vector<Diagnostic> diagnostics;
    diagnostics.reserve(order.size());
    for (const Diagnostic* diagnostic : order) diagnostics.push_back(with_notes(diagnostic));
    out << (options->format == Format::kJson
                ? FormatJson(diagnostics, options->script)
                : FormatSarif(diagnostics, options->script,
                              std::to_string(VIGIL_VERSION_MAJOR) + "." +
                                  std::to_string(VIGIL_VERSION_MINOR)));
  }
  if (compilation.error_count > 0) return kExitErrors;
  if (options->werror && !warnings.empty()) return kExitErrors;
  return kExitClean;
}

}  // namespace vigil
