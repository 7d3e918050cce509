// vigil test SCRIPT SCENARIO... [--junit FILE]: runs scenario files against
// the compiled script and reports each scenario as passed or failed.

#include <optional>

#include "analysis/coverage_report.h"
#include "analysis/properties.h"
#include "cli/platform/file_io.h"
#include "cli/vigil/command_input.h"
#include "cli/vigil/vigil_commands.h"
#include "cli/vigilc/sub_main.h"
#include "core/compile/compilation.h"
#include "sim/program.h"
#include "sim/runner.h"
#include "sim/scenario.h"

namespace vigil {
namespace {

constexpr std::string_view kUsage =
    "usage: vigil test SCRIPT SCENARIO... [--junit FILE] [--coverage] [--lcov FILE]\n"
    "Runs every scenario of the SCENARIO files on a model of the controller\n"
    "loaded with the compiled SCRIPT; prints PASS or FAIL for each (a failure\n"
    "with its trace), then 'N passed, N failed'.\n"
    "  --junit FILE  also write the results as JUnit XML to FILE\n"
    "  --coverage    also print which lines and IF branches the scenarios ran\n"
    "  --lcov FILE   also write that coverage as an lcov tracefile to FILE\n"
    "Scenario lines: SCENARIO name, SET state = value, EVENT module.event,\n"
    "WAIT seconds, EXPECT condition (as IF takes it), EXPECT [NOT] MARK(mark),\n"
    "DIAL(n,mark) or DOOR(module); ';' starts a comment line. Property lines,\n"
    "ALWAYS|NEVER [NOT] MARK|DIAL|DOOR(...) WHEN event|condition, are proved over\n"
    "every input or refuted with a counterexample scenario.\n"
    "Exit status: 0 all passed, 1 a scenario failed, 2 could not run (unreadable\n"
    "file, errors in the script, an error in a scenario file).\n";

struct TestOptions {
  std::string script;
  std::vector<std::string> scenarios;
  std::string junit;
  bool coverage = false;
  std::string lcov;
  bool help = false;
};

std::optional<TestOptions> ParseArgs(const std::vector<std::string>& args, std::string* error) {
  TestOptions options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--junit" && i + 1 < args.size()) {
      options.junit = args[++i];
    } else if (arg.starts_with("--junit=")) {
      options.junit = arg.substr(8);
    } else if (arg == "--coverage") {
      options.coverage = true;
    } else if (arg == "--lcov" && i + 1 < args.size()) {
      options.lcov = args[++i];
    } else if (arg.starts_with("-") && arg.size() > 1) {
      *error = "unknown option '" + arg + "'";
      return std::nullopt;
    } else {
      positional.push_back(arg);
    }
  }
  if (options.help) return options;
  if (positional.size() < 2) {
    *error = "give a script and at least one scenario file";
    return std::nullopt;
  }
  options.script = positional[0];
  options.scenarios.assign(positional.begin() + 1, positional.end());
  return options;
}

// Each file's ALWAYS and NEVER lines, proved or refuted; the exit status
// they call for.
int ReportProperties(const std::string& script, const sim::Program& program,
                     const std::vector<std::string>& paths,
                     const std::vector<sim::ScenarioFile>& files, std::ostream& out,
                     std::ostream& err) {
  int proved = 0;
  int refuted = 0;
  bool broken = false;
  for (size_t i = 0; i < files.size(); ++i) {
    for (const analysis::PropertyResult& result :
         analysis::CheckProperties(script, program, files[i].properties)) {
      for (const sim::ScenarioError& e : result.errors)
        err << sim::FormatScenarioError(e, paths[i]);
      broken = broken || !result.errors.empty();
      if (!result.errors.empty()) continue;
      out << analysis::FormatProperty(result, paths[i]);
      (result.proved ? proved : refuted) += 1;
    }
  }
  if (proved + refuted > 0) {
    out << proved << " proved, " << refuted << " refuted\n";
  }
  return broken ? kExitCannotRun : refuted > 0 ? kExitErrors : kExitClean;
}

// The coverage summary and the lcov file, when asked for; false when the
// file cannot be written.
bool WriteCoverage(const TestOptions& options, const sim::Program& program,
                   const sim::Coverage& coverage, std::ostream& out, std::ostream& err) {
  if (!options.coverage && options.lcov.empty()) return true;
  analysis::CoverageReport report = analysis::MakeCoverageReport(program, coverage);
  if (options.coverage) out << analysis::CoverageSummary(report);
  if (options.lcov.empty()) return true;
  OutputSet output;
  std::string error;
  if (!output.Stage(options.lcov, analysis::CoverageLcov(report, options.script), &error) ||
      !output.Commit(&error)) {
    err << "vigil test: cannot write '" << options.lcov << "': " << error << "\n";
    return false;
  }
  return true;
}

}  // namespace

int RunTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  std::optional<TestOptions> options = ParseArgs(args, &error);
  if (!options) {
    err << "vigil test: " << error << "\n" << kUsage;
    return kExitCannotRun;
  }
  if (options->help) {
    out << kUsage;
    return kExitClean;
  }
  std::optional<std::string> source = ReadInput("test", options->script, err);
  if (!source) return kExitCannotRun;
  Compilation compilation = Compile(*source);
  if (RefusesErrors("test", options->script, compilation, err)) return kExitCannotRun;
  std::vector<sim::ScenarioFile> files;
  bool broken = false;
  for (const std::string& path : options->scenarios) {
    std::optional<std::string> text = ReadInput("test", path, err);
    if (!text) return kExitCannotRun;
    files.push_back(sim::ParseScenarios(*text, *source));
    for (const sim::ScenarioError& e : files.back().errors) {
      err << sim::FormatScenarioError(e, path);
      broken = true;
    }
  }
  if (broken) return kExitCannotRun;

  sim::Program program = sim::MakeProgram(compilation);
  std::vector<sim::SuiteResult> suites;
  sim::Coverage coverage;
  bool failed = false;
  for (size_t i = 0; i < files.size(); ++i) {
    sim::SuiteResult suite{options->scenarios[i], {}};
    for (const sim::Scenario& scenario : files[i].scenarios) {
      suite.results.push_back(sim::RunScenario(program, scenario, &coverage));
      out << sim::FormatResult(suite.results.back(), suite.name);
      failed = failed || !suite.results.back().passed();
    }
    suites.push_back(std::move(suite));
  }
  out << sim::SummaryLine(suites);
  int proofs = ReportProperties(*source, program, options->scenarios, files, out, err);
  if (proofs == kExitCannotRun) return kExitCannotRun;
  failed = failed || proofs == kExitErrors;
  if (!WriteCoverage(*options, program, coverage, out, err)) return kExitCannotRun;
  if (!options->junit.empty()) {
    OutputSet output;
    if (!output.Stage(options->junit, sim::JunitXml(suites), &error) || !output.Commit(&error)) {
      err << "vigil test: cannot write '" << options->junit << "': " << error << "\n";
      return kExitCannotRun;
    }
  }
  return failed ? kExitErrors : kExitClean;
}

}  // namespace vigil
