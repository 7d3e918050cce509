#include "sim/runner.h"

#include <algorithm>
#include <cstdio>

#include "sim/labels.h"
#include "sim/machine.h"
#include "sim/shown_text.h"

namespace vigil::sim {
namespace {

std::string Indented(std::string_view text, std::string_view indent) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    out += std::string(indent) + std::string(text.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return out;
}

// The last `count` lines of `text` (which ends in a line end).
std::string LastLines(std::string_view text, int count) {
  size_t start = text.size();
  if (start > 0 && text.back() == '\n') --start;
  for (int i = 0; i < count; ++i) {
    size_t newline = start == 0 ? std::string_view::npos : text.rfind('\n', start - 1);
    if (newline == std::string_view::npos) return std::string(text);
    start = newline;
  }
  return std::string(text.substr(start + 1));
}

std::string HappeningText(const Program& program, const Happening& happening) {
  auto mark = [&](int id) { return IdName("mark", id, program.names.marks); };
  switch (happening.kind) {
    case Happening::Kind::kMark:
      return "archive mark " + mark(happening.a);
    case Happening::Kind::kDial:
      return "a call to " + std::to_string(happening.a) + " with " + mark(happening.b);
    case Happening::Kind::kDoor:
      return "the door of " + ModuleName(program, happening.a);
  }
  return "";
}

// Why an EXPECT failed; empty when it holds.
std::string Check(const Program& program, const Machine& machine, const Step& step) {
  if (step.kind == Step::Kind::kExpect) {
    std::optional<bool> result = TestTerm(machine.state(), step.term);
    if (result == true) return "";
    return TermReading(program, machine.state(), step.term);
  }
  const std::vector<Happening>& seen = machine.happenings();
  bool happened = std::find(seen.begin(), seen.end(), step.happening) != seen.end();
  if (happened != step.negated) return "";
  std::string what = HappeningText(program, step.happening);
  if (step.happening.kind == Happening::Kind::kDoor) {
    return what + (happened ? " was opened" : " was not opened") + " since the last EVENT";
  }
  return what + (happened ? " happened" : " did not happen") + " since the last EVENT";
}

// A run a bound cut short fails unless the scenario says EXPECT CUT; one
// that says so fails when nothing was cut.
void CheckCuts(const Scenario& scenario, const Cuts& cuts, ScenarioResult& result) {
  auto expects = std::find_if(scenario.steps.begin(), scenario.steps.end(),
                              [](const Step& step) { return step.kind == Step::Kind::kExpectCut; });
  std::string why;
  int line = scenario.line;
  if (cuts.any() && expects == scenario.steps.end()) {
    why = "the run was cut short (" + cuts.Text() +
          "): its result is incomplete; write EXPECT CUT if that is meant";
  } else if (!cuts.any() && expects != scenario.steps.end()) {
    why = "EXPECT CUT: nothing was cut";
    line = expects->line;
  }
  if (why.empty()) return;
  result.trace += "  FAILED: " + why + "\n";
  result.failures.push_back({line, why, LastLines(result.trace, kNeighbourhoodLines)});
}

}  // namespace

ScenarioResult RunScenario(const Program& program, const Scenario& scenario, Coverage* coverage) {
  ScenarioResult result;
  result.name = scenario.name;
  result.line = scenario.line;
  Machine machine(program);
  machine.set_coverage(coverage);
  for (const Step& step : scenario.steps) {
    result.trace += "> " + step.text + "\n";
    switch (step.kind) {
      case Step::Kind::kSet:
        MakeTerm(machine.state(), step.term, step.truth);
        break;
      case Step::Kind::kEvent: {
        machine.ClearHappenings();
        machine.Fire(step.module, step.event, step.event_word);
        break;
      }
      case Step::Kind::kWait:
        machine.Wait(step.seconds);
        break;
      case Step::Kind::kExpectCut:
        break;
      case Step::Kind::kExpect:
      case Step::Kind::kExpectHappened: {
        std::string why = Check(program, machine, step);
        if (!why.empty()) {
          result.trace += "  FAILED: " + why + "\n";
          result.failures.push_back(
              {step.line, step.text + ": " + why, LastLines(result.trace, kNeighbourhoodLines)});
        }
        break;
      }
    }
    result.trace += FormatTraceText(machine.trace());
    machine.ClearTrace();
  }
  CheckCuts(scenario, machine.cuts(), result);
  return result;
}

std::string FormatResult(const ScenarioResult& result, std::string_view file, ResultStyle style) {
  if (result.passed() && style.quiet) return "";
  std::string word = result.passed() ? "PASS" : "FAIL";
  if (style.colour) word = (result.passed() ? "\x1b[32m" : "\x1b[31m") + word + "\x1b[0m";
  std::string text = word + "  " + ShownText(result.name) + "\n";
  if (result.passed()) return text;
  for (const Failure& failure : result.failures) {
    text += "  " + std::string(file) + ":" + std::to_string(failure.line) + ": " + failure.message +
            "\n";
  }
  text += "  trace:\n" + Indented(result.trace, "    ");
  return text;
}

std::string SummaryLine(const std::vector<SuiteResult>& suites) {
  size_t passed = 0;
  size_t failed = 0;
  for (const SuiteResult& suite : suites) {
    for (const ScenarioResult& result : suite.results) (result.passed() ? passed : failed)++;
  }
  return std::to_string(passed) + " passed, " + std::to_string(failed) + " failed\n";
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  for (char c : text) {
    unsigned char byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (byte >= 128) {
          out += "&#" + std::to_string(byte) + ";";
        } else if (byte < 32 && c != '\t' && c != '\n' && c != '\r') {
          out += '?';
        } else {
          out += c;
        }
    }
  }
  return out;
}

namespace {

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

std::string ClassName(std::string_view file) {
  std::string name(file.substr(
      file.find_last_of("/\\") == std::string_view::npos ? 0 : file.find_last_of("/\\") + 1));
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

std::string TestcaseXml(const SuiteResult& suite, const ScenarioResult& result, bool whole_trace) {
  std::string xml = "    <testcase classname=\"" + XmlEscape(ClassName(suite.name)) + "\" name=\"" +
                    XmlEscape(result.name) + "\" time=\"" + Seconds(result.seconds) + "\"";
  if (result.passed()) return xml + "/>\n";
  xml += ">\n      <failure message=\"" + XmlEscape(result.failures[0].message) + "\">";
  for (const Failure& failure : result.failures) {
    xml += XmlEscape("line " + std::to_string(failure.line) + ": " + failure.message + "\n");
  }
  if (whole_trace) {
    xml += XmlEscape("trace:\n" + result.trace);
  } else {
    for (const Failure& failure : result.failures) {
      xml +=
          XmlEscape("before line " + std::to_string(failure.line) + ":\n" + failure.neighbourhood);
    }
  }
  return xml + "</failure>\n    </testcase>\n";
}

}  // namespace

std::string JunitXml(const std::vector<SuiteResult>& suites, bool whole_trace) {
  auto count = [](const SuiteResult& suite, bool passed) {
    return std::count_if(suite.results.begin(), suite.results.end(),
                         [&](const ScenarioResult& r) { return r.passed() == passed; });
  };
  auto time = [](const SuiteResult& suite) {
    double seconds = 0;
    for (const ScenarioResult& result : suite.results) seconds += result.seconds;
    return seconds;
  };
  long tests = 0;
  long failures = 0;
  double seconds = 0;
  for (const SuiteResult& suite : suites) {
    tests += static_cast<long>(suite.results.size());
    failures += static_cast<long>(count(suite, false));
    seconds += time(suite);
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += "<testsuites tests=\"" + std::to_string(tests) + "\" failures=\"" +
         std::to_string(failures) + "\" errors=\"0\" time=\"" + Seconds(seconds) + "\">\n";
  for (const SuiteResult& suite : suites) {
    xml += "  <testsuite name=\"" + XmlEscape(suite.name) + "\" tests=\"" +
           std::to_string(suite.results.size()) + "\" failures=\"" +
           std::to_string(count(suite, false)) + "\" errors=\"0\" time=\"" + Seconds(time(suite)) +
           "\">\n";
    for (const ScenarioResult& result : suite.results)
      xml += TestcaseXml(suite, result, whole_trace);
    xml += "  </testsuite>\n";
  }
  return xml + "</testsuites>\n";
}

std::string JunitErrorXml(std::string_view message) {
  std::string escaped = XmlEscape(message);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<testsuites tests=\"1\" failures=\"0\" errors=\"1\" time=\"0.000\">\n"
         "  <testsuite name=\"vigil test\" tests=\"1\" failures=\"0\" errors=\"1\" "
         "time=\"0.000\">\n"
         "    <testcase classname=\"vigil_test\" name=\"the run\" time=\"0.000\">\n"
         "      <error message=\"the scenarios did not run\">" +
         escaped +
         "</error>\n"
         "    </testcase>\n"
         "  </testsuite>\n"
         "</testsuites>\n";
}

}  // namespace vigil::sim
