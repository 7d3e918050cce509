#include "cli/vigil/command_input.h"

#include "cli/platform/file_io.h"
#include "core/check/diagnostic_policy.h"
#include "core/check/diagnostic_printers.h"
#include "core/lang/errors.h"

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
  // What vigil check says, line-end trouble first: the warnings about line
  // ends and byte-order marks, which change what runs, always; the errors
  // when there are any.
  ShownDiagnostics shown(compilation, {.line_ends_first = true});
  bool errors = compilation.error_count > 0;
  size_t printed = 0;
  size_t more = 0;
  for (size_t i = 0; i < shown.size(); ++i) {
    Diagnostic diagnostic = shown[i];
    bool line_ends = diagnostic.severity == Severity::kWarning &&
                     (diagnostic.number == static_cast<int>(Warn::kLoneLineFeed) ||
                      diagnostic.number == static_cast<int>(Warn::kByteOrderMark));
    if (!line_ends && !(errors && diagnostic.severity == Severity::kError)) continue;
    if (printed == kMaxProblemsShown) {
      ++more;
      continue;
    }
    err << FormatTextDiagnostic(diagnostic, script);
    ++printed;
  }
  if (more > 0) err << script << ": " << more << " more problems not shown\n";
  if (!errors) return false;
  err << "vigil " << command << ": " << script << " has "
      << Plural(static_cast<size_t>(compilation.error_count), "error") << "; nothing ran\n";
  return true;
}

std::optional<sim::Program> LoadRunnable(std::string_view command, const std::string& path,
                                         std::ostream& err) {
  std::optional<std::string> source = ReadInput(command, path, err);
  if (!source) return std::nullopt;
  Compilation compilation = Compile(std::move(*source));
  if (RefusesErrors(command, path, compilation, err)) return std::nullopt;
  return sim::MakeProgram(compilation);
}

}  // namespace vigil
