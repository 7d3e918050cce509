#include "core/lang/name_codes.h"

#include <array>
#include <functional>
#include <string>
#include <unordered_map>
#include <utility>

#include "core/lang/module_kinds.h"
#include "core/scan/numbers.h"
#include "core/scan/text_hash.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

using CodeMap = std::unordered_map<std::string, int, TextHash, std::equal_to<>>;

struct NamedCode {
  std::string_view name;
  int code;
};

// Names with a single code each.
constexpr NamedCode kEventCodes[] = {
    {"VALID", 1},
    {"INVALID", 2},
    {"UNKNOWN", 3},
    {"INPUT1ON", 4},
    {"INPUT1OFF", 5},
    {"INPUT2ON", 6},
    {"INPUT2OFF", 7},
    {"TAMPER", 8},
    {"DOORAJAR", 9},
    {"FORCEDDOOR", 10},
    {"TIMER1SEC", 37},
    {"TIMER10SEC", 38},
    {"GLOBALDOORAJAR", 45},
    {"GLOBALFORCEDDOOR", 46},
    {"GLOBALDOORAJAROK", 47},
    {"INIT", 50},
    {"GLOBALTAMPER", 51},
    {"GLOBALTAMPEROK", 52},
    {"GLOBALCOMMLOST", 53},
    {"GLOBALCOMMRESTORE", 54},
    {"PSUON", 55},
    {"PSUOFF", 56},
    {"GLOBALFORCEDDOOROK", 68},
    {"OC1", 7},
    {"OC2", 8},
    {"BEEP", 3},
    {"AUXOUTPUT", 2},
    {"STATUSCHANGED", 1},
    {"ARMED", 1},
    {"DISARMED", 1},
    {"ALARM", 2},
    {"ALARMOK", 3},
    {"FIRE", 6},
    {"READY", 7},
    {"ALERT", 8},
    {"ALARMSIGNAL", 1},
    {"TROUBLESIGNAL", 1},
    {"SYSTEMKEY", 1},
};

// Numbered families: PREFIX + n + SUFFIX for n in [first, last] gives
// base + step * n.
struct Family {
  std::string_view prefix;
  std::string_view suffix;
  int first;
  int last;
  int step;
  int base;
};

constexpr Family kEventFamilies[] = {
    {"INPUT", "ON", 3, 8, 2, 10},   {"INPUT", "OFF", 3, 8, 2, 11},  {"EXINPUT", "ON", 1, 8, 2, 8},
    {"EXINPUT", "OFF", 1, 8, 2, 9}, {"USEREVENT", "", 1, 8, 1, 59}, {"RELAY", "", 1, 8, 1, 0},
    {"INPUT", "", 1, 8, 1, 0},      {"EXOUTPUT", "", 1, 8, 1, 0},   {"EXINPUT", "", 1, 8, 1, 0},
};

constexpr NamedCode kPartitionEventCodes[] = {
    {"STATUSCHANGED", 1}, {"ALARM", 2},         {"ALARMOK", 3},   {"ARMED", 4},
    {"DISARMED", 5},      {"FIRE", 6},          {"READY", 7},     {"ALERT", 8},
    {"ALARMSIGNAL", 8},   {"TROUBLESIGNAL", 8}, {"SYSTEMKEY", 8},
};

constexpr NamedCode kSystemFlags[] = {
    {"FDOWNLOAD", 0},       {"FEXPANDERTAMPER", 1}, {"FEXPANDERLOSS", 2},  {"FSMOKERESET", 3},
    {"FGROUNDFAULT", 4},    {"FBOXTAMPER", 5},      {"FLOWBATTERY", 6},    {"FACFAIL", 7},
    {"FSYSTEMTIMELOSS", 8}, {"FGLOBALBUZZER", 9},   {"FGLOBALSIRENE", 10}, {"FSTEADYSIRENE", 11},
    {"FNXLOSS", 16},
};

constexpr NamedCode kSupplyFlags[] = {
    {"FOVERLOAD", 0},   {"FACPRESENT", 1}, {"FBATTERYPRESENT", 2},
    {"FLOWBATTERY", 3}, {"FBOXTAMPER", 4}, {"FDCON", 5},
};

constexpr SystemKey kSystemKeys[] = {
    {"CCHIME", 1},    {"CFPANIC", 5},     {"CAPANIC", 6},
    {"CPPANIC", 7},   {"CSMOKERESET", 8}, {"CDISARM", 16},
    {"CARMAWAY", 17}, {"CARMSTAY", 18},   {"CINITIATEAUTOARM", 22},
    {"CSOUNDER", 23},
};

// Device bits in the event-saving word, per module kind.
constexpr Family kControllerDevices[] = {
    {"INPUT", "", 1, 8, 0, 0},
    {"RELAY", "", 1, 8, 0, 8},
};
constexpr Family kPanelDevices[] = {
    {"EXINPUT", "", 1, 8, 0, 0},
    {"EXOUTPUT", "", 1, 8, 0, 8},
};
constexpr NamedCode kDoorDeviceBits[] = {
    {"CARDREADER", 0}, {"INPUT1", 1}, {"INPUT2", 2}, {"TAMPER", 3}, {"RELAY1", 4}, {"AUXOUTPUT", 5},
};

template <size_t N>
CodeMap MakeMap(const NamedCode (&codes)[N]) {
  CodeMap map;
  for (const NamedCode& entry : codes) map.emplace(entry.name, entry.code);
  return map;
}

template <size_t N>
void AddFamilies(CodeMap& map, const Family (&families)[N]) {
  for (const Family& family : families) {
    for (int n = family.first; n <= family.last; ++n) {
      std::string name(family.prefix);
      name += std::to_string(n);
      name += family.suffix;
      map.emplace(std::move(name), family.base + family.step * n);
    }
  }
}

// Bit numbers for the controller and the panel: the family base is the bit of
// its first member.
template <size_t N>
CodeMap MakeBitMap(const Family (&families)[N]) {
  CodeMap map;
  for (const Family& family : families) {
    for (int n = family.first; n <= family.last; ++n) {
      map.emplace(std::string(family.prefix) + std::to_string(n), family.base + n - 1);
    }
  }
  return map;
}

const CodeMap& EventCodes() {
  static const CodeMap map = [] {
    CodeMap built = MakeMap(kEventCodes);
    AddFamilies(built, kEventFamilies);
    return built;
  }();
  return map;
}

std::optional<int> Lookup(const CodeMap& map, std::string_view name) {
  auto it = map.find(name);
  if (it == map.end()) return std::nullopt;
  return it->second;
}

int32_t BitMask(int bit) {
  // Bit 15 of the 16-bit word reads back sign-extended.
  return bit == 15 ? -32768 : (int32_t{1} << bit);
}

int FlagCode(const CodeMap& map, std::string_view name) {
  return Lookup(map, ToUpper(name)).value_or(-1);
}

}  // namespace

std::string_view ElementPart(std::string_view name) {
  size_t dot = name.find('.');
  if (dot == std::string_view::npos) return name;
  std::string_view rest = name.substr(dot + 1);
  return rest.substr(0, rest.find('.'));
}

std::string_view ModulePart(std::string_view name) { return name.substr(0, name.find('.')); }

bool IsOutputName(std::string_view name) {
  static const CodeMap outputs = [] {
    CodeMap map{{"OC1", 0}, {"OC2", 0}};
    AddFamilies(map, {Family{"RELAY", "", 1, 8, 0, 0}, Family{"EXOUTPUT", "", 1, 8, 0, 0}});
    return map;
  }();
  return Lookup(outputs, ElementPart(name)).has_value();
}

bool IsPartitionStateName(std::string_view name) {
  std::string_view element = ElementPart(name);
  return element == "ARMED" || element == "ALARM" || element == "FIRE" || element == "READY";
}

std::optional<int> EventCode(std::string_view name) {
  std::string_view element = ElementPart(name);
  if (std::optional<int> code = Lookup(EventCodes(), element)) return code;
  if (!Contains(ToUpper(element), "USEREVENT")) return std::nullopt;
  // The user event number: up to three characters after the first nine.
  std::string_view digits = element.size() > 9 ? element.substr(9, 3) : std::string_view();
  // Three characters may still hold an exponent ("9E9"); any code that large
  // is refused where it would be emitted, so clamping it changes nothing.
  double number = RoundHalfEven(LeadingNumber(digits));
  if (number > 1e6) number = 1e6;
  if (number < -1e6) number = -1e6;
  return kUserEventHighBase + static_cast<int>(number);
}

std::optional<int> PartitionEventCode(std::string_view name) {
  static const CodeMap map = MakeMap(kPartitionEventCodes);
  return Lookup(map, ElementPart(name));
}

int32_t DeviceMask(int module_id, std::string_view device) {
  static const CodeMap controller = [] {
    CodeMap map = MakeBitMap(kControllerDevices);
    map.emplace("OC1", 14);
    map.emplace("OC2", 15);
    return map;
  }();
  static const CodeMap panel = MakeBitMap(kPanelDevices);
  static const CodeMap door = MakeMap(kDoorDeviceBits);
  const CodeMap& table = module_id == kControllerId ? controller
                         : module_id == kPanelId    ? panel
                                                    : door;
  std::optional<int> bit = Lookup(table, ToUpper(device));
  return bit ? BitMask(*bit) : 0;
}

std::span<const SystemKey> SystemKeys() { return kSystemKeys; }

int GetSystemFlagCode(std::string_view name) {
  static const CodeMap map = MakeMap(kSystemFlags);
  return FlagCode(map, name);
}

int GetSupplyFlagCode(std::string_view name) {
  static const CodeMap map = MakeMap(kSupplyFlags);
  return FlagCode(map, name);
}

template <size_t N>
std::vector<std::string_view> NamesOf(const NamedCode (&table)[N]) {
  std::vector<std::string_view> names;
  for (const NamedCode& entry : table) names.push_back(entry.name);
  return names;
}

std::vector<std::string_view> SystemFlagNames() { return NamesOf(kSystemFlags); }
std::vector<std::string_view> SupplyFlagNames() { return NamesOf(kSupplyFlags); }

}  // namespace vigil
