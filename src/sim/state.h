// The controller as the simulator sees it: every state a script can test or
// change, and the facts from outside that a scenario sets. Everything starts
// OFF or 0.
#ifndef VIGIL_SIM_STATE_H_
#define VIGIL_SIM_STATE_H_

#include <array>
#include <cstdint>
#include <map>
#include <optional>

namespace vigil::sim {

// A condition term as the code carries it: opcode (plain or inverted) and its
// two operand bytes.
struct Term {
  int code = 0;
  int a = 0;
  int b = 0;
};

// The ON/OFF states are kept by family and two bytes. A family is the plain
// code of the condition term that tests it (input 01, output 02, partition
// state 0A, tamper 0E, ...), so a term reads exactly the state it names; the
// states no term can test have families of their own above 0x80.
enum Family : int {
  kBeeperFamily = 0xF0,         // (module, element) of BEEP / INVERT(element)
  kAlarmSignalFamily = 0xF1,    // (partition, 0)
  kTroubleSignalFamily = 0xF2,  // (partition, 0)
  kModePinFamily = 0xF3,        // (module, 0): ON after SETMODEPIN, OFF after ..FREE
};

struct PointKey {
  int family = 0;
  int a = 0;
  int b = 0;
  friend auto operator<=>(const PointKey&, const PointKey&) = default;
};

inline constexpr int kNoCard = 0;  // no card group or user presented

struct State {
  std::map<PointKey, bool> points;  // absent means OFF
  std::array<int, 256> registers{};
  std::array<int, 256> timers{};
  int byte1 = 0;
  int byte2 = 0;
  int card_group = kNoCard;       // 1-128
  int card_user = kNoCard;        // 1-128
  std::map<int, int> key_codes;   // module -> key code entered there
  std::map<int, int> open_doors;  // module -> seconds until the door closes

  bool Point(PointKey key) const;
  // The state before the change.
  bool SetPoint(PointKey key, bool on);
};

// The numbers a term can compare: registers and timers (by id), BYTE1 and
// BYTE2, the presented card's group and user (1-128, 0 none), and the key
// code entered at a module (by module id; -1 none).
enum class ValueKind { kRegister, kTimer, kByte1, kByte2, kCardGroup, kCardUser, kKeyCode };
struct ValueSlot {
  ValueKind kind = ValueKind::kRegister;
  int id = 0;
  friend auto operator<=>(const ValueSlot&, const ValueSlot&) = default;
};
inline constexpr int kNoKeyCode = -1;

// What a condition term reads, without a state: one ON/OFF point (with
// ALLCOUNTERSEMPTY also making a counter's emptiness true), whether any point
// of a family is on (the global contacts), or a comparison of a number.
struct TermRead {
  enum class Kind { kPoint, kAnyOfFamily, kEqual, kGreater };
  Kind kind = Kind::kPoint;
  PointKey point;                // kPoint; kAnyOfFamily uses point.family
  bool or_all_counters = false;  // kPoint: ALLCOUNTERSEMPTY ON also makes it true
  ValueSlot slot;                // kEqual, kGreater
  int number = 0;                // what the slot is compared with
  bool inverted = false;         // NOT or OFF: the result is turned round
};

// nullopt for a term code the model has no test for.
std::optional<TermRead> ReadOfTerm(Term term);
// The number in `slot` (kNoKeyCode for a module without a key code).
int ValueOf(const State& state, ValueSlot slot);
// The ALLCOUNTERSEMPTY state.
PointKey AllCountersKey();

// What `term` finds in `state`: true or false, or nullopt for a term code the
// model has no test for.
std::optional<bool> TestTerm(const State& state, Term term);

// Changes `state` so that `term` tests `truth`. False when the term names no
// state that can be set that way (a greater-than test, an unknown code).
bool MakeTerm(State& state, Term term, bool truth);

// The global codes of tamper, forced-door and door-ajar terms
// (GLOBALTAMPER, GLOBALFORCEDDOOR, GLOBALDOORAJAR): such a term tests whether
// any module's contact of that family is on.
bool IsGlobalContact(Term term);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_STATE_H_
