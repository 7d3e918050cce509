// The notes of an error: what the installer needs to fix the line. Each is
// worked out from the diagnostic's own record (its line, span, and what was
// open when it was reported) and the compilation's declarations, by the
// handler the table kNoteRules keeps for its error.

#include "core/check/notes.h"

#include <algorithm>
#include <array>

#include "core/check/element_prose.h"
#include "core/compile/word_check.h"
#include "core/lang/known_words.h"
#include "core/lang/limits.h"
#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/lang/value_ranges.h"
#include "core/lang/word_lists.h"
#include "core/scan/edit_distance.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

std::string ByteRange() { return RangeText(IdRange{0, kMaxByte}); }

// "CCHIME, CFPANIC, ... or CSOUNDER": the words a SYSTEMKEY assignment takes.
std::string SystemKeyWords() {
  std::vector<std::string_view> words;
  for (const SystemKey& key : SystemKeys()) words.push_back(key.word);
  return JoinWords(words, ", ");
}

// The runs of name characters of `text` ("KP1.ZONES(3)" gives KP1, ZONES, 3),
// with their offsets.
struct Run {
  std::string_view text;
  size_t offset;
};

std::vector<Run> NameRuns(std::string_view text) {
  std::vector<Run> runs;
  size_t i = 0;
  while (i < text.size()) {
    if (!IsNameChar(text[i])) {
      ++i;
      continue;
    }
    size_t start = i;
    while (i < text.size() && IsNameChar(text[i])) ++i;
    runs.push_back({text.substr(start, i - start), start});
  }
  return runs;
}

// The names a misspelling is compared with, gathered once per script.
struct NoteNames {
  std::vector<std::string> modules;
  std::vector<std::string> parameters;
  std::vector<std::string> marks;
  std::vector<std::string> known;  // the keywords and every declared name
};

template <typename Record>
void AppendNames(const Collection<Record>& collection, std::vector<std::string>& names) {
  for (const Record& record : collection.records()) names.push_back(record.name);
}

NoteNames GatherNames(const SymbolTable& symbols) {
  NoteNames names;
  AppendNames(symbols.modules, names.modules);
  AppendNames(symbols.parameters, names.parameters);
  AppendNames(symbols.marks, names.marks);
  names.known.assign(Keywords().begin(), Keywords().end());
  for (const std::vector<std::string>* list : {&names.modules, &names.parameters, &names.marks}) {
    names.known.insert(names.known.end(), list->begin(), list->end());
  }
  AppendNames(symbols.registers, names.known);
  AppendNames(symbols.timers, names.known);
  return names;
}

// Builds the notes of one error.
class NoteWriter {
 public:
  NoteWriter(const Compilation& compilation, const NoteNames& names, const Diagnostic& diagnostic)
      : compilation_(compilation), symbols_(compilation.symbols), names_(names), d_(diagnostic) {
    statement_ = ToUpper(TrimBlanks(d_.source_text));
    if (d_.span.known()) {
      size_t end = std::min(static_cast<size_t>(std::max(d_.span.end, 0)), d_.source_text.size());
      size_t begin = std::min(static_cast<size_t>(std::max(d_.span.begin, 0)), end);
      text_ = d_.source_text.substr(begin, end - begin);
      focus_ = ToUpper(text_);
    }
    std::string_view probe = statement_;
    first_word_ = std::string(TakeWord(probe));
  }

  std::vector<std::string> Write();

  // One handler per error that has notes (kHandlers in notes.cc).
  void UnknownModule();
  void UnknownDevice();
  void Brackets();
  void MissingParameters();
  void UnknownWord();
  bool MisreadWord();
  void UnknownMark();
  void UnknownParameter();
  void OutOfRange() { ValueOutOfRange(false); }
  void TooMany();
  void NotAByte();
  void ExecuteNotHere();
  void MissingEndIf();
  void NoOpenIf();
  void NumberExpected() { ValueOutOfRange(true); }
  void DuplicateName();
  void Unreachable();
  void EventInsideEvent();
  void SecondElse();
  void MissingEvent();
  void ReadOnly();
  void TooLarge();
  void UnknownOutput() {
    Note("the properties that can be set are " + JoinWords(SettableProperties()));
  }

 private:
  void Note(std::string text) { notes_.push_back(std::move(text)); }
  void Suggest(std::string_view word, std::span<const std::string> candidates,
               std::string_view prefix = {});
  bool Declaration() const { return d_.counted_line == 0 && d_.error_file_text.empty(); }
  // The statement word before the span that has a value range, or empty.
  std::string_view RangeWord() const;
  // The word the statement assigns to or compares.
  std::string TargetWord() const;
  bool SpanRightOfOperator() const;
  std::string ModuleWithId(int id) const;
  // The first declared module whose kind accepts `upper_element`, or empty.
  std::string ModuleAccepting(std::string_view upper_element) const;

  // Adds "X is a register" when `name` is declared as something; true then.
  bool DeclaredAs(std::string_view name);
  // The names a misspelt parameter of the statement's command is meant to
  // be: marks for MARK and DIAL, modules for DOOR and the mode pins,
  // parameters for DELAY; empty elsewhere.
  std::span<const std::string> BracketCandidates() const;
  void UnknownCommand();
  void ValueOutOfRange(bool number_expected);
  void OpenIfNote(std::string_view what);
  void LineNote(std::string_view what);

  const Compilation& compilation_;
  const SymbolTable& symbols_;
  const NoteNames& names_;
  const Diagnostic& d_;
  std::vector<std::string> notes_;
  std::string statement_;   // upper-cased, trimmed
  std::string text_;        // the span's text as written, empty when unknown
  std::string focus_;       // upper-cased span text
  std::string first_word_;  // of the statement
};

void NoteWriter::Suggest(std::string_view word, std::span<const std::string> candidates,
                         std::string_view prefix) {
  std::string nearest = NearestWord(word, candidates);
  if (!nearest.empty()) Note("did you mean " + std::string(prefix) + nearest + "?");
}

std::string_view NoteWriter::RangeWord() const {
  size_t limit =
      d_.span.known() ? static_cast<size_t>(std::max(d_.span.begin, 0)) : d_.source_text.size();
  limit = std::min(limit, d_.source_text.size());
  std::string upper = ToUpper(std::string_view(d_.source_text).substr(0, limit));
  std::vector<Run> runs = NameRuns(upper);
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    if (const ValueRange* range = FindValueRange(it->text)) return range->word;
  }
  return {};
}

// The last word of name characters and "." before the first "=" or ">".
std::string NoteWriter::TargetWord() const {
  size_t op = statement_.find_first_of("=>");
  if (op == std::string::npos) return {};
  std::string_view left = statement_;
  left = left.substr(0, op);
  size_t end = left.size();
  while (end > 0 && !IsNameChar(left[end - 1]) && left[end - 1] != '.') --end;
  size_t begin = end;
  while (begin > 0 && (IsNameChar(left[begin - 1]) || left[begin - 1] == '.')) --begin;
  return std::string(left.substr(begin, end - begin));
}

bool NoteWriter::SpanRightOfOperator() const {
  size_t op = d_.source_text.find_first_of("=>");
  return d_.span.known() && op != std::string::npos && static_cast<size_t>(d_.span.begin) > op;
}

std::string NoteWriter::ModuleWithId(int id) const {
  for (const C_Module& module : symbols_.modules.records()) {
    if (module.id == id) return module.name;
  }
  return {};
}

std::string NoteWriter::ModuleAccepting(std::string_view upper_element) const {
  for (const C_Module& module : symbols_.modules.records()) {
    if (IsElementOfKind(module.id, upper_element)) return module.name;
  }
  return {};
}

bool NoteWriter::DeclaredAs(std::string_view name) {
  std::string_view what = symbols_.registers.Contains(name)    ? "a register"
                          : symbols_.timers.Contains(name)     ? "a timer"
                          : symbols_.parameters.Contains(name) ? "a parameter"
                          : symbols_.marks.Contains(name)      ? "an archive mark"
                          : symbols_.modules.Contains(name)    ? "a module"
                                                               : "";
  if (what.empty()) return false;
  Note(std::string(name) + " is " + std::string(what));
  return true;
}

void NoteWriter::OpenIfNote(std::string_view what) {
  if (d_.open_if_line > 0) {
    Note("the IF on line " + std::to_string(d_.open_if_line) + " " + std::string(what));
  }
}

void NoteWriter::LineNote(std::string_view what) {
  if (d_.event_line > 0) {
    Note("the EVENT on line " + std::to_string(d_.event_line) + " " + std::string(what));
  }
}

void NoteWriter::UnknownModule() {
  std::string module(ModulePart(focus_));
  if (module.empty()) return;
  Note("no module or partition named " + module + " is declared");
  if (!DeclaredAs(module)) Suggest(module, names_.modules);
}

void NoteWriter::UnknownDevice() {
  if (Declaration()) {
    Note("a DEVICE line names a module and one of its devices: DEVICE = CR1.INPUT1,1");
    return;
  }
  const C_Module* module = symbols_.modules.Find(ModulePart(focus_));
  int kind = Contains(focus_, ".") && module != nullptr ? module->id : d_.event_module;
  Suggest(ElementPart(focus_), ElementNamesOfKind(kind));
  Note("the name has no element code; code 0 is written in its place");
}

void NoteWriter::Brackets() {
  std::string_view word = RangeWord();
  std::string example = word.empty() ? first_word_ : std::string(word);
  Note(d_.number == static_cast<int>(Err::kMissingLeftBracket)
           ? "the parameters follow the word in brackets: " + example + "(...)"
           : "close the parameter list with \")\"");
}

void NoteWriter::MissingParameters() {
  if (first_word_ == "DIAL") {
    Note("DIAL takes two parameters, a number and an archive mark: DIAL(2,ALARMLOG)");
  } else if (first_word_ == kModuleWord) {
    Note("a MODULE line holds at least a name and an id: MODULE = CR1,3,0,1,5,30,10");
  } else if (first_word_ == kPartitionWord) {
    Note("a PARTITION line holds name, id, ezsid and parent: PARTITION = P1,101,1,0");
  }
}

void NoteWriter::UnknownMark() {
  if (Declaration()) {
    Note("an archive mark is declared as DEFINE MARK NAME = text");
  } else if (symbols_.marks.empty()) {
    Note("no archive mark is declared; declare one with DEFINE MARK " + focus_ + " = text");
  } else if (!DeclaredAs(focus_)) {
    Suggest(focus_, names_.marks);
  }
}

void NoteWriter::UnknownParameter() {
  if (Declaration()) {
    Note(
        "a parameter is declared as DEFINE PARAMETER NAME = value, a register as DEFINE "
        "REGISTER NAME");
  } else if (Contains(statement_, ".ARMED")) {
    Note("ARMED is set ON or OFF");
  } else if (first_word_ == "DOOR" || first_word_ == "SETMODEPIN" ||
             first_word_ == "SETMODEPINFREE") {
    Note(first_word_ + " takes the name of a declared module");
    if (!focus_.empty()) Suggest(focus_, names_.modules);
  } else if (first_word_ == "READ_AD") {
    Note("READ_AD takes exactly one parameter");
  } else {
    Note("a number from 0 to " + std::to_string(kMaxByte) +
         " or the name of a declared parameter is expected");
    if (!focus_.empty() && !IsNumeric(focus_) && !DeclaredAs(focus_)) {
      Suggest(focus_, names_.parameters);
    }
  }
}

void NoteWriter::TooMany() {
  Note("at most " + std::to_string(kMaxUserItems) +
       (d_.number == static_cast<int>(Err::kTooManyMarks) ? " archive marks" : " parameters") +
       " can be declared");
}

void NoteWriter::NotAByte() {
  if (first_word_ == kIfWord && d_.open_if_line != d_.physical_line) {
    Note("at most " + std::to_string(kMaxIfLevel) + " IF blocks can be open at once");
  } else {
    Note("a module id, element code or value does not fit one byte (0 to " +
         std::to_string(kMaxByte) + ")");
  }
}

void NoteWriter::ExecuteNotHere() {
  LineNote("opens a user event, and EXECUTE cannot start a user event from inside one");
}

void NoteWriter::MissingEndIf() {
  OpenIfNote("is still open; close it with ENDIF before EVENTEND");
}

void NoteWriter::NoOpenIf() {
  if (d_.open_if_line > 0) {
    OpenIfNote("opened no block, because its condition failed");
  } else {
    Note("no IF block is open here");
  }
}

void NoteWriter::DuplicateName() {
  const Symbol* first = compilation_.FindSymbol(focus_);
  if (first != nullptr && first->declaration.line > 0 &&
      first->declaration.line < d_.physical_line) {
    Note(text_ + " is first declared on line " + std::to_string(first->declaration.line));
  }
}

void NoteWriter::Unreachable() {
  // An EVENT line that failed opened no block, yet its EVENTEND closed one.
  // The records' lines are read without making a diagnostic of each.
  for (size_t i = compilation_.errors.size(); i-- > 0;) {
    uint32_t at = compilation_.errors[i].line;
    if (at == ErrorRecord::kNoLine) continue;
    const SourceLine& earlier = compilation_.lines[at];
    if (earlier.physical_line >= d_.physical_line) continue;
    std::string_view rest = earlier.text;
    if (!TakeWord(rest, kEventWord)) continue;
    Note("the EVENT on line " + std::to_string(earlier.physical_line) +
         " failed and opened no block, yet its EVENTEND closed one: the block count is one "
         "short; correct that EVENT line");
    return;
  }
  LineNote(
      "opens no block: an EVENTEND before it closed one block too many, so the block count "
      "is one short");
}

void NoteWriter::EventInsideEvent() { LineNote("is still open; close it with EVENTEND first"); }

void NoteWriter::SecondElse() { OpenIfNote("already has an ELSE"); }

void NoteWriter::MissingEvent() {
  if (d_.event_line > 0) {
    LineNote("is already closed");
  } else {
    Note("no EVENT block has been opened");
  }
}

void NoteWriter::ReadOnly() {
  if (!text_.empty() && text_.front() == '\t') {
    Note("the tab before " + std::string(TrimBlanks(text_.substr(1))) +
         " is part of the target: only blanks are trimmed from a line");
  } else if (!text_.empty()) {
    Note(text_ + " can be tested but not set");
  }
}

void NoteWriter::TooLarge() {
  Note("the code buffer holds " + std::to_string(compilation_.code.size()) +
       " bytes, trailer included; at most " + std::to_string(kMaxCodeSize) + " fit");
}

// The notes of each error: a handler, or a note that is the same wherever
// the error stands.
struct NoteRule {
  Err error;
  void (NoteWriter::*handler)();
  std::string_view fixed;
};

const NoteRule kNoteRules[] = {
    {Err::kUnknownModule, &NoteWriter::UnknownModule, {}},
    {Err::kUnknownDevice, &NoteWriter::UnknownDevice, {}},
    {Err::kMissingLeftBracket, &NoteWriter::Brackets, {}},
    {Err::kMissingRightBracket, &NoteWriter::Brackets, {}},
    {Err::kMissingParameters, &NoteWriter::MissingParameters, {}},
    {Err::kUnknownCommand, &NoteWriter::UnknownWord, {}},
    {Err::kUnknownMark, &NoteWriter::UnknownMark, {}},
    {Err::kTooManyMarks, &NoteWriter::TooMany, {}},
    {Err::kTooManyParameters, &NoteWriter::TooMany, {}},
    {Err::kUnknownParameter, &NoteWriter::UnknownParameter, {}},
    {Err::kValueOutOfRange, &NoteWriter::OutOfRange, {}},
    {Err::kValueNotAByte, &NoteWriter::NotAByte, {}},
    {Err::kIncompleteDoorModule, nullptr,
     "a door module line holds name, id, (unused), type, strike time, door-ajar time and "
     "card timeout: MODULE = CR1,3,0,1,5,30,10"},
    {Err::kExecuteNotHere, &NoteWriter::ExecuteNotHere, {}},
    {Err::kUnknownOutput, &NoteWriter::UnknownOutput, {}},
    {Err::kMissingEndIf, &NoteWriter::MissingEndIf, {}},
    {Err::kInvalidNameCharacter, nullptr, "names hold letters, digits and \"_\" only"},
    {Err::kMissingIf, &NoteWriter::NoOpenIf, {}},
    {Err::kNumberExpected, &NoteWriter::NumberExpected, {}},
    {Err::kRegisterExpected, nullptr,
     "register arithmetic reads REGISTER = REGISTER + n or REGISTER = REGISTER - n"},
    {Err::kSingleRegisterOnly, nullptr, "the same register must stand on both sides: R1 = R1 + 5"},
    {Err::kDuplicateName, &NoteWriter::DuplicateName, {}},
    {Err::kUnreachableCode, &NoteWriter::Unreachable, {}},
    {Err::kEventInsideEvent, &NoteWriter::EventInsideEvent, {}},
    {Err::kSecondElse, &NoteWriter::SecondElse, {}},
    {Err::kElseWithoutIf, &NoteWriter::NoOpenIf, {}},
    {Err::kMissingEvent, &NoteWriter::MissingEvent, {}},
    {Err::kReadOnlyProperty, &NoteWriter::ReadOnly, {}},
    {Err::kScriptTooLarge, &NoteWriter::TooLarge, {}},
};

std::vector<std::string> NoteWriter::Write() {
  for (const NoteRule& rule : kNoteRules) {
    if (static_cast<int>(rule.error) != d_.number) continue;
    if (rule.handler != nullptr) {
      (this->*rule.handler)();
    } else {
      Note(std::string(rule.fixed));
    }
    break;
  }
  return std::move(notes_);
}

std::span<const std::string> NoteWriter::BracketCandidates() const {
  size_t bracket = d_.source_text.find('(');
  if (!d_.span.known() || bracket == std::string::npos ||
      static_cast<size_t>(d_.span.begin) <= bracket) {
    return {};
  }
  if (first_word_ == "MARK" || first_word_ == "DIAL") return names_.marks;
  if (first_word_ == "DOOR" || first_word_ == "SETMODEPIN" || first_word_ == "SETMODEPINFREE") {
    return names_.modules;
  }
  if (first_word_ == "DELAY") return names_.parameters;
  return {};
}

// Error 6: a word the word check refused, or a known word in the wrong place.
// Words the word check refuses for how the line is read, not for their
// spelling: a comment after a statement or after a tab, a decimal point, a
// "<", a byte-order mark. True when one of them explained the error.
bool NoteWriter::MisreadWord() {
  if (focus_.starts_with(";")) {
    std::string_view before =
        TrimBlanks(std::string_view(d_.source_text)
                       .substr(0, static_cast<size_t>(std::max(d_.span.begin, 0))));
    if (!before.empty() && before.find_first_not_of('\t') == std::string_view::npos) {
      Note(
          "the tab before \";\" makes this no comment line: only blanks may stand before "
          "\";\"; indent with blanks");
    } else {
      Note(
          "a comment stands on a line of its own: \";\" after a statement is read as part of "
          "the statement");
    }
    return true;
  }
  std::string_view number = focus_;
  if (!number.empty() && (number.front() == '-' || number.front() == '+')) number.remove_prefix(1);
  size_t point = number.find('.');
  bool decimal = point != std::string_view::npos && point > 0 &&
                 number.find_first_not_of("0123456789.") == std::string_view::npos;
  if (decimal) {
    Note("a decimal point is read as a module separator, not as a number: write " +
         std::string(number.substr(0, point)) + std::string(number.substr(point + 1)) + "E-" +
         std::to_string(number.size() - point - 1) + " or a whole number");
    return true;
  }
  if (focus_.starts_with("<")) {
    Note(
        "the language has no \"<\": conditions compare with = and > only, as in IF NOT R > 2 "
        "for R < 3, IF NOT R = 3 for R <> 3, IF NOT R > 3 for R <= 3");
    return true;
  }
  if (text_.starts_with("\xEF\xBB\xBF")) {
    Note(
        "the line starts with a UTF-8 byte-order mark, three bytes an editor added before the "
        "first word; vigil fix removes them");
    return true;
  }
  return false;
}

void NoteWriter::UnknownWord() {
  if (!d_.span.known()) {
    if (first_word_ == kEventEndWord) {
      Note("no EVENT block is open");
    } else {
      Note("statements stand inside an EVENT block; no EVENT block is open here");
    }
    LineNote("is already closed");
    return;
  }
  if (MisreadWord()) return;
  // The word check reports one token; a longer span, or a word it accepts,
  // is a statement's complaint.
  std::string_view word = focus_;
  bool token = focus_.find_first_of(" \t=(>+,") == std::string::npos;
  if (!token || IsKnownWord(word, symbols_, d_.event_module)) return UnknownCommand();

  std::string_view module_part = ModulePart(word);
  std::string element(ElementPart(word));
  int kind = d_.event_module;
  std::string module_name;
  std::string prefix;
  if (Contains(word, ".")) {
    const C_Module* module = symbols_.modules.Find(module_part);
    if (module == nullptr) {
      Note("no module or partition named " + std::string(module_part) + " is declared");
      Suggest(module_part, names_.modules);
      return;
    }
    kind = module->id;
    module_name = module->name;
    prefix = std::string(module_part) + ".";
  } else {
    std::string meant = NearestWord(word, BracketCandidates());
    if (!meant.empty()) {
      Note("did you mean " + meant + "?");
      return;
    }
    if (kind == -1) {
      Note("outside an EVENT block only keywords, numbers and declared names are known");
      std::string owner = ModuleAccepting(word);
      if (!owner.empty()) {
        Note("an element name needs its module there, as in " + owner + "." + std::string(word));
      } else {
        Suggest(word, names_.known);
      }
      return;
    }
    std::string nearest = NearestWord(word, names_.known);
    std::string nearest_element = NearestWord(word, ElementNamesOfKind(kind));
    if (!nearest_element.empty() &&
        (nearest.empty() || EditDistance(word, nearest_element) < EditDistance(word, nearest))) {
      nearest = nearest_element;
    }
    if (!nearest.empty() && !IsElementOfKind(kind, ToUpper(nearest))) {
      Note("did you mean " + nearest + "?");
      return;
    }
    bool element_like = !nearest.empty() || IsNumberedName(element);
    if (!element_like) return;
    module_name = ModuleWithId(kind);
    module_name = module_name.empty() ? "the module of this event"
                                      : module_name + ", the module of this event,";
  }

  std::string family = FamilyNote(kind, element);
  std::string list = ElementList(kind);
  std::string about = module_name + " is " + KindDescription(kind);
  if (!family.empty()) {
    Note(about + "; " + family);
  } else if (list.empty()) {
    Note(about + ", which accepts no element names");
  } else {
    Note(about + "; it accepts " + list);
    Suggest(element, ElementNamesOfKind(kind), prefix);
  }
}

// Error 6 on a word the word check accepted: a value, a flag, or a statement
// that names no command.
void NoteWriter::UnknownCommand() {
  std::string target = TargetWord();
  bool counter =
      !target.empty() && (symbols_.registers.Contains(target) || symbols_.timers.Contains(target) ||
                          target == "BYTE1" || target == "BYTE2");
  if (first_word_ == kIfWord && Contains(statement_, "FLAGS") && !SpanRightOfOperator()) {
    Note(d_.event_module == kPanelId
             ? "the flags of the alarm panel are " + JoinWords(SystemFlagNames())
             : "the flags of a power-supply module are " + JoinWords(SupplyFlagNames()));
    return;
  }
  if (SpanRightOfOperator()) {
    if (Contains(target, ".SYSTEMKEY")) {
      Note("a system key is " + SystemKeyWords() + " or a number from 0 to " +
           std::to_string(static_cast<int>(kSystemKeyLimit) - 1));
    } else if (Contains(target, "ALARMSIGNAL") || Contains(target, "TROUBLESIGNAL")) {
      Note(std::string(ElementPart(target)) + " can only be set OFF");
    } else if (Contains(focus_, "+") || (Contains(focus_, "-") && !IsNumeric(focus_))) {
      Note("register arithmetic takes one operator: R1 = R1 + 5");
    } else if (counter) {
      Note("the value of " + target + " must be a number from 0 to " + std::to_string(kMaxByte));
    } else {
      Note("the value must be ON or OFF");
    }
    return;
  }
  if (first_word_ == kIfWord && Contains(focus_, ".")) {
    std::vector<std::string_view> elements = ModuleTestElements();
    elements.push_back("an INPUT");
    Note("a test of a module element names " + JoinWords(elements, " or ") + " after the \".\"");
    return;
  }
  if (first_word_ == kIfWord) {
    Note(text_ + " is no condition; compare it, as in IF " + text_ +
         " = ON, or use a test such as TIMEPLAN(1)");
    return;
  }
  Note(text_ + " is no command; the commands are " + JoinWords(CommandWords()) +
       ", and an assignment needs \"=\"");
}

// Errors 11 and 21: the range the value must lie in.
void NoteWriter::ValueOutOfRange(bool number_expected) {
  std::string_view what = number_expected ? "must be a number from " : "must lie in ";
  std::string_view noun = number_expected ? " parameter " : " number ";
  if (first_word_ == kDefineWord) {
    Note("a parameter value " + std::string(what) + ByteRange());
    return;
  }
  if (first_word_ == kModuleWord || first_word_ == kPartitionWord) {
    Note("ids and settings must be whole numbers; ids lie in " +
         RangeText(IdRange{0, kMaxDeclaredId}));
    return;
  }
  std::string_view word = RangeWord();
  if ((word == "SIGNAL" || word == "DISPLAY") && !focus_.empty() && !IsNumeric(focus_) &&
      Contains(statement_, ",")) {
    Note("the first of two parameters must name a declared module");
    Suggest(focus_, names_.modules);
    return;
  }
  if (!word.empty()) {
    Note("the " + std::string(word) + std::string(noun) + std::string(what) +
         RangeText(*FindValueRange(word)));
    if (number_expected) DeclaredAs(focus_);
    return;
  }
  std::string target = TargetWord();
  if (!target.empty()) Note("the value of " + target + " " + std::string(what) + ByteRange());
}

}  // namespace

std::vector<std::string> NotesOf(const Compilation& compilation, const Diagnostic& diagnostic) {
  NoteNames names = GatherNames(compilation.symbols);
  return NoteWriter(compilation, names, diagnostic).Write();
}

std::vector<Diagnostic> ErrorsWithNotes(const Compilation& compilation) {
  std::vector<Diagnostic> errors = compilation.Diagnostics();
  if (errors.empty()) return errors;
  NoteNames names = GatherNames(compilation.symbols);
  size_t count = std::min(errors.size(), kAnnotatedErrors);
  for (size_t i = 0; i < count; ++i) {
    errors[i].notes = NoteWriter(compilation, names, errors[i]).Write();
  }
  return errors;
}

}  // namespace vigil
