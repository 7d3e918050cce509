#include "analysis/diff_formats.h"

#include "analysis/decision_table.h"
#include "core/check/diagnostic_printers.h"

namespace vigil::analysis {
namespace {

std::string Bool(bool value) { return value ? "true" : "false"; }

std::string CaseJson(const ChangedCase& c) {
  return "{\"when\": " + JsonString(c.when) + ", \"before\": " + JsonString(c.before) +
         ", \"now\": " + JsonString(c.now) + ", \"scenario\": " + JsonString(c.scenario) + "}";
}

std::string EventJson(const EventChange& change) {
  std::string cases;
  for (const ChangedCase& c : change.cases) {
    cases += (cases.empty() ? "\n    " : ",\n    ") + CaseJson(c);
  }
  return "{\"event\": " + JsonString(change.event) + ", \"added\": " + Bool(change.added) +
         ", \"removed\": " + Bool(change.removed) + ", \"cut\": " + Bool(change.cut) +
         ", \"cases\": [" + cases + "]}";
}

// What an event's heading says happened to it.
std::string Summary(const EventChange& change) {
  size_t n = change.cases.size();
  std::string summary = change.added     ? "Added; behaviour"
                        : change.removed ? "Removed; behaviour"
                                         : "Behaviour";
  summary += " changed in " + std::to_string(n) + (n == 1 ? " case" : " cases") + ".";
  if (change.cut) summary += " A table was cut short: later cases were not compared.";
  return summary;
}

}  // namespace

std::string DiffJson(const std::vector<EventChange>& changes, std::string_view before,
                     std::string_view now) {
  std::string events;
  for (const EventChange& change : changes) {
    events += (events.empty() ? "\n  " : ",\n  ") + EventJson(change);
  }
  return "{\"before\": " + JsonString(before) + ", \"now\": " + JsonString(now) +
         ", \"changed\": " + Bool(!changes.empty()) + ", \"events\": [" + events + "]}\n";
}

std::string DiffMarkdown(const std::vector<EventChange>& changes, std::string_view before,
                         std::string_view now) {
  std::string text =
      "# Behaviour changed from " + std::string(before) + " to " + std::string(now) + "\n";
  if (changes.empty())
    return text + "\nNo behaviour changed: every event does the same in every case.\n";
  for (const EventChange& change : changes) {
    text += "\n## " + change.event + "\n\n" + Summary(change) +
            "\n\n| When | Before | Now |\n|---|---|---|\n";
    for (const ChangedCase& c : change.cases) {
      text += "| " + MarkdownCell(c.when) + " | " + MarkdownCell(c.before) + " | " +
              MarkdownCell(c.now) + " |\n";
    }
    for (const ChangedCase& c : change.cases) {
      std::string heading = CaseHeading(c);
      heading[0] = static_cast<char>(heading[0] - 'a' + 'A');
      text += "\n" + heading + ":\n\n```\n" + c.scenario + "```\n";
    }
  }
  return text;
}

}  // namespace vigil::analysis
