// vigil test SCRIPT SCENARIO... [--junit FILE] [--werror] [--verbose]: runs
// scenario files against the compiled script and reports each scenario as
// passed or failed.

#include <chrono>
#include <iostream>
#include <optional>
#include <sstream>

#include "analysis/coverage_report.h"
#include "analysis/properties.h"
#include "cli/platform/file_io.h"
#include "cli/platform/report_target.h"
#include "cli/platform/terminal.h"
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
    "usage: vigil test SCRIPT SCENARIO... [--junit FILE] [--werror] [--verbose]\n"
    "                  [--quiet] [--coverage] [--lcov FILE]\n"
    "Runs every scenario of the SCENARIO files on a model of the controller\n"
    "loaded with the compiled SCRIPT; prints PASS or FAIL for each (a failure\n"
    "with its trace), then 'N passed, N failed'.\n"
    "  --junit FILE  also write the results as JUnit XML to FILE (- for standard\n"
    "                output; the text report then goes to standard error)\n"
    "  --werror      treat warnings in scenario files as errors\n"
    "  --verbose     put the whole trace of a failed scenario in the JUnit file\n"
    "  --quiet       print only the failed scenarios and the summary\n"
    "  --coverage    also print which lines and IF branches the scenarios ran\n"
    "  --lcov FILE   also write that coverage as an lcov tracefile to FILE\n"
    "Scenario lines: SCENARIO name, SET state = value, EVENT module.event,\n"
    "WAIT seconds, EXPECT condition (as IF takes it), EXPECT [NOT] MARK(mark),\n"
    "DIAL(n,mark) or DOOR(module); ';' starts a comment line. Property lines,\n"
    "ALWAYS|NEVER [NOT] MARK|DIAL|DOOR(...) WHEN event|condition, are proved over\n"
    "every input or refuted with a counterexample scenario.\n"
    "Exit status: 0 all passed, 1 a scenario failed, 2 could not run (unreadable\n"
    "file, errors in the script, an error in a scenario file, a report that\n"
    "cannot be written); on 2 the JUnit file says that the run did not happen.\n"
    "PASS and FAIL are in colour on a terminal, unless NO_COLOR is set.\n";

struct TestOptions {
  std::string script;
  std::vector<std::string> scenarios;
  std::string junit;
  bool werror = false;
  bool verbose = false;
  bool quiet = false;
  bool coverage = false;
  std::string lcov;
  bool help = false;
};

std::optional<TestOptions> ParseArgs(const std::vector<std::string>& args, TestOptions& options,
                                     std::string* error) {
  std::vector<std::string> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help") {
      options.help = true;
    } else if (arg == "--werror") {
      options.werror = true;
    } else if (arg == "--verbose") {
      options.verbose = true;
    } else if (arg == "--quiet") {
      options.quiet = true;
    } else if (arg == "--junit") {
      if (i + 1 == args.size()) {
        *error = "--junit needs a file name (- for standard output)";
        return std::nullopt;
      }
      options.junit = args[++i];
    } else if (arg == "--coverage") {
      options.coverage = true;
    } else if (arg == "--lcov") {
      if (i + 1 == args.size()) {
        *error = "--lcov needs a file name";
        return std::nullopt;
      }
      options.lcov = args[++i];
    } else if (arg.starts_with("--junit=")) {
      options.junit = arg.substr(8);
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

// Writes the report to its file (through links, refusing devices and pipes)
// or to `out` for "-". False after a line on `err`.
bool WriteReport(const std::string& name, const std::string& xml, std::ostream& out,
                 std::ostream& err) {
  if (name == "-") {
    out << xml;
    return true;
  }
  std::string error;
  std::optional<std::string> target = ReportTarget(name, &error);
  OutputSet output;
  if (!target) {
    err << "vigil test: cannot write '" << name << "': " << error << "\n";
    return false;
  }
  // A file, as every output file: lines end in CR LF.
  std::string bytes;
  bytes.reserve(xml.size() + xml.size() / 32);
  for (char c : xml) bytes += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
  if (!output.Stage(*target, bytes, &error) || !output.Commit(&error)) {
    err << "vigil test: " << error << "\n";
    return false;
  }
  return true;
}

// Prints the first kMaxProblemsShown problems, then how many more there were.
void PrintProblems(const std::vector<sim::ScenarioError>& problems, const std::string& path,
                   size_t* shown, std::ostream& err) {
  for (const sim::ScenarioError& e : problems) {
    if (++*shown <= kMaxProblemsShown) err << sim::FormatScenarioError(e, path);
  }
}

// Each file's ALWAYS and NEVER lines, proved or refuted; the exit status
// they call for.
int ReportProperties(const Compilation& compilation, const sim::Program& program,
                     const std::vector<std::string>& paths,
                     const std::vector<sim::ScenarioFile>& files, std::ostream& out,
                     std::ostream& err) {
  int proved = 0;
  int refuted = 0;
  bool broken = false;
  for (size_t i = 0; i < files.size(); ++i) {
    for (const analysis::PropertyResult& result :
         analysis::CheckProperties(compilation, program, files[i].properties)) {
      for (const sim::ScenarioError& e : result.errors) err << sim::FormatScenarioError(e, paths[i]);
      broken = broken || !result.errors.empty();
      if (!result.errors.empty()) continue;
      out << analysis::FormatProperty(result, paths[i]);
      (result.proved ? proved : refuted) += 1;
    }
  }
  if (proved + refuted > 0) out << proved << " proved, " << refuted << " refuted\n";
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
    err << "vigil test: " << error << "\n";  // the error names the file
    return false;
  }
  return true;
}

// Runs the scenarios; the exit status, with the run's error (for the
// report) in `failure` when it is kExitCannotRun.
int RunAll(const TestOptions& options, std::ostream& out, std::ostream& err,
           std::vector<sim::SuiteResult>& suites) {
  std::optional<std::string> source = ReadInput("test", options.script, err);
  if (!source) return kExitCannotRun;
  Compilation compilation = Compile(*source);
  if (RefusesErrors("test", options.script, compilation, err)) return kExitCannotRun;
  sim::Program program = sim::MakeProgram(compilation);
  std::vector<sim::ScenarioFile> files;
  bool broken = false;
  size_t shown = 0;
  for (const std::string& path : options.scenarios) {
    std::optional<std::string> text = ReadInput("test", path, err);
    if (!text) return kExitCannotRun;
    files.push_back(sim::ParseScenarios(*text, compilation, program));
    PrintProblems(files.back().errors, path, &shown, err);
    broken = broken || files.back().Refused(options.werror);
  }
  if (shown > kMaxProblemsShown) {
    err << "vigil test: " << shown - kMaxProblemsShown << " more problems not shown\n";
  }
  if (broken) return kExitCannotRun;
  sim::Coverage coverage;
  bool failed = false;
  sim::ResultStyle style{options.quiet, &out == &std::cout && ColourOnStandardOutput()};
  for (size_t i = 0; i < files.size(); ++i) {
    sim::SuiteResult suite{options.scenarios[i], {}};
    for (const sim::Scenario& scenario : files[i].scenarios) {
      auto started = std::chrono::steady_clock::now();
      suite.results.push_back(sim::RunScenario(program, scenario, &coverage));
      suite.results.back().seconds =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
      out << sim::FormatResult(suite.results.back(), suite.name, style);
      failed = failed || !suite.results.back().passed();
    }
    suites.push_back(std::move(suite));
  }
  out << sim::SummaryLine(suites);
  int proofs = ReportProperties(compilation, program, options.scenarios, files, out, err);
  if (proofs == kExitCannotRun) return kExitCannotRun;
  failed = failed || proofs == kExitErrors;
  if (!WriteCoverage(options, program, coverage, out, err)) return kExitCannotRun;
  return failed ? kExitErrors : kExitClean;
}

}  // namespace

int RunTest(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::string error;
  TestOptions options;
  if (!ParseArgs(args, options, &error)) {
    err << "vigil test: " << error << "\n" << kUsage;
    if (!options.junit.empty()) WriteReport(options.junit, sim::JunitErrorXml(error), out, err);
    return kExitCannotRun;
  }
  if (options.help) {
    out << kUsage;
    return kExitClean;
  }
  // A report that could not be written is refused before anything runs.
  if (!options.junit.empty() && options.junit != "-" && !ReportTarget(options.junit, &error)) {
    err << "vigil test: cannot write '" << options.junit << "': " << error << "\n";
    return kExitCannotRun;
  }
  // With the report on standard output, the text report goes to standard error.
  std::ostream& text = options.junit == "-" ? err : out;
  std::ostringstream errors;
  std::vector<sim::SuiteResult> suites;
  int status = RunAll(options, text, errors, suites);
  err << errors.str();
  if (options.junit.empty()) return status;
  std::string xml = status == kExitCannotRun ? sim::JunitErrorXml(errors.str())
                                             : sim::JunitXml(suites, options.verbose);
  if (!WriteReport(options.junit, xml, out, err)) return kExitCannotRun;
  return status;
}

}  // namespace vigil
