#include "sim/scenario.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>

#include "core/check/traps.h"
#include "core/lang/errors.h"
#include "core/lang/known_words.h"
#include "core/lang/limits.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/lines.h"
#include "core/scan/tokenizer.h"
#include "sim/shown_text.h"

namespace vigil::sim {
namespace {

// The first word of `text` (as the compiler cuts words) and what follows it,
// blanks trimmed; both view `text`.
std::pair<std::string_view, std::string_view> SplitWord(std::string_view text) {
  WordAt first = PeekWord(text);
  size_t end = static_cast<size_t>(first.word.data() - text.data()) + first.word.size();
  return {first.word, TrimBlanks(text.substr(end))};
}

// Keyword terms: IF takes them bare, so SET writes them as `TERM = ON|OFF`.
bool IsKeywordTerm(std::string_view lhs) {
  static constexpr std::string_view kBare[] = {"PASSED", "AUTHORIZED", "PRESENT", "OFFLINE",
                                               "ALLCOUNTERSEMPTY"};
  return Contains(lhs, "(") || std::any_of(std::begin(kBare), std::end(kBare),
                                           [&](auto bare) { return EqualsIgnoreCase(lhs, bare); });
}

// A step form EXPECT takes for what an event did, with its parameters.
struct HappeningForm {
  std::string_view command;
  Op opcode;
  Happening::Kind kind;
  size_t min_params;
  size_t max_params;
  std::string_view shape;
};

constexpr std::array<HappeningForm, 3> kHappeningForms = {{
    {"MARK", Op::kMark, Happening::Kind::kMark, 1, 1, "EXPECT [NOT] MARK(mark)"},
    {"DIAL", Op::kDial, Happening::Kind::kDial, 2, 2, "EXPECT [NOT] DIAL(number, mark)"},
    {"DOOR", Op::kDoorOpen, Happening::Kind::kDoor, 0, 1, "EXPECT [NOT] DOOR(module)"},
}};

}  // namespace

// One step line being read: its text, the errors it adds, the entry and the
// context it compiles in.
class LineReader {
 public:
  LineReader(StepParser& parser, std::string_view line, int number, std::string_view context,
             std::vector<ScenarioError>* errors)
      : parser_(parser), line_(line), number_(number), errors_(errors), before_(errors->size()) {
    // An event that cannot be read has its own error on its EVENT line; the
    // lines after it are read in the default event, with no follow-on errors.
    context_word_ = context.empty() ? std::string_view(parser.default_context_) : context;
    context_ = parser.entry_.Event(context_word_);
    if (!context_.ok()) {
      context_word_ = parser.default_context_;
      context_ = parser.entry_.Event(context_word_);
    }
  }

  std::string_view line() const { return line_; }
  bool failed() const { return errors_->size() > before_; }
  const Program& program() const { return parser_.program_; }
  StatementEntry& entry() { return parser_.entry_; }

  // An error (or warning) on `where`, a view into the line.
  void Add(std::string_view where, std::string message, std::string code = "",
           bool warning = false) {
    size_t at = static_cast<size_t>(std::clamp<std::ptrdiff_t>(
        where.data() - line_.data(), 0, static_cast<std::ptrdiff_t>(line_.size())));
    size_t end = std::max(at + where.size(), at + 1);
    errors_->push_back({number_, static_cast<int>(at) + 1, static_cast<int>(end) + 1,
                        std::string(line_), std::move(message), std::move(code), warning});
  }

  // The compiler's errors on `piece`, whose columns they count.
  void Add(const std::vector<Diagnostic>& diagnostics, std::string_view piece) {
    for (const Diagnostic& d : diagnostics) {
      std::string_view where = piece;
      if (d.span.known()) {
        size_t begin = std::min(static_cast<size_t>(d.span.begin), piece.size());
        size_t end = std::clamp(static_cast<size_t>(d.span.end), begin, piece.size());
        where = piece.substr(begin, end - begin);
      }
      Add(where, Explained(d, where), ProblemCode(d.severity, d.number));
    }
  }

  // The compiler's message, and for an unknown word what it really is.
  std::string Explained(const Diagnostic& d, std::string_view where) const {
    std::string message(ErrorMessage(d.number));
    if (d.number != static_cast<int>(Err::kUnknownCommand)) return message;
    if (IsNumberWord(where)) {
      return message + ": " + std::string(where) + " is out of range; a value is 0 to " +
             std::to_string(kMaxByte);
    }
    if (EqualsIgnoreCase(ElementPart(where), "BEEP")) {
      return message + ": the beeper is no state IF can test, so neither SET nor EXPECT can use it";
    }
    bool dotted = Contains(where, ".");
    const auto& modules = program().names.modules;
    if (dotted && std::none_of(modules.begin(), modules.end(), [&](const auto& module) {
          return EqualsIgnoreCase(module.second, ModulePart(where));
        })) {
      return message + ": " + std::string(ModulePart(where)) + " is no module the script declares";
    }
    if (!dotted && !where.empty() &&
        std::all_of(where.begin(), where.end(), [](char c) { return IsNameChar(c) || c == '-'; })) {
      return message + ": " + std::string(where) +
             " is neither a name the script declares nor a word of the language";
    }
    return message;
  }

  // The term IF would test for `text`, or nullopt after an error.
  std::optional<Term> Condition(std::string_view text) {
    ConditionRead read = entry().Condition(context_.module, context_word_, text);
    Add(read.diagnostics, text);
    if (failed()) return std::nullopt;
    if (!read.is_test) {
      Add(text, "not a condition that IF can test");
      return std::nullopt;
    }
    WarnComparison(text);
    return Term{read.opcode, read.a, read.b};
  }

  StatementCode Statement(std::string_view text) {
    StatementCode code = entry().Statement(context_.module, context_word_, text);
    Add(code.diagnostics, text);
    return code;
  }

 private:
  // W7, as check gives it for the same words after IF.
  void WarnComparison(std::string_view text) {
    Span span = ForeignComparison(text);
    if (!span.known()) return;
    std::string_view op =
        text.substr(static_cast<size_t>(span.begin), static_cast<size_t>(span.end - span.begin));
    Add(op, ForeignComparisonMessage(op) + "; " + std::string(kComparisonAdvice),
        ProblemCode(Severity::kWarning, static_cast<int>(Warn::kComparison)), true);
  }

  StepParser& parser_;
  std::string_view line_;
  int number_;
  std::vector<ScenarioError>* errors_;
  size_t before_;
  EventRead context_;
  std::string_view context_word_;
};

namespace {

std::optional<Step> ParseSet(LineReader& r, std::string_view keyword, std::string_view rest,
                             Step step) {
  size_t equals = rest.find('=');
  if (equals == std::string_view::npos) {
    r.Add(rest.empty() ? keyword : rest, "SET takes a state in assignment form: SET NAME = VALUE");
    return std::nullopt;
  }
  std::string_view lhs = TrimBlanks(rest.substr(0, equals));
  std::string_view value = TrimBlanks(rest.substr(equals + 1));
  std::optional<Term> term;
  if (IsKeywordTerm(lhs)) {
    if (!EqualsIgnoreCase(value, "ON") && !EqualsIgnoreCase(value, "OFF")) {
      r.Add(value.empty() ? rest : value, "a test like " + std::string(lhs) + " is set ON or OFF");
      return std::nullopt;
    }
    step.truth = EqualsIgnoreCase(value, "ON");
    term = r.Condition(lhs);
  } else {
    term = r.Condition(rest);
  }
  if (!term) return std::nullopt;
  State scratch;
  if (!MakeTerm(scratch, *term, step.truth)) {
    r.Add(rest, "SET cannot set this: it is a test, not a state");
    return std::nullopt;
  }
  step.term = *term;
  return step;
}

// Why `word`, which the compiler refused, names no event ("FRONT has no
// event OPENED; the events of a door module: VALID, ..."); empty when its
// module is not the script's (the compiler's error says so).
std::string NoSuchEvent(const Program& program, std::string_view word) {
  constexpr size_t kShown = 24;
  word = PeekWord(word).word;
  std::string_view module_part = ModulePart(word);
  std::string_view element = ElementPart(word);
  for (const auto& [id, name] : program.names.modules) {
    if (!EqualsIgnoreCase(name, module_part) || element.empty()) continue;
    ModuleKind kind = ModuleKindOf(id);
    std::span<const std::string> events = EventNamesOf(kind);
    if (events.empty()) return "";
    std::string list;
    for (size_t i = 0; i < std::min(events.size(), kShown); ++i) {
      list += (i == 0 ? "" : ", ") + events[i];
    }
    if (events.size() > kShown) list += ", ...";
    return name + " has no event " + std::string(element) + "; the events of a " +
           std::string(ModuleKindName(kind)) + " module: " + list;
  }
  return "";
}

std::optional<Step> ParseEvent(LineReader& r, std::string_view keyword, std::string_view rest,
                               Step step) {
  if (rest.empty()) {
    r.Add(keyword, "EVENT names an event: EVENT MODULE.EVENT");
    return std::nullopt;
  }
  EventRead read = r.entry().Event(rest);
  std::string_view element = ElementPart(PeekWord(rest).word);
  int element_at = static_cast<int>(element.data() - rest.data());
  auto at_element = [&](const Diagnostic& d) {
    return d.span.known() && d.span.begin <= element_at && element_at < d.span.end;
  };
  if (std::any_of(read.diagnostics.begin(), read.diagnostics.end(), at_element)) {
    // The compiler refused the event's name: when the module is the
    // script's, say which events it has.
    if (std::string why = NoSuchEvent(r.program(), rest); !why.empty()) {
      r.Add(element, why);
      return std::nullopt;
    }
  }
  r.Add(read.diagnostics, rest);
  if (r.failed()) return std::nullopt;
  if (!read.ok()) {
    r.Add(rest, "not an event of the script's modules");
    return std::nullopt;
  }
  step.module = read.module;
  step.event = read.event;
  step.event_word = std::string(PeekWord(rest).word);
  bool has_block = std::any_of(r.program().blocks.begin(), r.program().blocks.end(),
                               [&](const Program::Block& block) {
                                 return block.module == read.module && block.event == read.event;
                               });
  if (!has_block) {
    r.Add(rest, "the script has no block for " + std::string(rest) + ": firing it does nothing", "",
          true);
  }
  return step;
}

std::optional<Step> ParseWait(LineReader& r, std::string_view keyword, std::string_view rest,
                              Step step) {
  bool digits = !rest.empty() && rest.size() <= 7 &&
                std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
  int seconds = digits ? std::stoi(std::string(rest)) : -1;
  if (seconds < 0 || seconds > kMaxWaitSeconds) {
    r.Add(rest.empty() ? keyword : rest,
          "WAIT takes whole seconds, 0 to " + std::to_string(kMaxWaitSeconds));
    return std::nullopt;
  }
  step.seconds = seconds;
  return step;
}

// The parameters between the brackets of `text` ("MARK(A,B)"), each as a
// view, or nullopt when the brackets are not closed (the compiler says so).
std::optional<std::vector<std::string_view>> Parameters(std::string_view text) {
  size_t open = text.find('(');
  size_t close = text.find(')', open == std::string_view::npos ? 0 : open);
  if (open == std::string_view::npos || close == std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> params;
  std::string_view inside = text.substr(open + 1, close - open - 1);
  if (TrimBlanks(inside).empty()) return params;
  for (size_t start = 0;;) {
    size_t comma = inside.find(',', start);
    params.push_back(inside.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) return params;
    start = comma + 1;
  }
}

std::optional<Step> ParseHappening(LineReader& r, const HappeningForm& form, std::string_view what,
                                   Step step) {
  step.kind = Step::Kind::kExpectHappened;
  std::optional<std::vector<std::string_view>> params = Parameters(what);
  if (params && (params->size() < form.min_params || params->size() > form.max_params)) {
    std::string_view where =
        params->size() > form.max_params
            ? std::string_view(params->at(form.max_params).data(),
                               static_cast<size_t>(params->back().data() + params->back().size() -
                                                   params->at(form.max_params).data()))
            : what;
    std::string count =
        form.min_params == form.max_params
            ? std::to_string(form.max_params)
            : std::to_string(form.min_params) + " or " + std::to_string(form.max_params);
    r.Add(where, std::string(form.command) + " takes " + count + " parameter" +
                     (form.max_params == 1 ? "" : "s") + ", not " + std::to_string(params->size()) +
                     ": " + std::string(form.shape));
    return std::nullopt;
  }
  StatementCode code = r.Statement(what);
  if (r.failed()) return std::nullopt;
  size_t needed = form.kind == Happening::Kind::kDial ? 3 : 2;
  if (code.code.size() < needed || code.code[0] != static_cast<int>(form.opcode)) {
    r.Add(what, "the compiler made no " + std::string(form.command) + " of this");
    return std::nullopt;
  }
  step.happening = {form.kind, code.code[1],
                    form.kind == Happening::Kind::kDial ? code.code[2] : 0};
  return step;
}

std::optional<Step> ParseExpect(LineReader& r, std::string_view keyword, std::string_view rest,
                                Step step) {
  if (rest.empty()) {
    r.Add(keyword, "EXPECT takes a condition as IF does, or MARK, DIAL or DOOR");
    return std::nullopt;
  }
  if (EqualsIgnoreCase(rest, "CUT")) {
    step.kind = Step::Kind::kExpectCut;
    return step;
  }
  std::string_view what = rest;
  bool negated = TakeWord(what, "NOT") && !what.empty();
  if (!negated) what = rest;
  what = TrimBlanks(what);
  std::string_view command = PeekWord(what).word;
  for (const HappeningForm& form : kHappeningForms) {
    if (EqualsIgnoreCase(command, form.command)) {
      step.negated = negated;
      return ParseHappening(r, form, what, step);
    }
  }
  step.kind = Step::Kind::kExpect;
  std::optional<Term> term = r.Condition(rest);
  if (!term) return std::nullopt;
  step.term = *term;
  return step;
}

// The step lines: one row a form.
struct LineForm {
  std::string_view keyword;
  Step::Kind kind;
  std::optional<Step> (*parse)(LineReader&, std::string_view keyword, std::string_view rest,
                               Step step);
};

constexpr std::array<LineForm, 4> kLineForms = {{
    {"SET", Step::Kind::kSet, ParseSet},
    {"EVENT", Step::Kind::kEvent, ParseEvent},
    {"WAIT", Step::Kind::kWait, ParseWait},
    {"EXPECT", Step::Kind::kExpect, ParseExpect},
}};

constexpr std::string_view kScenarioWord = "SCENARIO";

}  // namespace

StepParser::StepParser(const Compilation& compilation, const Program& program)
    : entry_(compilation), program_(program) {
  for (const C_Module& module : compilation.symbols.modules.records()) {
    if (module.id == 0) {
      default_context_ = module.name + ".INIT";
      return;
    }
  }
  if (!program.blocks.empty()) {
    default_context_ = EventLabel(program, program.blocks[0].module, program.blocks[0].event);
  }
}

std::optional<Step> StepParser::Parse(std::string_view line, int line_number,
                                      std::string_view context,
                                      std::vector<ScenarioError>* errors) {
  LineReader reader(*this, line, line_number, context, errors);
  std::string_view whole = TrimBlanks(line);
  auto [keyword, rest] = SplitWord(whole);
  for (const LineForm& form : kLineForms) {
    if (!EqualsIgnoreCase(keyword, form.keyword)) continue;
    Step step;
    step.kind = form.kind;
    step.line = line_number;
    step.text = std::string(whole);
    return form.parse(reader, keyword, rest, std::move(step));
  }
  reader.Add(keyword.empty() ? whole : keyword,
             "unknown step '" + ShownText(keyword) +
                 "': a line is SCENARIO, SET, EVENT, WAIT, EXPECT or a ; comment");
  return std::nullopt;
}

bool ScenarioFile::Refused(bool werror) const {
  return std::any_of(errors.begin(), errors.end(),
                     [&](const ScenarioError& e) { return werror || !e.warning; });
}

namespace {

struct RawLine {
  std::string_view text;
  int number;
};

// Warnings for what runs but tests nothing or is easy to mistake.
void WarnAboutScenarios(std::string_view text, const std::vector<RawLine>& scenario_lines,
                        const std::vector<bool>& expects, const std::vector<Scenario>& scenarios,
                        ScenarioFile& file) {
  if (scenarios.empty()) {
    file.errors.push_back({1, 1, 2, std::string(text.substr(0, text.find_first_of("\r\n"))),
                           "no SCENARIO line: the file tests nothing", "", true});
  }
  std::map<std::string, int> seen;
  for (size_t i = 0; i < scenarios.size(); ++i) {
    const Scenario& scenario = scenarios[i];
    std::string_view line = scenario_lines[i].text;
    std::string_view name = SplitWord(TrimBlanks(line)).second;
    auto add = [&](std::string message) {
      size_t at = name.empty() ? 0 : static_cast<size_t>(name.data() - line.data());
      file.errors.push_back({scenario.line, static_cast<int>(at) + 1,
                             static_cast<int>(at + std::max<size_t>(name.size(), 1)) + 1,
                             std::string(line), std::move(message), "", true});
    };
    auto [it, added] = seen.emplace(ToUpper(scenario.name), scenario.line);
    if (!added) {
      add("a scenario of this name is on line " + std::to_string(it->second) +
          ": reports cannot tell them apart");
    }
    if (!expects[i])
      add("scenario '" + ShownText(scenario.name) + "' has no EXPECT: it cannot fail");
  }
}

// W6, as check gives it for a script: a lone LF does not end a line, so
// what follows it is read as part of the line before.
void WarnLoneLineFeeds(std::string_view line, int number, std::vector<ScenarioError>& errors) {
  int physical = number;
  for (size_t lf = line.find('\n'); lf != std::string_view::npos; lf = line.find('\n', lf + 1)) {
    ++physical;
    size_t next = std::min(line.find('\n', lf + 1), line.size());
    std::string_view swallowed = TrimBlanks(line.substr(lf + 1, next - lf - 1));
    if (swallowed.empty()) continue;
    size_t at = static_cast<size_t>(swallowed.data() - line.data());
    errors.push_back({number, static_cast<int>(at) + 1, static_cast<int>(at + swallowed.size()) + 1,
                      std::string(line),
                      "Line " + std::to_string(physical - 1) +
                          " ends in LF alone, so this line is read as part of it, not as a step",
                      ProblemCode(Severity::kWarning, static_cast<int>(Warn::kLoneLineFeed)),
                      true});
  }
}

}  // namespace

ScenarioFile ParseScenarios(std::string_view text, const Compilation& compilation,
                            const Program& program) {
  ScenarioFile file;
  StepParser parser(compilation, program);
  struct Pending {
    Scenario scenario;
    RawLine header;
    std::vector<RawLine> lines;
  };
  std::vector<Pending> pending;
  ForEachLine(text, [&](std::string_view line, int number) {
    WarnLoneLineFeeds(line, number, file.errors);
    std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';') return;
    auto [word, rest] = SplitWord(trimmed);
    if (EqualsIgnoreCase(word, "ALWAYS") || EqualsIgnoreCase(word, "NEVER")) {
      file.properties.push_back({number, std::string(trimmed)});
    } else if (EqualsIgnoreCase(word, kScenarioWord)) {
      if (rest.empty()) {
        LineReader(parser, line, number, "", &file.errors).Add(word, "SCENARIO needs a name");
      }
      pending.push_back({{std::string(rest), number, {}}, {line, number}, {}});
    } else if (pending.empty()) {
      LineReader(parser, line, number, "", &file.errors)
          .Add(trimmed, "a step before the first SCENARIO line");
    } else {
      pending.back().lines.push_back({line, number});
    }
  });
  std::vector<RawLine> headers;
  std::vector<bool> expects;
  long file_seconds = 0;
  for (Pending& item : pending) {
    expects.push_back(std::any_of(item.lines.begin(), item.lines.end(), [](const RawLine& line) {
      return EqualsIgnoreCase(SplitWord(TrimBlanks(line.text)).first, "EXPECT");
    }));
    // Lines before the scenario's first EVENT are read in that event.
    std::string context;
    for (const RawLine& line : item.lines) {
      auto [word, rest] = SplitWord(TrimBlanks(line.text));
      if (EqualsIgnoreCase(word, "EVENT") && !rest.empty()) {
        context = std::string(rest);
        break;
      }
    }
    long scenario_seconds = 0;
    bool bounded = false;
    auto BoundTime = [&](const RawLine& line, const Step& step, long& in_scenario, long& in_file,
                         std::vector<ScenarioError>& errors) {
      in_scenario += step.seconds;
      in_file += step.seconds;
      if (bounded) return false;
      std::string what =
          in_scenario > kMaxScenarioSeconds
              ? "the scenario's WAITs pass " + std::to_string(kMaxScenarioSeconds) +
                    " s of simulated time"
          : in_file > kMaxFileSeconds
              ? "the file's WAITs pass " + std::to_string(kMaxFileSeconds) + " s of simulated time"
              : "";
      if (what.empty()) return true;
      bounded = true;
      std::string_view seconds = SplitWord(TrimBlanks(line.text)).second;
      int at = static_cast<int>(seconds.data() - line.text.data());
      errors.push_back({line.number, at + 1, at + static_cast<int>(seconds.size()) + 1,
                        std::string(line.text), what + "; split it into shorter scenarios", "",
                        false});
      return false;
    };
    for (const RawLine& line : item.lines) {
      std::optional<Step> step = parser.Parse(line.text, line.number, context, &file.errors);
      if (!step) continue;
      if (step->kind == Step::Kind::kEvent) {
        context = std::string(SplitWord(TrimBlanks(line.text)).second);
      }
      if (step->kind == Step::Kind::kWait &&
          !BoundTime(line, *step, scenario_seconds, file_seconds, file.errors)) {
        continue;
      }
      item.scenario.steps.push_back(std::move(*step));
    }
    file.scenarios.push_back(std::move(item.scenario));
    headers.push_back(item.header);
  }
  WarnAboutScenarios(text, headers, expects, file.scenarios, file);
  std::stable_sort(file.errors.begin(), file.errors.end(),
                   [](const ScenarioError& a, const ScenarioError& b) { return a.line < b.line; });
  return file;
}

std::string FormatScenarioError(const ScenarioError& error, std::string_view file) {
  return FormatProblem(
      error,
      std::string(file) + ":" + std::to_string(error.line) + ":" + std::to_string(error.column),
      std::to_string(error.line));
}

std::string FormatProblem(const ScenarioError& error, std::string_view location,
                          std::string_view label) {
  std::string text = std::string(location) + (error.warning ? ": warning: " : ": error: ") +
                     ShownText(error.message);
  if (!error.code.empty()) text += " [" + error.code + "]";
  text += "\n";
  std::string gutter(std::max<size_t>(label.size(), 4), ' ');
  std::string shown = ShownText(error.text);
  text += gutter.substr(label.size()) + std::string(label) + " | " + shown + "\n";
  text += gutter + " | ";
  int begin = ShownColumn(error.text, error.column);
  int end = ShownColumn(error.text, error.end_column);
  for (int column = 1; column < std::max(end, begin + 1); ++column) {
    size_t at = static_cast<size_t>(column - 1);
    char blank = at < shown.size() && shown[at] == '\t' ? '\t' : ' ';
    text += column < begin ? blank : '^';
  }
  return text + "\n";
}

}  // namespace vigil::sim
