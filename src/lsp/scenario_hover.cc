#include "lsp/scenario_hover.h"

#include <optional>
#include <string>

#include "core/scan/tokenizer.h"
#include "lsp/hover.h"
#include "lsp/words.h"

namespace vigil::lsp {
namespace {

struct Step {
  std::string_view word;
  std::string_view meaning;
  bool starts_line = true;
};

// The words of a scenario file's lines and what they do.
constexpr Step kSteps[] = {
    {"SCENARIO",
     "**SCENARIO** name\n\nStarts a scenario: the rest of the line is its name. Each scenario runs "
     "on a fresh controller."},
    {"SET",
     "**SET** state = value\n\nSets a state in assignment form, as a statement of the script "
     "writes it; inputs and outside facts (time plans, groups) included."},
    {"EVENT",
     "**EVENT** module.event\n\nFires the event and runs until every event has ended or waits."},
    {"WAIT", "**WAIT** n\n\nLets n seconds pass (0 to 604800): delays end and timers run down."},
    {"EXPECT",
     "**EXPECT** condition\n\nAnything IF accepts, tested now. `EXPECT [NOT] MARK(mark)`, "
     "`DIAL(n,mark)` and `DOOR([module])` test what happened since the last EVENT line; `EXPECT "
     "CUT` expects a bound to cut the run short."},
    {"ALWAYS",
     "**ALWAYS** [NOT] MARK|DIAL|DOOR(...) WHEN event|condition\n\nA property: proved over every "
     "input, or refuted with a counterexample scenario."},
    {"NEVER",
     "**NEVER** [NOT] MARK|DIAL|DOOR(...) WHEN event|condition\n\nA property that must not hold: "
     "proved over every input, or refuted with a counterexample scenario."},
    {"WHEN", "**WHEN** event|condition\n\nThe part of a property that says when it is tested.",
     false},
    {"CUT", "EXPECT **CUT**\n\nThe scenario expects a bound to cut its run short.", false},
};

Json Markdown(const Document& document, int line, WordRange word, std::string_view text) {
  return {{"contents", {{"kind", "markdown"}, {"value", text}}},
          {"range",
           RangeJson(document.PositionOf(line, word.begin), document.PositionOf(line, word.end))}};
}

const Step* FindStep(std::string_view word) {
  std::string upper = ToUpper(word);
  for (const Step& step : kSteps) {
    if (step.word == upper) return &step;
  }
  return nullptr;
}

}  // namespace

std::string_view StepMeaning(std::string_view word) {
  const Step* step = FindStep(word);
  return step == nullptr ? std::string_view() : step->meaning;
}

std::vector<std::string_view> LineStepWords() {
  std::vector<std::string_view> words;
  for (const Step& step : kSteps) {
    if (step.starts_line) words.push_back(step.word);
  }
  return words;
}

Json ScenarioHoverAt(const Document& scenarios, const Document* script, Position position) {
  if (position.line < 0 || position.line >= scenarios.line_count()) return nullptr;
  int line = position.line;
  std::string_view text = scenarios.LineText(line);
  std::optional<WordRange> word = WordAtColumn(text, scenarios.ByteColumnOf(position));
  if (!word) return nullptr;
  std::string_view spelled = TextOf(text, *word);
  std::vector<WordRange> words = WordsOf(text);
  bool first = !words.empty() && words.front().begin == word->begin;
  // A step word opens its line; WHEN and CUT come later on theirs.
  const Step* step = FindStep(spelled);
  if (step != nullptr && step->starts_line == first) {
    return Markdown(scenarios, line, *word, step->meaning);
  }
  // The rest of a SCENARIO line is a name, not the script's words.
  if (words.empty() || ToUpper(TextOf(text, words.front())) == "SCENARIO") return nullptr;
  if (script == nullptr) return nullptr;
  // On "FRONT" of "FRONT.VALID" the module, on "VALID" the element.
  size_t dot = spelled.find('.');
  int column = scenarios.ByteColumnOf(position);
  if (dot != std::string_view::npos && column <= word->begin + static_cast<int>(dot)) {
    word->end = word->begin + static_cast<int>(dot);
    spelled = spelled.substr(0, dot);
  }
  std::optional<std::string> meaning = NameMeaning(script->compilation(), spelled);
  if (!meaning) return nullptr;
  return Markdown(scenarios, line, *word, *meaning);
}

}  // namespace vigil::lsp
