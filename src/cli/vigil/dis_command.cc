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

// Output gathered in pieces of this size, each written at once.
constexpr size_t kOutputPiece = 1 << 16;

// A stream's text gathered and written a piece at a time, not per word.
class Buffered {
 public:
  explicit Buffered(std::ostream& stream) : stream_(stream) {}
  ~Buffered() { Flush(); }
  Buffered(const Buffered&) = delete;
  Buffered& operator=(const Buffered&) = delete;

  Buffered& operator<<(std::string_view text) {
    text_ += text;
    if (text_.size() >= kOutputPiece) Flush();
    return *this;
  }
  void Flush() {
    stream_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  std::ostream& stream_;
  std::string text_;
};

// The first kShownErrors problems, as vigilc shows errors, then how many
// more there were.
class ProblemList {
 public:
  ProblemList(std::ostream& err, std::string_view path) : err_(err), path_(path) {}
  ~ProblemList() {
    if (count_ > kShownErrors) {
      size_t more = count_ - kShownErrors;
      err_ << path_ << ": " << std::to_string(more)
           << (more == 1 ? " more problem\n" : " more problems\n");
    }
  }
  ProblemList(const ProblemList&) = delete;
  ProblemList& operator=(const ProblemList&) = delete;

  // True while the next problem is to be shown.
  bool Shows() const { return count_ < kShownErrors; }
  void Add(std::string_view line) {
    if (Shows()) err_ << line;
    ++count_;
  }
  // Problems known only by their number.
  void Count(size_t more) { count_ += more; }

 private:
  Buffered err_;
  std::string path_;
  size_t count_ = 0;
};

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
  {
    Buffered shown(out);
    shown << path << ": " << Plural(static_cast<size_t>(image.record_count), "record") << ", "
          << Plural(image.code.size(), "code byte") << "\n";
    shown << (set_text           ? "names from " + set_path
              : set_path.empty() ? std::string("no settings table file: no names shown")
                                 : "no " + set_path + " beside it: no names shown")
          << "\n\n";
    shown << FormatSettings(image, names) << "\n" << kCodeHeading;
    for (const DecodedItem& item : code.items) shown << FormatItem(item, image.code);
  }
  ProblemList problems(err, path);
  for (const DownloadProblem& problem : image.problems) {
    problems.Add(Where(path, problem.record, problem.field) + ": " + problem.message + "\n");
  }
  problems.Count(image.problem_count - image.problems.size());
  for (const CodeProblem& problem : code.problems) {
    if (!problems.Shows()) {
      problems.Count(1);
      continue;
    }
    FileSpot spot = LocateCodeByte(image, problem.offset);
    problems.Add(Where(path, spot.record, spot.field) + (spot.record > 0 ? " (" : ": ") +
                 "code offset " + HexOffset(problem.offset) + (spot.record > 0 ? ")" : "") + ": " +
                 problem.message + "\n");
  }
  return image.problem_count == 0 && code.problems.empty() ? kExitClean : kExitErrors;
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
  Compilation compilation = Compile(std::move(*source), {.record_tokens = false});
  const std::vector<uint8_t>& bytes = compilation.code;
  SiteNames names = DeclaredNames(compilation.symbols);
  DownloadImage image = DownloadImageOf(compilation);
  Disassembly code = Disassemble(bytes, names);
  {
    Buffered shown(out);
    shown << path << ": " << Plural(static_cast<size_t>(compilation.counted_lines), "line") << ", "
          << Plural(static_cast<size_t>(compilation.error_count), "error") << ", "
          << Plural(bytes.size(), "code byte") << "\n\n";
    shown << FormatSettings(image, names) << "\n" << kCodeHeading;

    std::vector<int> item_lines = ItemLines(compilation, code);
    std::multimap<int, size_t> items_by_line;  // in the order of the code within a line
    for (size_t i = 0; i < item_lines.size(); ++i) items_by_line.emplace(item_lines[i], i);
    auto show_items_of = [&](int line) {
      auto [first, last] = items_by_line.equal_range(line);
      for (auto it = first; it != last; ++it) {
        shown << Indented(FormatItem(code.items[it->second], bytes));
      }
    };
    for (const SourceLine& line : compilation.lines) {
      // The empty text after the last line end is no line of the file.
      if (&line == &compilation.lines.back() && line.text.empty()) break;
      shown << ShownLine(line);
      show_items_of(line.physical_line);
    }
    show_items_of(0);
  }
  ProblemList problems(err, path);
  for (size_t i = 0; i < compilation.errors.size(); ++i) {
    if (!problems.Shows()) {
      problems.Count(compilation.errors.size() - i);
      break;
    }
    problems.Add(FormatPlainDiagnostic(compilation.ErrorAt(i), path));
  }
  for (const CodeProblem& problem : code.problems) {
    problems.Add(path + ": code offset " + HexOffset(problem.offset) + ": " + problem.message +
                 "\n");
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
