#include "sim/runner.h"

#include <algorithm>

#include "sim/labels.h"
#include "sim/machine.h"

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
        machine.Fire(step.module, step.event);
        break;
      }
      case Step::Kind::kWait:
        machine.Wait(step.seconds);
        break;
      case Step::Kind::kExpect:
      case Step::Kind::kExpectHappened: {
        std::string why = Check(program, machine, step);
        if (!why.empty()) {
          result.failures.push_back({step.line, step.text + ": " + why});
          result.trace += "  FAILED: " + why + "\n";
        }
        break;
      }
    }
    result.trace += FormatTraceText(machine.trace());
    machine.ClearTrace();
  }
  return result;
}

std::string FormatResult(const ScenarioResult& result, std::string_view file) {
  std::string text = std::string(result.passed() ? "PASS  " : "FAIL  ") + result.name + "\n";
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

std::string JunitXml(const std::vector<SuiteResult>& suites) {
  auto count = [](const SuiteResult& suite, bool passed) {
    return std::count_if(suite.results.begin(), suite.results.end(),
                         [&](const ScenarioResult& r) { return r.passed() == passed; });
  };
  long tests = 0;
  long failures = 0;
  for (const SuiteResult& suite : suites) {
    tests += static_cast<long>(suite.results.size());
    failures += static_cast<long>(count(suite, false));
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += "<testsuites tests=\"" + std::to_string(tests) + "\" failures=\"" +
         std::to_string(failures) + "\">\n";
  for (const SuiteResult& suite : suites) {
    xml += "  <testsuite name=\"" + XmlEscape(suite.name) + "\" tests=\"" +
           std::to_string(suite.results.size()) + "\" failures=\"" +
           std::to_string(count(suite, false)) + "\">\n";
    for (const ScenarioResult& result : suite.results) {
      xml += "    <testcase classname=\"" + XmlEscape(suite.name) + "\" name=\"" +
             XmlEscape(result.name) + "\"";
      if (result.passed()) {
        xml += "/>\n";
        continue;
      }
      xml += ">\n      <failure message=\"" + XmlEscape(result.failures[0].message) + "\">";
      for (const Failure& failure : result.failures) {
        xml += XmlEscape("line " + std::to_string(failure.line) + ": " + failure.message + "\n");
      }
      xml += XmlEscape(result.trace) + "</failure>\n    </testcase>\n";
    }
    xml += "  </testsuite>\n";
  }
  return xml + "</testsuites>\n";
}

}  // namespace vigil::sim
