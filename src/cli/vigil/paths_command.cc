// vigil paths SCRIPT [EVENT...] [--json | --markdown]: every path through
// each event's code as a row of a decision table, and the dead code.

#include <algorithm>
#include <optional>

#include "analysis/decision_table.h"
#include "analysis/explore.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/compile/compilation.h"
#include "core/scan/tokenizer.h"
#include "sim/event_run.h"
#include "sim/program.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil paths SCRIPT [EVENT...] [--json | --markdown]\n"
    "Prints every path through the code of each event (or of the EVENTs named,\n"
    "such as FRONT.VALID) as a row of a decision table: the conditions on the\n"
    "controller's state when the event starts that lead there, and what the\n"
    "controller then does. Lines no input can reach are named as dead code.\n"
    "  --json      the tables as JSON\n"
    "  --markdown  the tables as Markdown, for a site's handover file\n"
    "Exit status: 0 printed, 2 could not run (unreadable script, errors in it, an\n"
    "event the script has no block for).\n";

enum class Format { kText, kJson, kMarkdown };

struct PathsOptions {
  std::string script;
  std::vector<std::string> events;
  Format format = Format::kText;
  bool help = false;
};

std::optional<PathsOptions> ParseArgs(const std::vector<std::string>& args, std::string* error) {
  PathsOptions options;
  std::vector<std::string> positional;
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
      positional.push_back(arg);
    }
  }
  if (options.help) return options;
  if (positional.empty()) {
    *error = "give a script";
    return std::nullopt;
  }
  options.script = positional[0];
  options.events.assign(positional.begin() + 1, positional.end());
  return options;
}

// The events asked for, in the order asked; nullopt after naming one the
// script has no block for.
std::optional<std::vector<sim::EventInfo>> Chosen(const std::vector<sim::EventInfo>& all,
                                                  const std::vector<std::string>& names,
                                                  std::ostream& err) {
  if (names.empty()) return all;
  std::vector<sim::EventInfo> chosen;
  for (const std::string& name : names) {
    auto it = std::find_if(all.begin(), all.end(), [&](const sim::EventInfo& event) {
      return EqualsIgnoreCase(event.name, name);
    });
    if (it == all.end()) {
      err << "vigil paths: the script has no block for event '" << name << "'\n";
      return std::nullopt;
    }
    bool repeated = std::any_of(chosen.begin(), chosen.end(), [&](const sim::EventInfo& event) {
      return event.module == it->module && event.event == it->event;
    });
    if (!repeated) chosen.push_back(*it);
  }
  return chosen;
}

}  // namespace

int RunPaths(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<PathsOptions> options = ParseArgs(args, &error);
  if (!options) {
    err << "vigil paths: " << error << "\n" << kUsage;
    return kExitCannotRun;
  }
  if (options->help) {
    out << kUsage;
    return kExitClean;
  }
  std::optional<sim::Program> loaded = LoadRunnable("paths", options->script, err);
  if (!loaded) return kExitCannotRun;
  const sim::Program& program = *loaded;
  std::optional<std::vector<sim::EventInfo>> events =
      Chosen(sim::Events(program), options->events, err);
  if (!events) return kExitCannotRun;
  std::vector<analysis::EventPaths> tables;
  for (const sim::EventInfo& event : *events) {
    tables.push_back(analysis::ExploreEvent(program, event));
  }
  switch (options->format) {
    case Format::kText:
      out << analysis::TableText(program, tables);
      break;
    case Format::kJson:
      out << analysis::TableJson(program, tables, options->script);
      break;
    case Format::kMarkdown:
      out << analysis::TableMarkdown(program, tables, options->script);
      break;
  }
  return kExitClean;
}

}  // namespace vigil
