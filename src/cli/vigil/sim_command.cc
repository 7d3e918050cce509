// vigil sim SCRIPT EVENT [--set NAME=VALUE ...] [--json]: runs one event of
// the compiled script on the controller model and says what it does.

#include <algorithm>
#include <iostream>
#include <optional>

#include "cli/platform/file_io.h"
#include "cli/platform/terminal.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/compile/compilation.h"
#include "sim/event_run.h"
#include "sim/trace.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil sim SCRIPT EVENT [--set NAME=VALUE ...] [--json] [--quiet]\n"
    "Runs EVENT (such as FRONT.VALID) of the compiled SCRIPT on a model of the\n"
    "controller and prints each instruction with the line it came from, the\n"
    "value every IF tested, the branch taken and every state changed.\n"
    "  --set NAME=VALUE  a state before the event, as a scenario's SET takes it:\n"
    "                    --set TIMEPLAN(2)=ON --set FRONT.INPUT1=ON --set CARS=3\n"
    "  --json            the trace as JSON\n"
    "  --quiet           only the result line\n"
    "Time runs on until the event and the events it queued have finished.\n"
    "Exit status: 0 ran to the end, 1 a bound cut the run short (the result\n"
    "line says which), 2 could not run (unreadable script, errors in it, a bad\n"
    "event or --set).\n"
    "Events and the result are in bold on a terminal, unless NO_COLOR is set.\n";

struct SimOptions {
  std::string script;
  std::string event;
  std::vector<std::string> sets;
  bool json = false;
  bool quiet = false;
  bool help = false;
};

std::optional<SimOptions> ParseArgs(const std::vector<std::string>& args, std::string* error) {
  SimOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--json") {
      options.json = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--set") {
      if (i + 1 == args.size()) {
        *error = "--set needs a state: --set NAME=VALUE";
        return std::nullopt;
      }
      options.sets.push_back(args[++i]);
    } else if (arg.starts_with("--set=")) {
      options.sets.push_back(arg.substr(6));
    } else if (arg.starts_with("-") && arg.size() > 1) {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.help) return options;
  if (positional.size() != 2) {
    *error = "give a script and one event";
    return std::nullopt;
  }
  options.script = positional[0];
  options.event = positional[1];
  return options;
}

// An error in the event or a --set, located as the user wrote it: "--set
// 2:5" is the fifth byte of the second --set, "EVENT:3" the event's third.
std::string Located(sim::ScenarioError error, const SimOptions& options) {
  bool event = error.line == 1;
  int prefix = static_cast<int>((event ? sim::kEventWord : sim::kSetWord).size());
  error.column = std::max(error.column - prefix, 1);
  error.end_column = std::max(error.end_column - prefix, error.column + 1);
  size_t index = static_cast<size_t>(std::max(error.line - 2, 0));
  error.text = event ? options.event : options.sets.at(index);
  std::string label = event ? "EVENT" : "--set " + std::to_string(index + 1);
  return "vigil sim: " +
         sim::FormatProblem(error, label + ":" + std::to_string(error.column), label);
}

// The lines that head an event and the result line, in bold.
std::string Bold(std::string_view text) {
  std::string bold;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    bool heading = !line.empty() && line.front() != ' ';
    bold += heading ? "\x1b[1m" + std::string(line) + "\x1b[0m" : std::string(line);
    bold += "\n";
    start = end + 1;
  }
  return bold;
}

}  // namespace

int RunSim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<SimOptions> options = ParseArgs(args, &error);
  if (!options) {
    err << "vigil sim: " << error << "\n" << kUsage;
    return kExitCannotRun;
  }
  if (options->help) {
    out << kUsage;
    return kExitClean;
  }
  std::optional<std::string> source = ReadInput("sim", options->script, err);
  if (!source) return kExitCannotRun;
  Compilation compilation = Compile(*source);
  if (RefusesErrors("sim", options->script, compilation, err)) return kExitCannotRun;
  sim::EventRequest request{options->event, 1, {}};
  for (const std::string& set : options->sets) {
    request.sets.push_back({static_cast<int>(request.sets.size()) + 2, set});
  }
  sim::EventRun run = sim::RunEvent(compilation, request);
  for (const sim::ScenarioError& e : run.errors) err << Located(e, *options);
  if (!run.errors.empty()) return kExitCannotRun;
  if (options->json) {
    out << sim::EventRunJson(options->script, options->event, run);
  } else {
    std::string text = (options->quiet ? "" : sim::FormatTraceText(run.trace)) + run.result;
    out << (&out == &std::cout && ColourOnStandardOutput() ? Bold(text) : text);
  }
  return run.finished() ? kExitClean : kExitErrors;
}

}  // namespace vigil
