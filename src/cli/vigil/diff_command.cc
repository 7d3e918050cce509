// vigil diff OLD NEW: the behaviour that changed between two versions of a
// site script, event by event, as the input cases whose effects differ, each
// with a scenario that shows it.

#include <optional>

#include "analysis/behaviour_diff.h"
#include "analysis/diff_formats.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/compile/compilation.h"
#include "sim/program.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil diff OLD NEW [--json | --markdown]\n"
    "Compares what the controller does on every event under the scripts OLD and\n"
    "NEW, over every input, and prints each case whose effects differ: its\n"
    "conditions, what OLD and NEW do, and a scenario for NEW, ready to paste into\n"
    "a scenario file. Renamed, reordered or reformatted lines that compile to the\n"
    "same behaviour change nothing.\n"
    "  --json      the changes as JSON\n"
    "  --markdown  the changes as Markdown, for a site's change record\n"
    "Exit status: 0 no behaviour changed, 1 it changed, 2 could not run\n"
    "(unreadable script, errors in one).\n";

enum class Format { kText, kJson, kMarkdown };

struct DiffOptions {
  std::vector<std::string> scripts;
  Format format = Format::kText;
  bool help = false;
};

std::optional<DiffOptions> ParseArgs(const std::vector<std::string>& args, std::string* error) {
  DiffOptions options;
  for (const std::string& arg : args) {
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--json") {
      options.format = Format::kJson;
    } else if (arg == "--markdown") {
      options.format = Format::kMarkdown;
    } else if (arg.starts_with("-") && arg.size() > 1) {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else {
      options.scripts.push_back(arg);
    }
  }
  if (!options.help && options.scripts.size() != 2) {
    *error = "give the old and the new script";
    return std::nullopt;
  }
  return options;
}

}  // namespace

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<DiffOptions> options = ParseArgs(args, &error);
  if (!options) {
    err << "vigil diff: " << error << "\n" << kUsage;
    return kExitCannotRun;
  }
  if (options->help) {
    out << kUsage;
    return kExitClean;
  }
  const std::string& old_path = options->scripts[0];
  const std::string& new_path = options->scripts[1];
  std::optional<sim::Program> before = LoadRunnable("diff", old_path, err);
  // The same script twice: its errors once.
  std::optional<sim::Program> now =
      !before && new_path == old_path ? std::nullopt : LoadRunnable("diff", new_path, err);
  if (!before || !now) return kExitCannotRun;
  std::vector<analysis::EventChange> changes = analysis::DiffBehaviour(*before, *now);
  switch (options->format) {
    case Format::kText:
      out << analysis::DiffText(changes);
      break;
    case Format::kJson:
      out << analysis::DiffJson(changes, old_path, new_path);
      break;
    case Format::kMarkdown:
      out << analysis::DiffMarkdown(changes, old_path, new_path);
      break;
  }
  return changes.empty() ? kExitClean : kExitErrors;
}

}  // namespace vigil
