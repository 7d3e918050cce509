// vigil diff OLD NEW: the behaviour that changed between two versions of a
// site script, event by event, as the input cases whose effects differ, each
// with a scenario that shows it.

#include <optional>

#include "analysis/behaviour_diff.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/compile/compilation.h"
#include "sim/program.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil diff OLD NEW\n"
    "Compares what the controller does on every event under the scripts OLD and\n"
    "NEW, over every input, and prints each case whose effects differ: its\n"
    "conditions, what OLD and NEW do, and a scenario for NEW, ready to paste into\n"
    "a scenario file. Renamed, reordered or reformatted lines that compile to the\n"
    "same behaviour change nothing.\n"
    "Exit status: 0 no behaviour changed, 1 it changed, 2 could not run\n"
    "(unreadable script, errors in one).\n";

std::optional<sim::Program> Load(const std::string& path, std::ostream& err) {
  std::optional<std::string> source = ReadInput("diff", path, err);
  if (!source) return std::nullopt;
  Compilation compilation = Compile(*source);
  if (RefusesErrors("diff", path, compilation, err)) return std::nullopt;
  return sim::MakeProgram(compilation);
}

}  // namespace

int RunDiff(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() == 1 && args[0] == "--help") {
    out << kUsage;
    return kExitClean;
  }
  if (args.size() != 2 || args[0].starts_with("--") || args[1].starts_with("--")) {
    err << "vigil diff: give the old and the new script\n" << kUsage;
    return kExitCannotRun;
  }
  std::optional<sim::Program> before = Load(args[0], err);
  if (!before) return kExitCannotRun;
  std::optional<sim::Program> now = Load(args[1], err);
  if (!now) return kExitCannotRun;
  std::vector<analysis::EventChange> changes = analysis::DiffBehaviour(*before, *now);
  out << analysis::DiffText(changes);
  return changes.empty() ? kExitClean : kExitErrors;
}

}  // namespace vigil
