#include "sim/scenario.h"

#include <algorithm>
#include <cctype>

#include "core/lang/errors.h"
#include "core/lang/opcodes.h"
#include "sim/program.h"

namespace vigil::sim {
namespace {

constexpr std::string_view kBlanks = " \t";
constexpr int kIfLength = 6;  // 51, the term, the jump field

// A piece of a scenario line and where it starts in it.
struct Piece {
  std::string_view text;
  size_t at = 0;
};

Piece Trim(Piece piece) {
  size_t begin = piece.text.find_first_not_of(kBlanks);
  if (begin == std::string_view::npos) return {std::string_view(), piece.at + piece.text.size()};
  size_t end = piece.text.find_last_not_of(kBlanks);
  return {piece.text.substr(begin, end - begin + 1), piece.at + begin};
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

// The first word (up to a blank or `(`) and the rest after it.
std::pair<Piece, Piece> SplitWord(Piece piece) {
  size_t end = piece.text.find_first_of(" \t(");
  if (end == std::string_view::npos) end = piece.text.size();
  Piece word{piece.text.substr(0, end), piece.at};
  Piece rest = Trim({piece.text.substr(end), piece.at + end});
  return {word, rest};
}

bool StartsWithWord(Piece piece, std::string_view word) {
  return Upper(SplitWord(piece).first.text) == word;
}

// Keyword terms: IF takes them bare, so SET writes them as `TERM = ON|OFF`.
bool IsKeywordTerm(std::string_view lhs) {
  static constexpr std::string_view kBare[] = {"PASSED", "AUTHORIZED", "PRESENT", "OFFLINE",
                                               "ALLCOUNTERSEMPTY"};
  std::string upper = Upper(lhs);
  return lhs.find('(') != std::string_view::npos ||
         std::find(std::begin(kBare), std::end(kBare), upper) != std::end(kBare);
}

class LineErrors {
 public:
  LineErrors(std::string_view line, int number, std::vector<ScenarioError>* errors)
      : line_(line), number_(number), errors_(errors) {}

  void Add(Piece where, std::string message, std::string code = "") {
    size_t end = std::max(where.at + where.text.size(), where.at + 1);
    errors_->push_back({number_, static_cast<int>(where.at) + 1, static_cast<int>(end) + 1,
                        std::string(line_), std::move(message), std::move(code)});
  }

  // A compiler diagnostic on a probe line that holds `prefix` and then the
  // text of `piece`.
  void Add(const Diagnostic& diagnostic, size_t prefix, Piece piece) {
    Piece where = piece;
    if (diagnostic.span.known()) {
      auto map = [&](int column) {
        int local =
            std::clamp(column - static_cast<int>(prefix), 0, static_cast<int>(piece.text.size()));
        return static_cast<size_t>(local);
      };
      size_t begin = map(diagnostic.span.begin);
      size_t end = std::max(map(diagnostic.span.end), begin);
      where = {piece.text.substr(begin, end - begin), piece.at + begin};
    }
    Add(where, std::string(ErrorMessage(diagnostic.number)),
        ProblemCode(diagnostic.severity, diagnostic.number));
  }

  size_t count() const { return errors_->size(); }

 private:
  std::string_view line_;
  int number_;
  std::vector<ScenarioError>* errors_;
};

}  // namespace

StepParser::StepParser(std::string_view script) : script_(script) {
  Compilation compilation = Compile(std::string(script));
  const SourceLine& last = compilation.lines.back();
  probe_line_ = last.physical_line +
                static_cast<int>(std::count(last.text.begin(), last.text.end(), '\n')) + 1;
  script_ += "\r\n";
  for (size_t i = 0; i < compilation.open_blocks.if_lines.size(); ++i) {
    script_ += "ENDIF\r\n";
    ++probe_line_;
  }
  if (compilation.open_blocks.event_line != 0) {
    script_ += "EVENTEND\r\n";
    ++probe_line_;
  }
  for (const C_Module& module : compilation.symbols.modules.records()) {
    if (module.id == 0) {
      default_context_ = module.name + ".INIT";
      return;
    }
  }
  Program program = MakeProgram(compilation);
  if (!program.blocks.empty()) {
    default_context_ = EventLabel(program, program.blocks[0].module, program.blocks[0].event);
  }
}

const StepParser::Probe& StepParser::Compiled(std::string_view context,
                                              std::string_view statement) {
  std::string key = std::string(context) + '\n' + std::string(statement);
  auto found = probes_.find(key);
  if (found != probes_.end()) return found->second;
  std::string text = script_ + "EVENT " + std::string(context) + "\r\n" + std::string(statement) +
                     "\r\nEVENTEND\r\n";
  Compilation compilation = Compile(std::move(text));
  int event_line = probe_line_;
  Probe probe;
  for (const LineCode& line : compilation.line_code) {
    std::vector<uint8_t>* into = line.physical_line == event_line       ? &probe.event_code
                                 : line.physical_line == event_line + 1 ? &probe.code
                                                                        : nullptr;
    if (into) {
      into->insert(into->end(), compilation.code.begin() + line.begin,
                   compilation.code.begin() + line.end);
    }
  }
  for (Diagnostic diagnostic : compilation.Diagnostics()) {
    // The probe outlives the compilation whose script its texts view.
    diagnostic.error_file_text = {};
    diagnostic.source_text = {};
    if (diagnostic.physical_line == event_line) probe.event_diagnostics.push_back(diagnostic);
    if (diagnostic.physical_line == event_line + 1) probe.diagnostics.push_back(diagnostic);
  }
  return probes_.emplace(std::move(key), std::move(probe)).first->second;
}

std::optional<Step> StepParser::Parse(std::string_view line, int line_number,
                                      std::string_view context,
                                      std::vector<ScenarioError>* errors) {
  LineErrors report(line, line_number, errors);
  size_t before = report.count();
  if (context.empty()) context = default_context_;
  Piece whole = Trim({line, 0});
  auto [word, rest] = SplitWord(whole);
  std::string keyword = Upper(word.text);
  Step step;
  step.line = line_number;
  step.text = std::string(whole.text);

  // Compiles `prefix` + rest as the statement; its diagnostics become errors.
  auto statement = [&](std::string_view prefix, Piece piece) -> const Probe& {
    const Probe& probe = Compiled(context, std::string(prefix) + std::string(piece.text));
    for (const Diagnostic& d : probe.event_diagnostics) report.Add(d, 0, Piece{});
    for (const Diagnostic& d : probe.diagnostics) report.Add(d, prefix.size(), piece);
    return probe;
  };
  // The IF term `prefix` + rest compiles to, or nullopt with an error.
  auto condition = [&](std::string_view prefix, Piece piece) -> std::optional<Term> {
    const Probe& probe = statement(prefix, piece);
    if (report.count() > before) return std::nullopt;
    const std::vector<uint8_t>& code = probe.code;
    if (code.size() != static_cast<size_t>(kIfLength) || code[0] != static_cast<int>(Op::kIf) ||
        !ConditionInfo(code[1])) {
      report.Add(piece, "not a condition that IF can test");
      return std::nullopt;
    }
    return Term{code[1], code[2], code[3]};
  };

  if (keyword == "SET") {
    step.kind = Step::Kind::kSet;
    size_t equals = rest.text.find('=');
    if (equals == std::string_view::npos) {
      report.Add(rest, "SET takes a state in assignment form: SET NAME = VALUE");
      return std::nullopt;
    }
    Piece lhs = Trim({rest.text.substr(0, equals), rest.at});
    Piece value = Trim({rest.text.substr(equals + 1), rest.at + equals + 1});
    std::optional<Term> term;
    if (IsKeywordTerm(lhs.text)) {
      std::string upper = Upper(value.text);
      if (upper != "ON" && upper != "OFF") {
        report.Add(value, "a test like " + std::string(lhs.text) + " is set ON or OFF");
        return std::nullopt;
      }
      step.truth = upper == "ON";
      term = condition("IF ", lhs);
    } else {
      term = condition("IF ", rest);
    }
    if (!term) return std::nullopt;
    State scratch;
    if (!MakeTerm(scratch, *term, step.truth)) {
      report.Add(rest, "SET cannot set this: it is a test, not a state");
      return std::nullopt;
    }
    step.term = *term;
    return step;
  }
  if (keyword == "EVENT") {
    step.kind = Step::Kind::kEvent;
    if (rest.text.empty()) {
      report.Add(word, "EVENT names an event: EVENT MODULE.EVENT");
      return std::nullopt;
    }
    const Probe& probe = Compiled(rest.text, "");
    for (const Diagnostic& d : probe.event_diagnostics) report.Add(d, 6, rest);
    if (report.count() > before) return std::nullopt;
    if (probe.event_code.size() != 3) {
      report.Add(rest, "not an event of the script's modules");
      return std::nullopt;
    }
    step.module = probe.event_code[1];
    step.event = probe.event_code[2];
    return step;
  }
  if (keyword == "WAIT") {
    step.kind = Step::Kind::kWait;
    bool digits = !rest.text.empty() && rest.text.size() <= 7 &&
                  std::all_of(rest.text.begin(), rest.text.end(),
                              [](char c) { return c >= '0' && c <= '9'; });
    int seconds = digits ? std::stoi(std::string(rest.text)) : -1;
    if (seconds < 0 || seconds > kMaxWaitSeconds) {
      report.Add(rest.text.empty() ? word : rest,
                 "WAIT takes whole seconds, 0 to " + std::to_string(kMaxWaitSeconds));
      return std::nullopt;
    }
    step.seconds = seconds;
    return step;
  }
  if (keyword == "EXPECT") {
    Piece what = rest;
    bool negated = StartsWithWord(rest, "NOT");
    if (negated) what = SplitWord(rest).second;
    std::string command = Upper(SplitWord(what).first.text);
    if (command == "MARK" || command == "DIAL" || command == "DOOR") {
      step.kind = Step::Kind::kExpectHappened;
      step.negated = negated;
      const Probe& probe = statement("", what);
      if (report.count() > before) return std::nullopt;
      const std::vector<uint8_t>& code = probe.code;
      if (command == "MARK" && code.size() >= 2 && code[0] == static_cast<int>(Op::kMark)) {
        step.happening = {Happening::Kind::kMark, code[1], 0};
      } else if (command == "DIAL" && code.size() >= 3 && code[0] == static_cast<int>(Op::kDial)) {
        step.happening = {Happening::Kind::kDial, code[1], code[2]};
      } else if (command == "DOOR" && code.size() >= 2 &&
                 code[0] == static_cast<int>(Op::kDoorOpen)) {
        step.happening = {Happening::Kind::kDoor, code[1], 0};
      } else {
        report.Add(what, "the compiler made no " + command + " of this");
        return std::nullopt;
      }
      return step;
    }
    step.kind = Step::Kind::kExpect;
    if (rest.text.empty()) {
      report.Add(word, "EXPECT takes a condition as IF does, or MARK, DIAL or DOOR");
      return std::nullopt;
    }
    std::optional<Term> term = condition("IF ", rest);
    if (!term) return std::nullopt;
    step.term = *term;
    return step;
  }
  report.Add(word, "unknown step '" + std::string(word.text) +
                       "': a line is SCENARIO, SET, EVENT, WAIT, EXPECT or a ; comment");
  return std::nullopt;
}

namespace {

struct RawLine {
  std::string_view text;
  int number;
};

std::vector<RawLine> SplitLines(std::string_view text) {
  std::vector<RawLine> lines;
  int number = 1;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      if (start < text.size()) lines.push_back({text.substr(start), number});
      break;
    }
    lines.push_back({text.substr(start, end - start), number++});
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

}  // namespace

ScenarioFile ParseScenarios(std::string_view text, std::string_view script) {
  ScenarioFile file;
  StepParser parser(script);
  struct Pending {
    Scenario scenario;
    std::vector<RawLine> lines;
  };
  std::vector<Pending> pending;
  for (const RawLine& line : SplitLines(text)) {
    Piece trimmed = Trim({line.text, 0});
    if (trimmed.text.empty() || trimmed.text[0] == ';') continue;
    auto [word, rest] = SplitWord(trimmed);
    if (Upper(word.text) == "ALWAYS" || Upper(word.text) == "NEVER") {
      file.properties.push_back({line.number, std::string(trimmed.text)});
    } else if (Upper(word.text) == "SCENARIO") {
      if (rest.text.empty()) {
        LineErrors(line.text, line.number, &file.errors).Add(word, "SCENARIO needs a name");
      }
      pending.push_back({{std::string(rest.text), line.number, {}}, {}});
    } else if (pending.empty()) {
      LineErrors(line.text, line.number, &file.errors)
          .Add(trimmed, "a step before the first SCENARIO line");
    } else {
      pending.back().lines.push_back(line);
    }
  }
  for (Pending& item : pending) {
    // Lines before the scenario's first EVENT are read in that event.
    std::string context;
    for (const RawLine& line : item.lines) {
      auto [word, rest] = SplitWord(Trim({line.text, 0}));
      if (Upper(word.text) == "EVENT" && !rest.text.empty()) {
        context = std::string(rest.text);
        break;
      }
    }
    for (const RawLine& line : item.lines) {
      std::optional<Step> step = parser.Parse(line.text, line.number, context, &file.errors);
      if (!step) continue;
      if (step->kind == Step::Kind::kEvent)
        context = std::string(SplitWord(Trim({line.text, 0})).second.text);
      item.scenario.steps.push_back(std::move(*step));
    }
    file.scenarios.push_back(std::move(item.scenario));
  }
  std::stable_sort(file.errors.begin(), file.errors.end(),
                   [](const ScenarioError& a, const ScenarioError& b) { return a.line < b.line; });
  return file;
}

std::string FormatScenarioError(const ScenarioError& error, std::string_view file) {
  std::string text = std::string(file) + ":" + std::to_string(error.line) + ":" +
                     std::to_string(error.column) + ": error: " + error.message;
  if (!error.code.empty()) text += " [" + error.code + "]";
  text += "\n";
  std::string number = std::to_string(error.line);
  std::string gutter(std::max<size_t>(number.size(), 4), ' ');
  text += gutter.substr(number.size()) + number + " | " + error.text + "\n";
  text += gutter + " | ";
  for (int column = 1; column < error.end_column; ++column) {
    size_t at = static_cast<size_t>(column - 1);
    char shown = at < error.text.size() && error.text[at] == '\t' ? '\t' : ' ';
    text += column < error.column ? shown : '^';
  }
  return text + "\n";
}

}  // namespace vigil::sim
