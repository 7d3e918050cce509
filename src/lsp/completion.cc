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
#include "core/lang/word_lists.h"
#include "core/scan/tokenizer.h"
#include "lsp/event_block.h"
#include "lsp/reference.h"
#include "lsp/words.h"

namespace vigil::lsp {
namespace {

// CompletionItemKind values of the protocol.
constexpr int kSnippetFormat = 2;

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
  // A command or condition word with its rows of the reference as
  // documentation and, for a command with parameters, a snippet of its first
  // form: "DELAY(${1:number 0-255})".
  void AddWord(std::string_view label, std::string_view detail, const ReferenceEntry& entry,
               bool snippets) {
    if (!seen_.insert(ToUpper(label)).second) return;
    Json item = {{"label", label},
                 {"kind", kFunction},
                 {"detail", detail},
                 {"textEdit", {{"range", range_}, {"newText", label}}}};
    if (!entry.table.empty())
      item["documentation"] = {{"kind", "markdown"}, {"value", entry.table}};
    if (snippets && !entry.signatures.empty()) {
      std::string snippet = std::string(label) + "(";
      const std::vector<std::string>& parameters = entry.signatures.front().parameters;
      for (size_t i = 0; i < parameters.size(); ++i) {
        snippet += (i == 0 ? "${" : ", ${") + std::to_string(i + 1) + ":" + parameters[i] + "}";
      }
      item["textEdit"]["newText"] = snippet + ")";
      item["insertTextFormat"] = kSnippetFormat;
    }
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
  bool in_event;                 // the line stands in an EVENT block
  const C_Module* event_module;  // the module of the EVENT block, or nullptr
  bool snippets;                 // the client expands snippets
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
  if (!place.in_event) {
    items.Add(kEventWord, kKeyword);
    for (std::string_view word : kDeclarationWords) items.Add(word, kKeyword);
    return;
  }
  const SymbolTable& symbols = place.compilation.symbols;
  for (std::string_view word : kBlockWords) {
    if (word != kEventWord) items.Add(word, kKeyword);
  }
  for (const Form& form : CommandForms()) {
    items.AddWord(form.word, "command", CommandReference(form.word), place.snippets);
  }
  AddModules(place, items);
  AddNames(symbols.registers.records(), kVariable, "register", items);
  AddNames(symbols.timers.records(), kVariable, "timer", items);
  AddEventModuleElements(place, items);
}

void AddCondition(const Place& place, Items& items) {
  const SymbolTable& symbols = place.compilation.symbols;
  items.Add("NOT", kKeyword);
  for (const Form& form : ConditionForms()) {
    items.AddWord(form.word, "condition", ConditionReference(form.word), false);
  }
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

// After "MODULE.": the events of its kind on an EVENT line; in a condition
// its elements; in a statement its elements without the names that are
// events (INIT, VALID: read only there), but for a partition's, which are
// its states.
enum class LineStart { kEvent, kIf, kOther };

void AddAfterDot(const C_Module& module, LineStart start, Items& items) {
  ModuleKind kind = ModuleKindOf(module.id);
  std::span<const std::string> events = EventNamesOf(kind);
  if (start == LineStart::kEvent) {
    for (const std::string& event : events) items.Add(event, kEvent, KindDescription(module.id));
    return;
  }
  for (const std::string& element : ElementNamesOfKind(module.id)) {
    bool read_only = start == LineStart::kOther && kind != ModuleKind::kPartition &&
                     std::find(events.begin(), events.end(), element) != events.end();
    if (!read_only) items.Add(element, kField, KindDescription(module.id));
  }
}

void Complete(const Place& place, Items& items) {
  if (size_t dot = place.partial.find('.'); dot != std::string_view::npos) {
    const C_Module* module = place.compilation.symbols.modules.Find(place.partial.substr(0, dot));
    std::vector<WordRange> words = WordsOf(place.before);
    std::string first = words.empty() ? "" : ToUpper(TextOf(place.before, words.front()));
    LineStart start = first == kEventWord ? LineStart::kEvent
                      : first == kIfWord  ? LineStart::kIf
                                          : LineStart::kOther;
    if (module != nullptr) AddAfterDot(*module, start, items);
    return;
  }
  if (AddInsideBrackets(place, items)) return;
  std::string_view head = place.before.substr(0, place.before.size() - place.partial.size());
  std::vector<WordRange> words = WordsOf(head);
  if (words.empty()) return AddStatementStart(place, items);
  std::string first = ToUpper(TextOf(head, words.front()));
  if (first == kEventWord) return AddModules(place, items);
  if (first == kDefineWord && words.size() == 1) {
    for (std::string_view word : kDefineKinds) items.Add(word, kKeyword);
    return;
  }
  if (first == kIfWord) return AddCondition(place, items);
  if (size_t equals = head.find('='); equals != std::string_view::npos) {
    return AddValue(place, TrimBlanks(head.substr(0, equals)), items);
  }
}

}  // namespace

Json CompletionAt(const Document& document, Position position, bool snippets) {
  int line = std::clamp(position.line, 0, document.line_count() - 1);
  std::string_view text = document.LineText(line);
  int column = document.ByteColumnOf({line, position.character});
  std::string_view before = text.substr(0, static_cast<size_t>(column));
  size_t start = before.size();
  while (start > 0 && !IsWordSeparator(before[start - 1]) && before[start - 1] != '.') --start;
  size_t word_start = start;
  while (word_start > 0 && !IsWordSeparator(before[word_start - 1])) --word_start;
  const Compilation& compilation = document.compilation();
  Place place{document,
              compilation,
              EventBlockAt(compilation, line) != nullptr,
              EventModuleAt(compilation, line),
              snippets,
              before,
              before.substr(word_start)};
  Items items(RangeJson(document.PositionOf(line, static_cast<int>(start)),
                        document.PositionOf(line, column)));
  bool comment = TrimBlanks(text).starts_with(";");
  if (!comment) Complete(place, items);
  return items.Take();
}

}  // namespace vigil::lsp
