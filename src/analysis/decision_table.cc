#include "analysis/decision_table.h"

#include <algorithm>

#include "core/check/diagnostic_printers.h"
#include "core/lang/opcodes.h"

namespace vigil::analysis {
namespace {

constexpr size_t kHeaderWidth = 42;
constexpr size_t kConditionGap = 3;
constexpr std::string_view kNoEvents = "the script has no event blocks: nothing runs";

std::string Counted(size_t n, std::string_view word) {
  return std::to_string(n) + " " + std::string(word) + (n == 1 ? "" : "s");
}

std::string Joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    text += (i == 0 ? "" : std::string(separator)) + parts[i];
  }
  return text;
}

std::string PathsCount(const EventPaths& table) {
  return Counted(table.paths.size(), "path") + (table.cut ? " (cut short)" : "");
}

std::string JsonStrings(const std::vector<std::string>& texts) {
  std::vector<std::string> quoted;
  for (const std::string& text : texts) quoted.push_back(JsonString(text));
  return "[" + Joined(quoted, ", ") + "]";
}

std::string ConditionJson(const Condition& condition) {
  return "{\"line\": " + std::to_string(condition.line) +
         ", \"written\": " + JsonString(condition.written) +
         ", \"tests\": " + JsonString(condition.tests) +
         ", \"holds\": " + (condition.holds ? "true" : "false") +
         ", \"text\": " + JsonString(ConditionText(condition)) + "}";
}

std::string PathJson(const sim::Program& program, const Path& path) {
  std::vector<std::string> conditions;
  for (const Condition& condition : path.conditions) conditions.push_back(ConditionJson(condition));
  std::vector<std::string> effects;
  for (const EffectLine& line : EffectLines(program, path)) {
    effects.push_back("{\"line\": " + std::to_string(line.line) +
                      ", \"text\": " + JsonString(line.text) +
                      ", \"instructions\": " + JsonStrings(line.instructions) + "}");
  }
  std::vector<std::string> queued;
  for (int event : path.queued) queued.push_back(sim::EventLabel(program, 0, event));
  return "{\"when\": " + JsonString(ConditionsText(path)) + ", \"conditions\": [" +
         Joined(conditions, ", ") + "], \"does\": " + JsonString(EffectsText(program, path)) +
         ", \"effects\": [" + Joined(effects, ", ") + "], \"queues\": " + JsonStrings(queued) +
         ", \"waits\": " + std::to_string(path.seconds) +
         ", \"stopped\": " + (path.stopped ? "true" : "false") + "}";
}

// What a statement reads from the settings, shown after it: a MARK's archive
// text, the value of the parameter a DELAY or an assignment takes.
std::string Setting(const sim::Program& program, const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 2) return "";
  auto parameter = [&](int id) {
    auto it = program.parameters.find(id);
    return it == program.parameters.end() ? "" : " [" + std::to_string(it->second) + "]";
  };
  switch (static_cast<Op>(bytes[0])) {
    case Op::kMark: {
      auto mark = program.mark_texts.find(bytes[1]);
      return mark != program.mark_texts.end() ? " \"" + mark->second + "\"" : "";
    }
    case Op::kDelayParameter:
      return parameter(bytes[1]);
    case Op::kRegisterFromParameter:
    case Op::kTimerFromParameter:
      return bytes.size() > 2 ? parameter(bytes[2]) : "";
    default:
      return "";
  }
}

}  // namespace

std::string MarkdownCell(std::string_view text) {
  std::string cell;
  for (char c : text) cell += c == '|' ? std::string("\\|") : std::string(1, c);
  return cell;
}

std::vector<EffectLine> EffectLines(const sim::Program& program, const Path& path) {
  std::vector<EffectLine> lines;
  int last_offset = -1;
  for (const Effect& effect : path.effects) {
    // A line runs again (a later run, the same line after a DELAY) when its
    // instructions do not follow on from the last.
    bool same = !lines.empty() && lines.back().line == effect.line && effect.offset > last_offset;
    last_offset = effect.offset;
    if (!same) {
      auto text = program.line_texts.find(effect.line);
      EffectLine line{effect.line, text != program.line_texts.end() ? text->second : "", {}};
      line.text += Setting(program, effect.bytes);
      lines.push_back(std::move(line));
    }
    lines.back().instructions.push_back(effect.instruction);
  }
  return lines;
}

std::string ConditionsText(const Path& path) {
  std::vector<std::string> parts;
  for (const Condition& condition : path.conditions) parts.push_back(ConditionText(condition));
  return parts.empty() ? "always" : Joined(parts, " and ");
}

std::string EffectsText(const sim::Program& program, const Path& path) {
  std::vector<std::string> parts;
  for (const EffectLine& line : EffectLines(program, path)) parts.push_back(line.text);
  if (path.stopped) parts.push_back("(stops: the model cannot run the next instruction)");
  return parts.empty() ? "nothing" : Joined(parts, "; ");
}

std::string Indented(std::string_view text, std::string_view indent) {
  std::string indented;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    indented += std::string(indent) + std::string(text.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return indented;
}

std::string TableText(const sim::Program& program, const std::vector<EventPaths>& tables) {
  if (tables.empty()) return std::string(kNoEvents) + "\n";
  std::string text;
  for (const EventPaths& table : tables) {
    std::string head = table.event.name;
    head += std::string(kHeaderWidth > head.size() ? kHeaderWidth - head.size() : 1, ' ');
    text += head + PathsCount(table) + "\n";
    size_t width = 0;
    for (const Path& path : table.paths) width = std::max(width, ConditionsText(path).size());
    for (const Path& path : table.paths) {
      std::string when = ConditionsText(path);
      text += "  " + when + std::string(width + kConditionGap - when.size(), ' ') + "-> " +
              EffectsText(program, path) + "\n";
    }
    for (const DeadLine& dead : table.dead) {
      text += "  dead code: line " + std::to_string(dead.line) + ": " + dead.text + "\n";
    }
  }
  return text;
}

std::string TableMarkdown(const sim::Program& program, const std::vector<EventPaths>& tables,
                          std::string_view script) {
  std::string text = "# Decision tables of " + std::string(script) + "\n";
  if (tables.empty()) return text + "\nThe script has no event blocks: nothing runs.\n";
  for (const EventPaths& table : tables) {
    text += "\n## " + table.event.name + "\n\nLine " + std::to_string(table.event.line) + ", " +
            PathsCount(table) + ".\n\n| When | The controller does |\n|---|---|\n";
    for (const Path& path : table.paths) {
      text += "| " + MarkdownCell(ConditionsText(path)) + " | " +
              MarkdownCell(EffectsText(program, path)) + " |\n";
    }
    if (!table.dead.empty()) text += "\nDead code, no input runs it:\n\n";
    for (const DeadLine& dead : table.dead) {
      text += "- line " + std::to_string(dead.line) + ": `" + dead.text + "`\n";
    }
  }
  return text;
}

std::string TableJson(const sim::Program& program, const std::vector<EventPaths>& tables,
                      std::string_view script) {
  std::vector<std::string> events;
  for (const EventPaths& table : tables) {
    std::vector<std::string> paths;
    for (const Path& path : table.paths) paths.push_back("\n    " + PathJson(program, path));
    std::vector<std::string> dead;
    for (const DeadLine& line : table.dead) {
      dead.push_back("{\"line\": " + std::to_string(line.line) +
                     ", \"text\": " + JsonString(line.text) + "}");
    }
    events.push_back("\n  {\"event\": " + JsonString(table.event.name) +
                     ", \"line\": " + std::to_string(table.event.line) +
                     ", \"cut\": " + (table.cut ? "true" : "false") + ", \"paths\": [" +
                     Joined(paths, ",") + "], \"dead\": [" + Joined(dead, ", ") + "]}");
  }
  return "{\"script\": " + JsonString(script) + ", \"events\": [" + Joined(events, ",") + "]}\n";
}

}  // namespace vigil::analysis
