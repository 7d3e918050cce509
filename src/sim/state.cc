#include "sim/state.h"

#include <string_view>

#include "core/lang/name_codes.h"
#include "core/lang/opcodes.h"

namespace vigil::sim {
namespace {

constexpr int Plain(int code) { return code >= kInverted ? code - kInverted : code; }

// The contact families and the element name of their global term.
struct GlobalContact {
  Cond family;
  std::string_view global_name;
};
constexpr GlobalContact kGlobalContacts[] = {
    {Cond::kTamper, "GLOBALTAMPER"},
    {Cond::kForcedDoor, "GLOBALFORCEDDOOR"},
    {Cond::kDoorAjar, "GLOBALDOORAJAR"},
};

bool AnyOfFamily(const State& state, int family) {
  auto it = state.points.lower_bound(PointKey{family, 0, 0});
  for (; it != state.points.end() && it->first.family == family; ++it) {
    if (it->second) return true;
  }
  return false;
}

// The number a comparison term reads and how it compares; nullopt for the
// ON/OFF terms.
std::optional<TermRead> ValueRead(Cond cond, int a, int b) {
  using K = TermRead::Kind;
  auto read = [](K kind, ValueKind value, int id, int number) {
    TermRead r;
    r.kind = kind;
    r.slot = {value, id};
    r.number = number;
    return r;
  };
  switch (cond) {
    case Cond::kRegisterGreater:
      return read(K::kGreater, ValueKind::kRegister, a, b);
    case Cond::kTimerGreater:
      return read(K::kGreater, ValueKind::kTimer, a, b);
    case Cond::kRegisterEqual:
      return read(K::kEqual, ValueKind::kRegister, a, b);
    case Cond::kTimerEqual:
      return read(K::kEqual, ValueKind::kTimer, a, b);
    case Cond::kByte1Greater:
      return read(K::kGreater, ValueKind::kByte1, 0, b);
    case Cond::kByte1Equal:
      return read(K::kEqual, ValueKind::kByte1, 0, b);
    case Cond::kByte2Greater:
      return read(K::kGreater, ValueKind::kByte2, 0, b);
    case Cond::kByte2Equal:
      return read(K::kEqual, ValueKind::kByte2, 0, b);
    case Cond::kGroup:
      return read(K::kEqual, ValueKind::kCardGroup, 0, a + 1);
    case Cond::kUser:
      return read(K::kEqual, ValueKind::kCardUser, 0, a + 1);
    case Cond::kKeyCode:
      return read(K::kEqual, ValueKind::kKeyCode, a, b);
    default:
      return std::nullopt;
  }
}

// Terms that read one ON/OFF point keyed by their own operands.
bool IsPointTerm(Cond cond) {
  switch (cond) {
    case Cond::kInput:
    case Cond::kOutput:
    case Cond::kTimePlan:
    case Cond::kPartitionState:
    case Cond::kSystemFlag:
    case Cond::kZones:
    case Cond::kPassed:
    case Cond::kTamper:
    case Cond::kForcedDoor:
    case Cond::kDoorAjar:
    case Cond::kBuffer:
    case Cond::kSupplyFlag:
    case Cond::kAuthorized:
    case Cond::kPresent:
    case Cond::kGroupEmpty:
    case Cond::kAllCountersEmpty:
    case Cond::kUserEmpty:
    case Cond::kModuleLost:
    case Cond::kOffline:
      return true;
    default:
      return false;
  }
}

bool IsCounterEmptyTerm(Cond cond) { return cond == Cond::kGroupEmpty || cond == Cond::kUserEmpty; }

// Sets a value so that `equal` holds or, when !truth, no longer holds.
void MakeEqual(int& value, int wanted, bool truth, int otherwise) {
  if (truth) {
    value = wanted;
  } else if (value == wanted) {
    value = otherwise;
  }
}

}  // namespace

bool State::Point(PointKey key) const {
  auto it = points.find(key);
  return it != points.end() && it->second;
}

bool State::SetPoint(PointKey key, bool on) {
  bool before = Point(key);
  if (on) {
    points[key] = true;
  } else {
    points.erase(key);
  }
  return before;
}

bool IsGlobalContact(Term term) {
  for (const GlobalContact& contact : kGlobalContacts) {
    if (Plain(term.code) == static_cast<int>(contact.family) && term.a == 0 &&
        EventCode(contact.global_name) == term.b) {
      return true;
    }
  }
  return false;
}

std::optional<TermRead> ReadOfTerm(Term term) {
  if (!ConditionInfo(term.code)) return std::nullopt;
  int plain = Plain(term.code);
  Cond cond = static_cast<Cond>(plain);
  std::optional<TermRead> read;
  if (IsGlobalContact(term)) {
    read = TermRead{};
    read->kind = TermRead::Kind::kAnyOfFamily;
    read->point = {plain, 0, 0};
  } else if (IsPointTerm(cond)) {
    read = TermRead{};
    read->point = {plain, term.a, term.b};
    read->or_all_counters = IsCounterEmptyTerm(cond);
  } else {
    read = ValueRead(cond, term.a, term.b);
  }
  if (read) read->inverted = term.code >= kInverted;
  return read;
}

int ValueOf(const State& state, ValueSlot slot) {
  size_t id = static_cast<size_t>(slot.id);
  switch (slot.kind) {
    case ValueKind::kRegister:
      return state.registers[id];
    case ValueKind::kTimer:
      return state.timers[id];
    case ValueKind::kByte1:
      return state.byte1;
    case ValueKind::kByte2:
      return state.byte2;
    case ValueKind::kCardGroup:
      return state.card_group;
    case ValueKind::kCardUser:
      return state.card_user;
    case ValueKind::kKeyCode: {
      auto it = state.key_codes.find(slot.id);
      return it != state.key_codes.end() ? it->second : kNoKeyCode;
    }
  }
  return 0;
}

PointKey AllCountersKey() { return {static_cast<int>(Cond::kAllCountersEmpty), 0, 0}; }

std::optional<bool> TestTerm(const State& state, Term term) {
  std::optional<TermRead> read = ReadOfTerm(term);
  if (!read) return std::nullopt;
  bool result = false;
  switch (read->kind) {
    case TermRead::Kind::kPoint:
      result = state.Point(read->point) || (read->or_all_counters && state.Point(AllCountersKey()));
      break;
    case TermRead::Kind::kAnyOfFamily:
      result = AnyOfFamily(state, read->point.family);
      break;
    case TermRead::Kind::kEqual:
      result = ValueOf(state, read->slot) == read->number;
      break;
    case TermRead::Kind::kGreater:
      result = ValueOf(state, read->slot) > read->number;
      break;
  }
  return read->inverted ? !result : result;
}

bool MakeTerm(State& state, Term term, bool truth) {
  if (!ConditionInfo(term.code)) return false;
  if (term.code >= kInverted) truth = !truth;
  int plain = Plain(term.code);
  Cond cond = static_cast<Cond>(plain);
  if (IsPointTerm(cond)) {
    state.SetPoint({plain, term.a, term.b}, truth);
    if (cond == Cond::kPartitionState && PartitionEventCode("ALARM") == term.b) {
      // The panel raises the alarm signal with the alarm.
      if (truth) state.SetPoint({kAlarmSignalFamily, term.a, 0}, true);
    }
    return true;
  }
  switch (cond) {
    case Cond::kRegisterEqual:
      MakeEqual(state.registers[static_cast<size_t>(term.a)], term.b, truth, (term.b + 1) & 255);
      return true;
    case Cond::kTimerEqual:
      MakeEqual(state.timers[static_cast<size_t>(term.a)], term.b, truth, (term.b + 1) & 255);
      return true;
    case Cond::kByte1Equal:
      MakeEqual(state.byte1, term.b, truth, (term.b + 1) & 255);
      return true;
    case Cond::kByte2Equal:
      MakeEqual(state.byte2, term.b, truth, (term.b + 1) & 255);
      return true;
    case Cond::kGroup:
      MakeEqual(state.card_group, term.a + 1, truth, kNoCard);
      return true;
    case Cond::kUser:
      MakeEqual(state.card_user, term.a + 1, truth, kNoCard);
      return true;
    case Cond::kKeyCode:
      if (truth) {
        state.key_codes[term.a] = term.b;
      } else if (ValueOf(state, {ValueKind::kKeyCode, term.a}) == term.b) {
        state.key_codes.erase(term.a);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace vigil::sim
