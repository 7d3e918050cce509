#include "sim/event_run.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "core/check/diagnostic_printers.h"
#include "core/scan/tokenizer.h"
#include "sim/machine.h"
#include "sim/result.h"

namespace vigil::sim {

EventRun RunEvent(const Compilation& compilation, const EventRequest& request) {
  EventRun run;
  Program program = MakeProgram(compilation);
  StepParser parser(compilation, program);
  std::optional<Step> event =
      parser.Parse(std::string(kEventWord) + request.event, request.event_line, "", &run.errors);
  std::vector<Step> sets;
  for (const Assignment& set : request.sets) {
    std::optional<Step> step =
        parser.Parse(std::string(kSetWord) + set.text, set.line, request.event, &run.errors);
    if (step) sets.push_back(std::move(*step));
  }
  if (!run.errors.empty() || !event) return run;

  Machine machine(program);
  for (const Step& set : sets) MakeTerm(machine.state(), set.term, set.truth);
  State before = machine.state();
  machine.Fire(event->module, event->event, PeekWord(request.event).word);
  machine.Settle();
  run.trace = machine.trace();
  run.cuts = machine.cuts();
  run.changes = StateChanges(program, before, machine.state());
  run.result = ResultLine(program, before, machine.state(), machine.happenings());
  if (run.cuts.any()) {
    run.result.pop_back();
    run.result += "; cut: " + run.cuts.Text() + " (the run did not finish)\n";
  }
  return run;
}

std::string EventRunJson(std::string_view script, std::string_view event, const EventRun& run) {
  std::string result =
      run.result.ends_with('\n') ? run.result.substr(0, run.result.size() - 1) : run.result;
  std::string json = "{\"script\": " + JsonString(script) + ", \"event\": " + JsonString(event);
  json += ", \"result\": " + JsonString(result);
  json += ", \"changes\": " + ChangesJson(run.changes);
  json += ", \"finished\": " + std::string(run.finished() ? "true" : "false");
  json += ", \"cut\": [";
  const Cuts& cuts = run.cuts;
  std::string cut;
  for (auto [flag, name] : {std::pair{cuts.trace, "trace"}, std::pair{cuts.runs, "runs"},
                            std::pair{cuts.time, "time"}}) {
    if (flag) cut += (cut.empty() ? "\"" : ", \"") + std::string(name) + "\"";
  }
  json += cut + "]";
  json += ", \"trace\": " + FormatTraceJson(run.trace) + "}\n";
  return json;
}

std::vector<Assignment> AssignmentLines(std::string_view text) {
  std::vector<Assignment> lines;
  int number = 1;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line[first] != ';') {
      lines.push_back({number, std::string(line)});
    }
    ++number;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

namespace {

// The event an EVENT line names ("MAIN-PANEL.EXINPUT2" in
// "EVENT MAIN-PANEL.EXINPUT2"); empty for any other line.
std::string_view EventWord(std::string_view line) {
  constexpr std::string_view kEvent = "EVENT";
  constexpr std::string_view kBlanks = " \t";
  if (line.size() <= kEvent.size() || kBlanks.find(line[kEvent.size()]) == std::string_view::npos) {
    return {};
  }
  for (size_t i = 0; i < kEvent.size(); ++i) {
    char c = line[i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c) != kEvent[i]) return {};
  }
  std::string_view rest = line.substr(kEvent.size());
  rest.remove_prefix(std::min(rest.find_first_not_of(kBlanks), rest.size()));
  return rest.substr(0, rest.find_first_of(" \t;"));
}

// The event as the EVENT line at `line` names it, else the model's label.
std::string WrittenName(const Program& program, int line, const Program::Block& block) {
  auto text = program.line_texts.find(line);
  std::string_view word = text == program.line_texts.end() ? "" : EventWord(text->second);
  return word.empty() ? EventLabel(program, block.module, block.event) : std::string(word);
}

}  // namespace

std::vector<EventInfo> Events(const Program& program) {
  std::vector<EventInfo> events;
  for (const Program::Block& block : program.blocks) {
    bool known = false;
    for (EventInfo& info : events) {
      if (info.module == block.module && info.event == block.event) {
        ++info.blocks;
        known = true;
      }
    }
    if (known) continue;
    size_t header = static_cast<size_t>(block.start >= 3 ? block.start - 3 : 0);
    int line = header < program.bytes.size() ? program.bytes[header].line : 0;
    events.push_back({WrittenName(program, line, block), block.module, block.event, line, 1});
  }
  return events;
}

std::string EventsJson(const std::vector<EventInfo>& events) {
  std::string json = "[";
  for (size_t i = 0; i < events.size(); ++i) {
    const EventInfo& info = events[i];
    json += i == 0 ? "\n  {" : ",\n  {";
    json += "\"name\": " + JsonString(info.name);
    json += ", \"module\": " + std::to_string(info.module);
    json += ", \"event\": " + std::to_string(info.event);
    json += ", \"line\": " + std::to_string(info.line);
    json += ", \"blocks\": " + std::to_string(info.blocks) + "}";
  }
  json += events.empty() ? "]\n" : "\n]\n";
  return json;
}

}  // namespace vigil::sim
