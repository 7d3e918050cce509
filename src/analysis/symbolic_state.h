// The controller's state as a function of the state it had when an event
// started: every ON/OFF point is either that input (possibly turned round by
// an INVERT) or a constant the event set; every number is a table from its
// input value to its value now. A path's constraints on the input are kept
// beside it: the points it requires ON or OFF and, per number, the input
// values still possible. Testing a term splits the state into the part where
// it holds and the part where it does not.
#ifndef VIGIL_ANALYSIS_SYMBOLIC_STATE_H_
#define VIGIL_ANALYSIS_SYMBOLIC_STATE_H_

#include <array>
#include <bitset>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "sim/state.h"

namespace vigil::analysis {

// Input values of one number, as offsets from its lowest value.
inline constexpr int kMaxValues = 257;  // a key code: none and 0-255
using Domain = std::bitset<kMaxValues>;

struct ValueRange {
  int lowest = 0;
  int count = 256;
};
ValueRange RangeOf(sim::ValueKind kind);

// One number: for every input value still possible, its value now.
struct SymbolicValue {
  Domain possible;
  std::array<int16_t, kMaxValues> now{};
  int as_of = 0;  // timers: the time `now` was last counted down to
};

// A point now: the input itself (turned round when `inverted`) or a constant.
struct SymbolicPoint {
  bool constant = false;
  bool value = false;  // the constant, or whether the input is turned round
};

class SymbolicState {
 public:
  // The point's value now, when it does not depend on the input.
  std::optional<bool> Known(sim::PointKey key) const;
  // Splits on the point being ON.
  struct Split;
  Split SplitPoint(sim::PointKey key) const;
  // Splits on the number in `slot` being = or > `number`.
  Split SplitValue(sim::ValueSlot slot, bool greater, int number, int time) const;

  void SetPoint(sim::PointKey key, bool on);
  void TogglePoint(sim::PointKey key);
  // The number becomes `value` for every input.
  void Load(sim::ValueSlot slot, int value, int time);
  // The number changes by `delta`, wrapping within 0-255.
  void Add(sim::ValueSlot slot, int delta, int time);

  // What the path requires of the input.
  const std::map<sim::PointKey, bool>& required_points() const { return required_; }
  // Numbers the path constrained: the input values still possible.
  std::map<sim::ValueSlot, Domain> ConstrainedValues() const;
  // The value now of a number for input index `input` (its offset from the
  // lowest value), counted down to `time` for a timer.
  int ValueNow(sim::ValueSlot slot, int input, int time) const;
  // The numbers the path read or changed.
  std::vector<sim::ValueSlot> Slots() const;
  // The points the event set to a constant or turned round.
  const std::map<sim::PointKey, SymbolicPoint>& points() const { return points_; }

 private:
  SymbolicValue& Value(sim::ValueSlot slot, int time);
  SymbolicValue Fresh(sim::ValueSlot slot) const;

  std::map<sim::PointKey, SymbolicPoint> points_;  // absent: the input itself
  std::map<sim::PointKey, bool> required_;
  std::map<sim::ValueSlot, SymbolicValue> values_;  // absent: the input itself
};

// The two sides of a test: nullopt for a side no input reaches.
// `decided_by_input`: the input decides the test (false: it was known).
struct SymbolicState::Split {
  std::optional<SymbolicState> holds;
  std::optional<SymbolicState> fails;
  bool decided_by_input = false;
};

}  // namespace vigil::analysis

#endif  // VIGIL_ANALYSIS_SYMBOLIC_STATE_H_
