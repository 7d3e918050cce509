#include "lsp/code_lens.h"

#include "sim/event_run.h"
#include "sim/program.h"
#include "sim/trace.h"

namespace vigil::lsp {
namespace {

sim::EventRun Run(const Document& document, const std::string& event) {
  return sim::RunEvent(document.compilation(), {event, 1, {}});
}

}  // namespace

Json CodeLenses(const Document& document) {
  Json lenses = Json::array();
  if (document.compilation().error_count > 0) return lenses;
  sim::Program program = sim::MakeProgram(document.compilation());
  for (const sim::EventInfo& event : sim::Events(program)) {
    int line = event.line - 1;
    Json range = RangeJson(
        {line, 0}, document.PositionOf(line, static_cast<int>(document.LineText(line).size())));
    lenses.push_back(
        {{"range", range}, {"data", {{"uri", document.uri()}, {"event", event.name}}}});
  }
  return lenses;
}

Json ResolveCodeLens(const Document& document, Json lens) {
  std::string event = lens.at("data").at("event").get<std::string>();
  sim::EventRun run = Run(document, event);
  std::string title = LastLine(
      run.errors.empty() ? run.result : "cannot run " + event + ": " + run.errors.front().message);
  if (title.starts_with("result: ")) title = "simulated: " + title.substr(8);
  lens["command"] = {
      {"title", title}, {"command", kSimulateCommand}, {"arguments", {document.uri(), event}}};
  return lens;
}

std::string SimulationText(const Document& document, const std::string& event) {
  if (document.compilation().error_count > 0) return "the script has errors: nothing runs\n";
  sim::EventRun run = Run(document, event);
  if (!run.errors.empty()) return "cannot run " + event + ": " + run.errors.front().message + "\n";
  return event + "\n" + sim::FormatTraceText(run.trace) + run.result;
}

std::string LastLine(std::string_view text) {
  size_t end = text.find_last_not_of("\r\n ");
  if (end == std::string_view::npos) return "";
  size_t newline = text.find_last_of('\n', end);
  size_t start = newline == std::string_view::npos ? 0 : newline + 1;
  return std::string(text.substr(start, end + 1 - start));
}

}  // namespace vigil::lsp
