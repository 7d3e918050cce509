#include "cli/vigilc/sub_main.h"

#include <algorithm>
#include <optional>

#include "cli/platform/file_io.h"
#include "core/check/diagnostic_printers.h"
#include "core/check/notes.h"
#include "core/compile/compilation.h"
#include "core/formats/output_files.h"
#include "core/formats/output_names.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigilc SCRIPT\n"
    "Compiles an event script and writes SCRIPT's download file (.BIN), listing (.LST),\n"
    "error file (.ERR) and settings table (.SET) beside it: the path less its last three\n"
    "characters, followed by BIN, LST, ERR and SET.\n"
    "Exit status: 0 no errors, 1 errors were reported (all files are written), 2 could not run.\n";

// Errors per piece of the error file: a script of millions of errors never
// holds its whole error file.
constexpr size_t kErrorsPerPiece = 4096;

OutputSet::Pieces ErrorFilePieces(const Compilation& compilation) {
  return [&compilation, first = size_t{0}, piece = std::string()]() mutable {
    piece = ErrorFileText(compilation, first, kErrorsPerPiece);
    first += kErrorsPerPiece;
    return std::string_view(piece);
  };
}

bool WriteOutputs(const Compilation& compilation, const OutputNames& names,
                  std::string_view program, std::string* error) {
  OutputSet outputs;
  // The four names differ in their last three characters only.
  std::string stem = names.bin.substr(0, names.bin.size() - 3);
  if (!outputs.Lock(stem, error)) return false;
  if (!outputs.Stage(names.bin, DownloadFileText(compilation), error)) return false;
  ListingHeader header{std::string(program), VIGIL_VERSION_MAJOR, VIGIL_VERSION_MINOR,
                       LocalTimeText(outputs.StagedTime(names.bin).value_or(0))};
  return outputs.Stage(names.lst, ListingText(compilation, header), error) &&
         outputs.Stage(names.err, ErrorFilePieces(compilation), error) &&
         outputs.Stage(names.set, SettingsFileText(compilation), error) && outputs.Commit(error);
}

// The output that would replace the script itself, if any.
std::optional<std::string> OutputThatIsScript(const std::string& script, const OutputNames& names) {
  for (const std::string* name : {&names.bin, &names.lst, &names.err, &names.set}) {
    if (SameFile(script, *name)) return *name;
  }
  return std::nullopt;
}

// The first kShownErrors errors, with their notes when asked for.
std::vector<Diagnostic> ShownErrors(const Compilation& compilation, bool with_notes) {
  std::vector<Diagnostic> shown;
  for (size_t i = 0; i < std::min(compilation.errors.size(), kShownErrors); ++i) {
    shown.push_back(compilation.ErrorAt(i));
    if (with_notes) shown.back().notes = NotesOf(compilation, shown.back());
  }
  return shown;
}

}  // namespace

BuildResult BuildScript(const std::vector<std::string>& args, std::string_view program,
                        std::string_view compiler, std::ostream& out, std::ostream& err,
                        bool with_notes) {
  BuildResult result;
  result.script = CommandText(args);
  if (result.script.size() < 3) {
    err << program << ": script path '" << result.script << "' is too short to name outputs\n";
    return result;
  }
  OutputNames names = MakeOutputNames(result.script);
  if (std::optional<std::string> output = OutputThatIsScript(result.script, names)) {
    err << program << ": refusing to write '" << *output << "': it is the script '" << result.script
        << "' itself\n";
    return result;
  }
  std::string error;
  std::optional<std::string> source = ReadWholeFile(result.script, &error);
  if (!source) {
    err << program << ": cannot read '" << result.script << "': " << error << "\n";
    return result;
  }
  Compilation compilation = Compile(std::move(*source), {.record_tokens = false});

  if (!WriteOutputs(compilation, names, compiler, &error)) {
    err << program << ": " << error << "\n";
    return result;
  }
  result.error_file = names.err;
  result.diagnostics = ShownErrors(compilation, with_notes);
  result.source = compilation.source;
  result.error_count = compilation.errors.size();
  int errors = compilation.error_count;
  result.status = errors > 0 ? kExitErrors : kExitClean;
  out << program << ": " << result.script << ": " << compilation.counted_lines << " lines, "
      << errors << (errors == 1 ? " error, " : " errors, ") << compilation.code.size()
      << " bytes; wrote " << names.bin << ", " << names.lst << ", " << names.err << ", "
      << names.set << "\n";
  return result;
}

int SubMain(const std::vector<std::string>& args, std::string_view argv0, std::ostream& out,
            std::ostream& err) {
  std::string program = ProgramName(argv0);
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (args.size() == 1 && args[0] == "--version") {
    out << program << " " << VIGIL_VERSION_MAJOR << "." << VIGIL_VERSION_MINOR << "\n";
    return kExitClean;
  }
  if (args.empty()) {
    err << program << ": no script given (usage: " << program << " SCRIPT; " << program
        << " --help)\n";
    return kExitCannotRun;
  }
  BuildResult result = BuildScript(args, program, program, out, err);
  for (const Diagnostic& diagnostic : result.diagnostics) {
    err << FormatPlainDiagnostic(diagnostic, result.script);
  }
  err << FormatMoreErrors(result);
  return result.status;
}

std::string FormatMoreErrors(const BuildResult& result) {
  if (result.error_count <= result.diagnostics.size()) return std::string();
  size_t more = result.error_count - result.diagnostics.size();
  return result.script + ": " + std::to_string(more) +
         (more == 1 ? " more error in " : " more errors in ") + result.error_file + "\n";
}

std::string FormatPlainDiagnostic(const Diagnostic& diagnostic, std::string_view file) {
  std::string text(file);
  text += ":" + std::to_string(diagnostic.physical_line) + ": ";
  text += diagnostic.severity == Severity::kError ? "error: " : "warning: ";
  text += ErrorMessage(diagnostic.number);
  text += " [E" + std::to_string(diagnostic.number) + "]\n";
  text += "    " + EscapeControls(diagnostic.source_text) + "\n";
  return text;
}

}  // namespace vigil
