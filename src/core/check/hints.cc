// The notes of an error: what the installer needs to fix the line. Every note
// is worked out from the diagnostic's own record (its line, span, and what was
// open when it was reported) and the declarations, after both passes.

#include "core/check/hints.h"

#include <algorithm>
#include <array>

#include "core/compile/word_check.h"
#include "core/lang/known_words.h"
#include "core/lang/name_codes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// A numbered element name: prefix, number, suffix ("INPUT", 1, "ON").
struct Numbered {
  std::string_view prefix;
  int number = -1;  // -1 when the name holds no number
  std::string_view suffix;
};

Numbered SplitNumber(std::string_view name) {
  size_t first = name.find_first_of("0123456789");
  if (first == std::string_view::npos) return {name, -1, {}};
  size_t last = name.find_first_not_of("0123456789", first);
  if (last == std::string_view::npos) last = name.size();
  if (last - first > 4) return {name, -1, {}};
  int number = 0;
  for (size_t i = first; i < last; ++i) number = number * 10 + (name[i] - '0');
  return {name.substr(0, first), number, name.substr(last)};
}

struct FamilyWord {
  std::string_view prefix;
  std::string_view plural;
};

constexpr std::array<FamilyWord, 6> kFamilyWords = {{
    {"INPUT", "inputs"},
    {"RELAY", "relays"},
    {"EXINPUT", "inputs"},
    {"EXOUTPUT", "outputs"},
    {"OC", "open-collector outputs"},
    {"USEREVENT", "user events"},
}};

std::string JoinAnd(const std::vector<std::string>& words) {
  std::string text;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " and " : ", ";
    text += words[i];
  }
  return text;
}

// The value ranges of the statement words whose numbers are checked.
struct RangeRule {
  std::string_view word;
  std::string_view range;
};

constexpr std::array<RangeRule, 19> kRanges = {{
    {"TIMEPLAN", "1 to 64"},
    {"GROUP", "1 to 128"},
    {"USER", "1 to 128"},
    {"GROUPEMPTY", "1 to 128"},
    {"USEREMPTY", "1 to 128"},
    {"MODULELOST", "1 to 64 or 71 to 78"},
    {"ZONES", "1 to 47"},
    {"BUFFER", "0 to 99"},
    {"KEYCODE", "0 to 254"},
    {"DELAY", "0 to 255"},
    {"DIAL", "0 to 255"},
    {"EXECUTE", "1 to 73"},
    {"SIGNAL", "0 to 255"},
    {"READ_AD", "0 to 8"},
    {"CLEARGROUPCOUNTER", "1 to 128"},
    {"CLEARUSERCOUNTER", "1 to 128"},
    {"SETBYTE1", "0 to 255"},
    {"SETBYTE2", "0 to 255"},
    {"DISPLAY", "0 to 15"},
}};

constexpr std::string_view kCommandWords =
    "DELAY, MARK, DOOR, DIAL, EXECUTE, SIGNAL, BREAK, READ_AD, SETMODEPIN, SETMODEPINFREE, "
    "SETPRESENT, CLEARPRESENT, CLEARGROUPCOUNTER, CLEARALLCOUNTERS, ERASECARD, "
    "CLEARUSERCOUNTER, SETBYTE1, SETBYTE2 and DISPLAY";

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

// The errors whose note is the same wherever they stand.
struct FixedNote {
  int number;
  std::string_view text;
};

constexpr std::array<FixedNote, 7> kFixedNotes = {{
    {8, "at most 256 archive marks can be declared"},
    {9, "at most 256 parameters can be declared"},
    {15,
     "a door module line holds name, id, (unused), type, strike time, door-ajar time and "
     "card timeout: MODULE = CR1,3,0,1,5,30,10"},
    {17, "the properties that can be set are ARMED, SYSTEMKEY, ALARMSIGNAL and TROUBLESIGNAL"},
    {19, "names hold letters, digits and \"_\" only"},
    {22, "register arithmetic reads REGISTER = REGISTER + n or REGISTER = REGISTER - n"},
    {23, "the same register must stand on both sides: R1 = R1 + 5"},
}};

// Builds the notes of one error.
class NoteWriter {
 public:
  NoteWriter(const SymbolTable& symbols, const NoteNames& names, std::span<const SourceLine> lines,
             int code_size, Diagnostic& diagnostic)
      : symbols_(symbols), names_(names), lines_(lines), code_size_(code_size), d_(diagnostic) {
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

  void Write();

 private:
  void Note(std::string text) { d_.notes.push_back(std::move(text)); }
  void Suggest(std::string_view word, std::span<const std::string> candidates,
               std::string_view prefix = {});
  bool Declaration() const { return d_.counted_line == 0 && d_.legacy_text.empty(); }
  // The statement word before the span that has a value range, or empty.
  std::string_view RangeWord() const;
  std::string_view RangeOf(std::string_view word) const;
  // The word the statement assigns to or compares.
  std::string TargetWord() const;
  bool SpanRightOfOperator() const;
  std::string ModuleWithId(int id) const;
  // The first declared module whose kind accepts `upper_element`, or empty.
  std::string ModuleAccepting(std::string_view upper_element) const;

  // Adds "X is a register" when `name` is declared as something; true then.
  bool DeclaredAs(std::string_view name);
  void UnknownWord();
  // The names a misspelt parameter of the statement's command is meant to
  // be: marks for MARK and DIAL, modules for DOOR and the mode pins,
  // parameters for DELAY; empty elsewhere.
  std::span<const std::string> BracketCandidates() const;
  void UnknownCommand();
  void ValueOutOfRange(bool number_expected);
  void OpenIfNote(std::string_view what);
  void LineNote(std::string_view what);

  const SymbolTable& symbols_;
  const NoteNames& names_;
  std::span<const SourceLine> lines_;
  int code_size_;
  Diagnostic& d_;
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

std::string_view NoteWriter::RangeOf(std::string_view word) const {
  for (const RangeRule& rule : kRanges) {
    if (rule.word == word) return rule.range;
  }
  return {};
}

std::string_view NoteWriter::RangeWord() const {
  size_t limit =
      d_.span.known() ? static_cast<size_t>(std::max(d_.span.begin, 0)) : d_.source_text.size();
  limit = std::min(limit, d_.source_text.size());
  std::string upper = ToUpper(std::string_view(d_.source_text).substr(0, limit));
  std::vector<Run> runs = NameRuns(upper);
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    for (const RangeRule& rule : kRanges) {
      if (rule.word == it->text) return rule.word;
    }
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

void NoteWriter::Write() {
  for (const FixedNote& fixed : kFixedNotes) {
    if (fixed.number == d_.number) return Note(std::string(fixed.text));
  }
  switch (d_.number) {
    case 1: {
      std::string module(ModulePart(focus_));
      if (module.empty()) return;
      Note("no module or partition named " + module + " is declared");
      if (!DeclaredAs(module)) Suggest(module, names_.modules);
      return;
    }
    case 2: {
      if (Declaration()) {
        Note("a DEVICE line names a module and one of its devices: DEVICE = CR1.INPUT1,1");
        return;
      }
      const C_Module* module = symbols_.modules.Find(ModulePart(focus_));
      int kind = Contains(focus_, ".") && module != nullptr ? module->id : d_.event_module;
      Suggest(ElementPart(focus_), ElementNamesOfKind(kind));
      Note("the name has no element code; code 0 is written in its place");
      return;
    }
    case 3:
    case 4: {
      std::string_view word = RangeWord();
      std::string example = word.empty() ? first_word_ : std::string(word);
      Note(d_.number == 3 ? "the parameters follow the word in brackets: " + example + "(...)"
                          : "close the parameter list with \")\"");
      return;
    }
    case 5:
      if (first_word_ == "DIAL") {
        Note("DIAL takes two parameters, a number and an archive mark: DIAL(2,ALARMLOG)");
      } else if (first_word_ == "MODULE") {
        Note("a MODULE line holds at least a name and an id: MODULE = CR1,3,0,1,5,30,10");
      } else if (first_word_ == "PARTITION") {
        Note("a PARTITION line holds name, id, ezsid and parent: PARTITION = P1,101,1,0");
      }
      return;
    case 6:
      return UnknownWord();
    case 7:
      if (Declaration()) {
        Note("an archive mark is declared as DEFINE MARK NAME = text");
      } else if (symbols_.marks.empty()) {
        Note("no archive mark is declared; declare one with DEFINE MARK " + focus_ + " = text");
      } else if (!DeclaredAs(focus_)) {
        Suggest(focus_, names_.marks);
      }
      return;
    case 10:
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
        Note("a number from 0 to 255 or the name of a declared parameter is expected");
        if (!focus_.empty() && !IsNumeric(focus_) && !DeclaredAs(focus_)) {
          Suggest(focus_, names_.parameters);
        }
      }
      return;
    case 11:
      return ValueOutOfRange(false);
    case 14:
      if (first_word_ == "IF" && d_.open_if_line != d_.physical_line) {
        Note("at most 20 IF blocks can be open at once");
      } else {
        Note("a module id, element code or value does not fit one byte (0 to 255)");
      }
      return;
    case 16:
      LineNote("opens a user event, and EXECUTE cannot start a user event from inside one");
      return;
    case 18:
      OpenIfNote("is still open; close it with ENDIF before EVENTEND");
      return;
    case 20:
    case 28:
      if (d_.open_if_line > 0) {
        OpenIfNote("opened no block, because its condition failed");
      } else {
        Note("no IF block is open here");
      }
      return;
    case 21:
      return ValueOutOfRange(true);
    case 24: {
      static constexpr std::array<std::string_view, 6> kAll = {"PARAMETER", "MARK",   "REGISTER",
                                                               "TIMER",     "MODULE", "PARTITION"};
      DeclarationSite first = FindDeclaration(lines_, focus_, kAll, d_.physical_line);
      if (first.physical_line > 0) {
        Note(text_ + " is first declared on line " + std::to_string(first.physical_line));
      }
      return;
    }
    case 25:
      LineNote(
          "opens no block: an EVENTEND before it closed one block too many, so the block count "
          "is one short");
      return;
    case 26:
      LineNote("is still open; close it with EVENTEND first");
      return;
    case 27:
      OpenIfNote("already has an ELSE");
      return;
    case 29:
      if (d_.event_line > 0) {
        LineNote("is already closed");
      } else {
        Note("no EVENT block has been opened");
      }
      return;
    case 30:
      if (!text_.empty() && text_.front() == '\t') {
        Note("the tab before " + std::string(TrimBlanks(text_.substr(1))) +
             " is part of the target: only blanks are trimmed from a line");
      } else if (!text_.empty()) {
        Note(text_ + " can be tested but not set");
      }
      return;
    case 31:
      Note("the code buffer holds " + std::to_string(code_size_) +
           " bytes, trailer included; at most 11999 fit");
      return;
    default:
      return;
  }
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
void NoteWriter::UnknownWord() {
  if (!d_.span.known()) {
    if (first_word_ == "EVENTEND") {
      Note("no EVENT block is open");
    } else {
      Note("statements stand inside an EVENT block; no EVENT block is open here");
    }
    LineNote("is already closed");
    return;
  }
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
    bool element_like = !nearest.empty() || SplitNumber(element).number >= 0;
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
  if (first_word_ == "IF" && Contains(statement_, "FLAGS") && !SpanRightOfOperator()) {
    Note(d_.event_module == kPanelId
             ? "the flags of the alarm panel are FDOWNLOAD, FEXPANDERTAMPER, FEXPANDERLOSS, "
               "FSMOKERESET, FGROUNDFAULT, FBOXTAMPER, FLOWBATTERY, FACFAIL, FSYSTEMTIMELOSS, "
               "FGLOBALBUZZER, FGLOBALSIRENE, FSTEADYSIRENE and FNXLOSS"
             : "the flags of a power-supply module are FOVERLOAD, FACPRESENT, FBATTERYPRESENT, "
               "FLOWBATTERY, FBOXTAMPER and FDCON");
    return;
  }
  if (SpanRightOfOperator()) {
    if (Contains(target, ".SYSTEMKEY")) {
      Note(
          "a system key is CCHIME, CFPANIC, CAPANIC, CPPANIC, CSMOKERESET, CDISARM, CARMAWAY, "
          "CARMSTAY, CINITIATEAUTOARM, CSOUNDER or a number from 0 to 23");
    } else if (Contains(target, "ALARMSIGNAL") || Contains(target, "TROUBLESIGNAL")) {
      Note(std::string(ElementPart(target)) + " can only be set OFF");
    } else if (Contains(focus_, "+") || (Contains(focus_, "-") && !IsNumeric(focus_))) {
      Note("register arithmetic takes one operator: R1 = R1 + 5");
    } else if (counter) {
      Note("the value of " + target + " must be a number from 0 to 255");
    } else {
      Note("the value must be ON or OFF");
    }
    return;
  }
  if (first_word_ == "IF" && Contains(focus_, ".")) {
    Note(
        "a test of a module element names TAMPER, FORCEDDOOR, DOORAJAR or an INPUT after the "
        "\".\"");
    return;
  }
  if (first_word_ == "IF") {
    Note(text_ + " is no condition; compare it, as in IF " + text_ +
         " = ON, or use a test such as TIMEPLAN(1)");
    return;
  }
  Note(text_ + " is no command; the commands are " + std::string(kCommandWords) +
       ", and an assignment needs \"=\"");
}

// Errors 11 and 21: the range the value must lie in.
void NoteWriter::ValueOutOfRange(bool number_expected) {
  std::string_view what = number_expected ? "must be a number from " : "must lie in ";
  std::string_view noun = number_expected ? " parameter " : " number ";
  if (first_word_ == "DEFINE") {
    Note("a parameter value " + std::string(what) + "0 to 255");
    return;
  }
  if (first_word_ == "MODULE" || first_word_ == "PARTITION") {
    Note("ids and settings must be whole numbers; ids lie in 0 to 255");
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
         std::string(RangeOf(word)));
    if (number_expected) DeclaredAs(focus_);
    return;
  }
  std::string target = TargetWord();
  if (!target.empty()) Note("the value of " + target + " " + std::string(what) + "0 to 255");
}

}  // namespace

int EditDistance(std::string_view a, std::string_view b) {
  size_t n = a.size();
  size_t m = b.size();
  // Three rows suffice for the swap of neighbours.
  std::vector<int> before(m + 1), previous(m + 1), current(m + 1);
  for (size_t j = 0; j <= m; ++j) previous[j] = static_cast<int>(j);
  for (size_t i = 1; i <= n; ++i) {
    current[0] = static_cast<int>(i);
    char x = ToUpper(a[i - 1]);
    for (size_t j = 1; j <= m; ++j) {
      char y = ToUpper(b[j - 1]);
      int best = std::min(previous[j], current[j - 1]) + 1;
      best = std::min(best, previous[j - 1] + (x == y ? 0 : 1));
      if (i > 1 && j > 1 && x == ToUpper(b[j - 2]) && ToUpper(a[i - 2]) == y) {
        best = std::min(best, before[j - 2] + 1);
      }
      current[j] = best;
    }
    before.swap(previous);
    previous.swap(current);
  }
  return previous[m];
}

std::string NearestWord(std::string_view word, std::span<const std::string> candidates) {
  if (word.size() <= 2) return {};  // too short to tell a misspelling from another word
  int limit = word.size() <= 4 ? 1 : word.size() <= 8 ? 2 : 3;
  const std::string* best = nullptr;
  int best_distance = limit + 1;
  for (const std::string& candidate : candidates) {
    size_t longer = std::max(word.size(), candidate.size());
    size_t shorter = std::min(word.size(), candidate.size());
    if (longer - shorter > static_cast<size_t>(limit)) continue;
    int distance = EditDistance(word, candidate);
    if (distance == 0) return {};
    if (distance < best_distance) {
      best = &candidate;
      best_distance = distance;
    }
  }
  return best == nullptr ? std::string() : *best;
}

std::string KindDescription(int id) {
  std::string number = std::to_string(id);
  if (id == kControllerId) return "the controller (id 0)";
  if (id >= 1 && id <= 69) return "a door module (id " + number + ")";
  if (id >= 71 && id <= 78) return "a power-supply module (id " + number + ")";
  if (id == kPanelId) return "the alarm panel (id 100)";
  if (id >= 101 && id <= 108)
    return "partition " + std::to_string(id - 100) + " (id " + number + ")";
  return "a module of id " + number;
}

std::string ElementList(int kind_id) {
  std::span<const std::string> names = ElementNamesOfKind(kind_id);
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < names.size()) {
    Numbered first = SplitNumber(names[i]);
    size_t j = i + 1;
    while (first.number >= 0 && j < names.size()) {
      Numbered next = SplitNumber(names[j]);
      if (next.prefix != first.prefix || next.suffix != first.suffix ||
          next.number != first.number + static_cast<int>(j - i)) {
        break;
      }
      ++j;
    }
    std::string last = names[j - 1];
    // The controller also accepts USEREVENT9 to USEREVENT73.
    if (kind_id == kControllerId && first.prefix == "USEREVENT" && first.suffix.empty()) {
      last = "USEREVENT73";
    }
    if (j - i >= 3) {
      parts.push_back(names[i] + " to " + last);
    } else {
      for (size_t k = i; k < j; ++k) parts.push_back(names[k]);
    }
    i = j;
  }
  std::string text;
  for (const std::string& part : parts) {
    if (!text.empty()) text += ", ";
    text += part;
  }
  return text;
}

std::string FamilyNote(int kind_id, std::string_view upper_element) {
  Numbered wanted = SplitNumber(upper_element);
  if (wanted.number < 0 || !wanted.suffix.empty()) return {};
  std::string_view plural;
  for (const FamilyWord& family : kFamilyWords) {
    if (family.prefix == wanted.prefix) plural = family.plural;
  }
  if (plural.empty()) return {};
  std::vector<std::string> members;
  for (const std::string& name : ElementNamesOfKind(kind_id)) {
    Numbered numbered = SplitNumber(name);
    if (numbered.number >= 0 && numbered.prefix == wanted.prefix && numbered.suffix.empty()) {
      members.push_back(name);
    }
  }
  if (members.empty()) return {};
  if (members.size() == 1) {
    return "its only " + std::string(plural.substr(0, plural.size() - 1)) + " is " + members[0];
  }
  std::string list =
      members.size() > 2 ? members.front() + " to " + members.back() : JoinAnd(members);
  return "its " + std::string(plural) + " are " + list;
}

namespace {

// The name a line declares with one of `kinds`, as a view into the line;
// empty when it declares none of them.
std::string_view DeclaredName(std::string_view text, std::span<const std::string_view> kinds) {
  auto wanted = [&](std::string_view kind) {
    return std::find(kinds.begin(), kinds.end(), kind) != kinds.end();
  };
  if (StartsWithIgnoreCase(text, "MODULE") || StartsWithIgnoreCase(text, "PARTITION")) {
    if (!wanted(StartsWithIgnoreCase(text, "MODULE") ? "MODULE" : "PARTITION")) return {};
    size_t equals = text.find('=');
    std::string_view rest = equals == std::string_view::npos ? text : text.substr(equals + 1);
    return TrimBlanks(rest.substr(0, rest.find(',')));
  }
  std::string_view rest = text;
  if (!TakeWord(rest, "DEFINE")) return {};
  if (!wanted(ToUpper(TakeWord(rest)))) return {};
  return TakeWord(rest);
}

DeclarationSite SiteOf(const SourceLine& line, std::string_view name) {
  int begin = static_cast<int>(name.data() - line.text.data());
  return {line.physical_line, {begin, begin + static_cast<int>(name.size())}};
}

}  // namespace

DeclarationSite FindDeclaration(std::span<const SourceLine> lines, std::string_view name,
                                std::span<const std::string_view> kinds, int before_line) {
  for (const SourceLine& line : lines) {
    if (before_line > 0 && line.physical_line >= before_line) break;
    std::string_view found = DeclaredName(line.text, kinds);
    if (!found.empty() && EqualsIgnoreCase(found, name)) return SiteOf(line, found);
  }
  return {};
}

std::unordered_map<std::string, DeclarationSite> DeclarationSites(
    std::span<const SourceLine> lines, std::span<const std::string_view> kinds) {
  std::unordered_map<std::string, DeclarationSite> sites;
  for (const SourceLine& line : lines) {
    std::string_view found = DeclaredName(line.text, kinds);
    if (!found.empty()) sites.emplace(ToUpper(found), SiteOf(line, found));
  }
  return sites;
}

void C_Compiler::AddNotes() {
  // Notes help with the first errors; a script with hundreds of them is
  // fixed from the top, and the rest would only cost time.
  constexpr size_t kAnnotatedErrors = 200;
  if (diagnostics_.empty()) return;
  NoteNames names = GatherNames(symbols_);
  size_t count = std::min(diagnostics_.size(), kAnnotatedErrors);
  for (size_t i = 0; i < count; ++i) {
    NoteWriter(symbols_, names, lines_, code_.size(), diagnostics_[i]).Write();
  }
}

}  // namespace vigil
