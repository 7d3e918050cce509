#include "core/lang/known_words.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <unordered_set>
#include <vector>

#include "core/lang/module_kinds.h"
#include "core/lang/name_codes.h"
#include "core/scan/numbers.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// clang-format off
constexpr std::array<std::string_view, 75> kKeywords = {
    "EVENTEND",   "EVENT",          "DOOR",          "OFF",          "ON",
    "INVERT",     "IF",             "THEN",          "ELSE",         "DELAY",
    "ENDIF",      "AUTHORIZED",     "TIMEPLAN",      "NOT",          "GROUP",
    "MARK",       "EXECUTE",        "BREAK",         "DIAL",         "SIGNAL",
    "RESETCARDS", "READ_AD",        "CCHIME",        "CFPANIC",      "CAPANIC",
    "CPPANIC",    "CDISARM",        "CARMAWAY",      "CARMSTAY",     "CINITIATEAUTOARM",
    "CSOUNDER",   "CSMOKERESET",    "KEYCODE",       "BUFFER",       "PASSED",
    "ZONES",      "FLAGS",          "LAST",          "FOVERLOAD",    "FACPRESENT",
    "FBATTERYPRESENT", "FLOWBATTERY", "FBOXTAMPER",  "FDCON",        "FDOWNLOAD",
    "FEXPANDERTAMPER", "FEXPANDERLOSS", "FSMOKERESET", "FGROUNDFAULT", "FACFAIL",
    "FSYSTEMTIMELOSS", "FGLOBALBUZZER", "FGLOBALSIRENE", "FSTEADYSIRENE", "FNXLOSS",
    "SETMODEPIN", "SETMODEPINFREE", "SETPRESENT",    "CLEARPRESENT", "PRESENT",
    "CLEARGROUPCOUNTER", "CLEARALLCOUNTERS", "GROUPEMPTY", "USEREMPTY", "ALLCOUNTERSEMPTY",
    "ERASECARD",  "CLEARUSERCOUNTER", "USER",        "MODULELOST",   "BYTE1",
    "BYTE2",      "SETBYTE1",       "SETBYTE2",      "DISPLAY",      "OFFLINE",
};
// clang-format on

std::vector<std::string> Numbered(std::string_view prefix, std::string_view suffix, int last) {
  std::vector<std::string> names;
  for (int n = 1; n <= last; ++n) {
    names.push_back(std::string(prefix) + std::to_string(n) + std::string(suffix));
  }
  return names;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> lists) {
  std::vector<std::string> all;
  for (const auto& list : lists) all.insert(all.end(), list.begin(), list.end());
  return all;
}

struct KindElements {
  std::vector<std::string> names;
  std::unordered_set<std::string_view> lookup;
};

KindElements MakeKind(std::vector<std::string> names) {
  KindElements kind{std::move(names), {}};
  for (const std::string& name : kind.names) kind.lookup.insert(name);
  return kind;
}

const KindElements& ControllerElements() {
  static const KindElements kind = MakeKind(Join({
      Numbered("INPUT", "", 8),
      {"TAMPER", "BEEP", "INIT", "TIMER1SEC", "TIMER10SEC"},
      Numbered("RELAY", "", 8),
      {"OC1", "OC2"},
      Numbered("INPUT", "ON", 8),
      Numbered("INPUT", "OFF", 8),
      Numbered("USEREVENT", "", 8),
      {"PSUOFF", "PSUON", "GLOBALDOORAJAR", "GLOBALFORCEDDOOR", "GLOBALDOORAJAROK",
       "GLOBALFORCEDDOOROK", "GLOBALDOORTAMPER", "GLOBALCOMMLOST", "GLOBALCOMMRESTORE",
       "GLOBALTAMPER", "GLOBALTAMPEROK"},
  }));
  return kind;
}

const KindElements& DoorElements() {
  static const KindElements kind =
      MakeKind({"INPUT1", "INPUT2", "CARDREADER", "TAMPER", "RELAY1", "BEEP", "AUXOUTPUT",
                "INPUT1ON", "INPUT1OFF", "INPUT2ON", "INPUT2OFF", "VALID", "UNKNOWN", "INVALID",
                "FORCEDDOOR", "DOORAJAR"});
  return kind;
}

const KindElements& SupplyElements() {
  static const KindElements kind = MakeKind({"STATUSCHANGED"});
  return kind;
}

const KindElements& PanelElements() {
  static const KindElements kind =
      MakeKind(Join({Numbered("EXINPUT", "", 8), Numbered("EXOUTPUT", "", 8)}));
  return kind;
}

const KindElements& PartitionElements() {
  static const KindElements kind =
      MakeKind({"ARMED", "STATUSCHANGED", "DISARMED", "ALARM", "ALARMOK", "FIRE", "READY", "ALERT",
                "ALARMSIGNAL", "TROUBLESIGNAL", "SYSTEMKEY"});
  return kind;
}

const KindElements* ElementsOf(int kind_id) {
  switch (ElementListOf(kind_id)) {
    case 0:
      return &ControllerElements();
    case 1:
      return &DoorElements();
    case 2:
      return &SupplyElements();
    case 3:
      return &PanelElements();
    case 4:
      return &PartitionElements();
    default:
      return nullptr;
  }
}

// USEREVENT9 to USEREVENT73 on the controller: the number after the first
// nine characters of the element.
bool IsControllerUserEvent(std::string_view element) {
  if (!Contains(element, "USEREVENT")) return false;
  std::string_view rest = element.size() > 9 ? element.substr(9) : std::string_view();
  double number = RoundHalfEven(LeadingNumber(rest));
  return number >= 9 && number <= 73;
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

constexpr std::string_view kControllerEvents[] = {
    "INIT",         "TAMPER",         "TIMER1SEC",        "TIMER10SEC",        "PSUON",
    "PSUOFF",       "GLOBALDOORAJAR", "GLOBALFORCEDDOOR", "GLOBALDOORAJAROK",  "GLOBALFORCEDDOOROK",
    "GLOBALTAMPER", "GLOBALTAMPEROK", "GLOBALCOMMLOST",   "GLOBALCOMMRESTORE",
};

// The events that open event blocks, per module kind. Their codes come from
// the element code table; a code several names share is shown by the first.
const std::vector<std::string>& EventListOf(ModuleKind kind) {
  static const std::vector<std::string> kController = [] {
    std::vector<std::string> names(std::begin(kControllerEvents), std::end(kControllerEvents));
    for (int n = 1; n <= 8; ++n) {
      names.push_back("INPUT" + std::to_string(n) + "ON");
      names.push_back("INPUT" + std::to_string(n) + "OFF");
    }
    std::vector<std::string> user = Numbered("USEREVENT", "", 73);
    names.insert(names.end(), user.begin(), user.end());
    return names;
  }();
  static const std::vector<std::string> kDoor = {"VALID",     "INVALID",   "UNKNOWN",   "INPUT1ON",
                                                 "INPUT1OFF", "INPUT2ON",  "INPUT2OFF", "TAMPER",
                                                 "DOORAJAR",  "FORCEDDOOR"};
  static const std::vector<std::string> kSupply = {"STATUSCHANGED"};
  // The panel's events are its inputs by name alone, EXINPUT1 to EXINPUT8;
  // the word check refuses EXINPUTnON and EXINPUTnOFF, yet they have codes
  // and compile after a module name with a "-" in it (which passes any word).
  static const std::vector<std::string> kPanel = [] {
    std::vector<std::string> names = Numbered("EXINPUT", "", 8);
    for (int n = 1; n <= 8; ++n) {
      names.push_back("EXINPUT" + std::to_string(n) + "ON");
      names.push_back("EXINPUT" + std::to_string(n) + "OFF");
    }
    return names;
  }();
  static const std::vector<std::string> kPartition = {"STATUSCHANGED", "ALARM", "ALARMOK",
                                                      "FIRE",          "READY", "ALERT"};
  static const std::vector<std::string> kNone;
  switch (kind) {
    case ModuleKind::kController:
      return kController;
    case ModuleKind::kDoor:
      return kDoor;
    case ModuleKind::kSupply:
      return kSupply;
    case ModuleKind::kPanel:
      return kPanel;
    case ModuleKind::kPartition:
      return kPartition;
    case ModuleKind::kOther:
      break;
  }
  return kNone;
}

}  // namespace

std::span<const std::string_view> Keywords() { return kKeywords; }

bool IsKeyword(std::string_view upper_word) {
  static const std::unordered_set<std::string_view> set(kKeywords.begin(), kKeywords.end());
  return set.contains(upper_word);
}

std::span<const std::string> EventNamesOf(ModuleKind kind) { return EventListOf(kind); }

std::span<const std::string> ElementNamesOfKind(int kind_id) {
  const KindElements* kind = ElementsOf(kind_id);
  if (kind == nullptr) return {};
  return kind->names;
}

bool IsElementOfKind(int kind_id, std::string_view upper_element) {
  const KindElements* kind = ElementsOf(kind_id);
  if (kind == nullptr) return false;
  if (kind->lookup.contains(upper_element)) return true;
  return kind_id == kControllerId && IsControllerUserEvent(upper_element);
}

bool IsNumberWord(std::string_view word) {
  if (word.size() > 2 && word[0] == '&' && ToUpper(word[1]) == 'H') {
    return std::all_of(word.begin() + 2, word.end(), IsHexDigit);
  }
  return IsNumeric(word);
}

}  // namespace vigil
