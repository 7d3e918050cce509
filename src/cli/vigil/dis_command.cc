// vigil dis: a download file, or the code a script compiles to, readable.

#include <algorithm>
#include <map>

#include "cli/platform/file_io.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/check/diagnostic_printers.h"
#include "core/compile/compilation.h"
#include "core/decode/compiled_image.h"
#include "core/decode/disassembler.h"
#include "core/decode/script_code.h"
#include "core/decode/settings_view.h"
#include "core/formats/download_reader.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil dis SITE.BIN\n"
    "       vigil dis --script SITE.txt\n"
    "\n"
    "Prints a download file readably: the script parameters, each module's settings\n"
    "(type, strike and ajar times, card time-out, partition, saved events), the\n"
    "partition tree, and the code: one line per event header and per instruction,\n"
    "with its offset and bytes in hexadecimal and what it does. Modules, parameters,\n"
    "marks, registers and timers are shown with their names when the settings table\n"
    "file (SITE.SET) lies beside the download file.\n"
    "\n"
    "With --script, compiles the script in memory and prints each script line above\n"
    "the code it produced.\n"
    "\n"
    "Exit status: 0 nothing wrong found, 1 problems found (each is named on standard\n"
    "error and the rest is still shown), 2 could not run.\n";

constexpr std::string_view kCodeHeading = "Code (offsets and bytes in hexadecimal)\n";

// "SITE.BIN: record 4, field 12: ..." for a problem of the file.
std::string Where(std::string_view path, int record, int field) {
  std::string text(path);
  if (record > 0) text += ": record " + std::to_string(record);
  if (field > 0) text += ", field " + std::to_string(field);
  return text;
}

int RunBin(const std::string& path, std::ostream& out, std::ostream& err) {
  std::optional<std::string> text = ReadInput("dis", path, err);
  if (!text) return kExitCannotRun;
  DownloadImage image = ReadDownloadFile(*text);

  SiteNames names;
  std::string error;  // the settings table is optional: why it is missing is not shown
  std::string set_path = path.size() >= 3 ? path.substr(0, path.size() - 3) + "SET" : "";
  std::optional<std::string> set_text =
      set_path.empty() || set_path == path ? std::nullopt : ReadWholeFile(set_path, &error);
  if (set_text) names = ReadSettingsNames(*set_text);

  Disassembly code = Disassemble(image.code, names);
  out << path << ": " << Plural(static_cast<size_t>(image.record_count), "record") << ", "
      << Plural(image.code.size(), "code byte") << "\n";
  out << (set_text           ? "names from " + set_path
          : set_path.empty() ? std::string("no settings table file: no names shown")
                             : "no " + set_path + " beside it: no names shown")
      << "\n\n";
  out << FormatSettings(image, names) << "\n" << kCodeHeading;
  for (const DecodedItem& item : code.items) out << FormatItem(item, image.code);

  for (const DownloadProblem& problem : image.problems) {
    err << Where(path, problem.record, problem.field) << ": " << problem.message << "\n";
  }
  for (const CodeProblem& problem : code.problems) {
    FileSpot spot = LocateCodeByte(image, problem.offset);
    err << Where(path, spot.record, spot.field) << (spot.record > 0 ? " (" : ": ") << "code offset "
        << HexOffset(problem.offset) << (spot.record > 0 ? ")" : "") << ": " << problem.message
        << "\n";
  }
  return image.problems.empty() && code.problems.empty() ? kExitClean : kExitErrors;
}

std::string ShownLine(const SourceLine& line) {
  std::string number = std::to_string(line.physical_line);
  std::string text = std::string(number.size() < 5 ? 5 - number.size() : 0, ' ') + number + " | ";
  for (char c : line.text) text += c == '\n' ? std::string("\n      | ") : std::string(1, c);
  return text + "\n";
}

// Every line of `text` moved right, under the script lines.
std::string Indented(std::string_view text) {
  std::string indented;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find('\n', start), text.size() - 1);
    indented += "        ";
    indented += text.substr(start, end + 1 - start);
    start = end + 1;
  }
  return indented;
}

int RunScript(const std::string& path, std::ostream& out, std::ostream& err) {
  std::optional<std::string> source = ReadInput("dis", path, err);
  if (!source) return kExitCannotRun;
  Compilation compilation = Compile(*source);
  const std::vector<uint8_t>& bytes = compilation.code;
  SiteNames names = DeclaredNames(compilation.symbols);
  DownloadImage image = DownloadImageOf(compilation);
  Disassembly code = Disassemble(bytes, names);

  out << path << ": " << Plural(static_cast<size_t>(compilation.counted_lines), "line") << ", "
      << Plural(static_cast<size_t>(compilation.error_count), "error") << ", "
      << Plural(bytes.size(), "code byte") << "\n\n";
  out << FormatSettings(image, names) << "\n" << kCodeHeading;

  std::vector<int> item_lines = ItemLines(compilation, code);
  std::multimap<int, size_t> items_by_line;  // in the order of the code within a line
  for (size_t i = 0; i < item_lines.size(); ++i) items_by_line.emplace(item_lines[i], i);
  auto show_items_of = [&](int line) {
    auto [first, last] = items_by_line.equal_range(line);
    for (auto it = first; it != last; ++it) {
      out << Indented(FormatItem(code.items[it->second], bytes));
    }
  };
  for (const SourceLine& line : compilation.lines) {
    // The empty text after the last line end is no line of the file.
    if (&line == &compilation.lines.back() && line.text.empty()) break;
    out << ShownLine(line);
    show_items_of(line.physical_line);
  }
  show_items_of(0);

  for (const Diagnostic& diagnostic : compilation.Diagnostics()) {
    err << FormatPlainDiagnostic(diagnostic, path);
  }
  for (const CodeProblem& problem : code.problems) {
    err << path << ": code offset " << HexOffset(problem.offset) << ": " << problem.message << "\n";
  }
  return compilation.error_count == 0 && code.problems.empty() ? kExitClean : kExitErrors;
}

}  // namespace

int RunDis(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (args.size() == 2 && args[0] == "--script") return RunScript(args[1], out, err);
  if (args.size() == 1 && !args[0].starts_with("--")) return RunBin(args[0], out, err);
  err << kUsage;
  return kExitCannotRun;
}

}  // namespace vigil
