#include "lsp/completion.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/lang/known_words.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"
#include "core/scan/tokenizer.h"
#include "lsp/blocks.h"
#include "lsp/words.h"

namespace vigil::lsp {
namespace {

// CompletionItemKind values of the protocol.
enum ItemKind {
  kFunction = 3,
  kField = 5,
  kVariable = 6,
  kModule = 9,
  kKeyword = 14,
  kEnumMember = 20,
  kConstant = 21,
  kEvent = 23,
};

// The words that start a line besides the commands of the instruction list.
constexpr std::string_view kLineWords[] = {"EVENT",  "EVENTEND",  "ENDIF", "DEFINE",
                                           "MODULE", "PARTITION", "DEVICE"};
constexpr std::string_view kDefineWords[] = {"PARAMETER", "MARK", "REGISTER", "TIMER"};
constexpr std::string_view kSwitchWords[] = {"ON", "OFF"};

struct Form {
  std::string_view word;               // DELAY
  std::vector<std::string_view> args;  // parameter, ...
};

// "DIAL(n, mark)" as {DIAL, {n, mark}}; forms that start with a lower-case
// word or assign ("BEEP = ON") give no command word.
std::optional<Form> ParseForm(std::string_view form) {
  size_t end = form.find_first_of(" (");
  Form parsed{form.substr(0, end), {}};
  if (!IsKeyword(parsed.word) || Contains(form, "=")) return std::nullopt;
  if (end != std::string_view::npos && form[end] == '(') {
    std::string_view inside = form.substr(end + 1, form.find(')') - end - 1);
    for (std::string_view arg : Split(inside, ',')) parsed.args.push_back(TrimBlanks(arg));
  }
  return parsed;
}

const std::vector<Form>& CommandForms() {
  static const std::vector<Form> forms = [] {
    std::vector<Form> list;
#define VIGIL_FORM(name, code, operands, form, display) \
  if (std::optional<Form> parsed = ParseForm(form)) list.push_back(*parsed);
    VIGIL_INSTRUCTIONS(VIGIL_FORM)
#undef VIGIL_FORM
    return list;
  }();
  return forms;
}

const std::vector<Form>& ConditionForms() {
  static const std::vector<Form> forms = [] {
    std::vector<Form> list;
#define VIGIL_FORM(name, code, operands, form, display) \
  if (std::optional<Form> parsed = ParseForm(form)) list.push_back(*parsed);
    VIGIL_CONDITIONS(VIGIL_FORM)
#undef VIGIL_FORM
    return list;
  }();
  return forms;
}

class Items {
 public:
  explicit Items(Json range) : range_(std::move(range)) {}
  void Add(std::string_view label, int kind, std::string_view detail = {}) {
    if (!seen_.insert(ToUpper(label)).second) return;
    Json item = {
        {"label", label}, {"kind", kind}, {"textEdit", {{"range", range_}, {"newText", label}}}};
    if (!detail.empty()) item["detail"] = detail;
    items_.push_back(std::move(item));
  }
  Json Take() { return {{"isIncomplete", false}, {"items", std::move(items_)}}; }

 private:
  Json range_;
  Json items_ = Json::array();
  std::set<std::string> seen_;
};

struct Place {
  const Document& document;
  const Compilation& compilation;
  const C_Module* event_module;  // the module of the EVENT block, or nullptr
  std::string_view before;       // the line up to the cursor
  std::string_view partial;      // the word being written, up to the cursor
};

void AddModules(const Place& place, Items& items) {
  for (const C_Module& module : place.compilation.symbols.modules.records()) {
    items.Add(module.name, kModule, KindDescription(module.id));
  }
}

template <typename Records>
void AddNames(const Records& records, int kind, std::string_view detail, Items& items) {
  for (const auto& record : records) items.Add(record.name, kind, detail);
}

void AddElements(int module_id, std::string_view detail, Items& items) {
  for (const std::string& element : ElementNamesOfKind(module_id)) {
    items.Add(element, kField, detail);
  }
}

void AddEventModuleElements(const Place& place, Items& items) {
  if (place.event_module == nullptr) return;
  AddElements(place.event_module->id, place.event_module->name, items);
}

void AddFlags(const Place& place, Items& items) {
  if (place.event_module == nullptr) return;
  ModuleKind kind = ModuleKindOf(place.event_module->id);
  for (std::string_view word : Keywords()) {
    if ((kind == ModuleKind::kPanel && GetSystemFlagCode(word) >= 0) ||
        (kind == ModuleKind::kSupply && GetSupplyFlagCode(word) >= 0)) {
      items.Add(word, kEnumMember, ModuleKindName(kind));
    }
  }
}

void AddArgument(const Place& place, std::string_view kind, Items& items) {
  const SymbolTable& symbols = place.compilation.symbols;
  if (kind == "module") AddModules(place, items);
  if (kind == "mark") AddNames(symbols.marks.records(), kEnumMember, "archive mark", items);
  if (kind == "parameter") AddNames(symbols.parameters.records(), kConstant, "parameter", items);
  if (kind == "output" || kind == "element") AddEventModuleElements(place, items);
}

// Inside "WORD(a, b" : what WORD's forms take at that argument.
bool AddInsideBrackets(const Place& place, Items& items) {
  size_t open = place.before.rfind('(');
  if (open == std::string_view::npos || place.before.find(')', open) != std::string_view::npos) {
    return false;
  }
  std::string_view head = place.before.substr(0, open);
  std::vector<WordRange> words = WordsOf(head);
  std::string command = words.empty() ? "" : ToUpper(TextOf(head, words.back()));
  std::string_view inside = place.before.substr(open + 1);
  size_t index = static_cast<size_t>(std::count(inside.begin(), inside.end(), ','));
  if (command == "FLAGS") {
    AddFlags(place, items);
    return true;
  }
  for (const std::vector<Form>* forms : {&CommandForms(), &ConditionForms()}) {
    for (const Form& form : *forms) {
      if (form.word == command && index < form.args.size()) {
        AddArgument(place, form.args[index], items);
      }
    }
  }
  return true;
}

void AddStatementStart(const Place& place, Items& items) {
  const SymbolTable& symbols = place.compilation.symbols;
  for (std::string_view word : kLineWords) items.Add(word, kKeyword);
  for (const Form& form : CommandForms()) items.Add(form.word, kFunction, "command");
  AddModules(place, items);
  AddNames(symbols.registers.records(), kVariable, "register", items);
  AddNames(symbols.timers.records(), kVariable, "timer", items);
  AddEventModuleElements(place, items);
}

void AddCondition(const Place& place, Items& items) {
  const SymbolTable& symbols = place.compilation.symbols;
  items.Add("NOT", kKeyword);
  for (const Form& form : ConditionForms()) items.Add(form.word, kFunction, "condition");
  AddModules(place, items);
  AddNames(symbols.registers.records(), kVariable, "register", items);
  AddNames(symbols.timers.records(), kVariable, "timer", items);
  AddEventModuleElements(place, items);
}

void AddValue(const Place& place, std::string_view target, Items& items) {
  if (EqualsIgnoreCase(ElementPart(target), "SYSTEMKEY")) {
    for (const SystemKey& key : SystemKeys()) items.Add(key.word, kEnumMember, "key");
    return;
  }
  for (std::string_view word : kSwitchWords) items.Add(word, kKeyword);
  const SymbolTable& symbols = place.compilation.symbols;
  AddNames(symbols.parameters.records(), kConstant, "parameter", items);
  AddNames(symbols.registers.records(), kVariable, "register", items);
  AddNames(symbols.timers.records(), kVariable, "timer", items);
}

void Complete(const Place& place, Items& items) {
  if (size_t dot = place.partial.find('.'); dot != std::string_view::npos) {
    const C_Module* module = place.compilation.symbols.modules.Find(place.partial.substr(0, dot));
    if (module != nullptr) AddElements(module->id, KindDescription(module->id), items);
    return;
  }
  if (AddInsideBrackets(place, items)) return;
  std::string_view head = place.before.substr(0, place.before.size() - place.partial.size());
  std::vector<WordRange> words = WordsOf(head);
  if (words.empty()) return AddStatementStart(place, items);
  std::string first = ToUpper(TextOf(head, words.front()));
  if (first == "EVENT") return AddModules(place, items);
  if (first == "DEFINE" && words.size() == 1) {
    for (std::string_view word : kDefineWords) items.Add(word, kKeyword);
    return;
  }
  if (first == "IF") return AddCondition(place, items);
  if (size_t equals = head.find('='); equals != std::string_view::npos) {
    return AddValue(place, TrimBlanks(head.substr(0, equals)), items);
  }
}

}  // namespace

Json CompletionAt(const Document& document, Position position) {
  int line = std::clamp(position.line, 0, document.line_count() - 1);
  std::string_view text = document.LineText(line);
  int column = document.ByteColumnOf({line, position.character});
  std::string_view before = text.substr(0, static_cast<size_t>(column));
  size_t start = before.size();
  while (start > 0 && !IsWordSeparator(before[start - 1]) && before[start - 1] != '.') --start;
  size_t word_start = start;
  while (word_start > 0 && !IsWordSeparator(before[word_start - 1])) --word_start;
  Structure structure = StructureOf(document);
  Place place{document, document.compilation(), EventModuleOf(document, structure, line), before,
              before.substr(word_start)};
  Items items(RangeJson(document.PositionOf(line, static_cast<int>(start)),
                        document.PositionOf(line, column)));
  bool comment = KindOfLine(text) == LineKind::kComment;
  if (!comment) Complete(place, items);
  return items.Take();
}

}  // namespace vigil::lsp
