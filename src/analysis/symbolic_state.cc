#include "analysis/symbolic_state.h"

#include <algorithm>

namespace vigil::analysis {
namespace {

constexpr int kByteMask = 255;
constexpr int kCardCount = 129;  // none, then 1-128

void CountDown(sim::ValueSlot slot, SymbolicValue& value, int time) {
  if (slot.kind != sim::ValueKind::kTimer || value.as_of >= time) return;
  int seconds = time - value.as_of;
  for (int16_t& now : value.now) now = static_cast<int16_t>(std::max(0, now - seconds));
  value.as_of = time;
}

}  // namespace

ValueRange RangeOf(sim::ValueKind kind) {
  switch (kind) {
    case sim::ValueKind::kCardGroup:
    case sim::ValueKind::kCardUser:
      return {sim::kNoCard, kCardCount};
    case sim::ValueKind::kKeyCode:
      return {sim::kNoKeyCode, kMaxValues};
    default:
      return {0, kByteMask + 1};
  }
}

std::optional<bool> SymbolicState::Known(sim::PointKey key) const {
  auto point = points_.find(key);
  if (point != points_.end() && point->second.constant) return point->second.value;
  auto required = required_.find(key);
  if (required == required_.end()) return std::nullopt;
  bool inverted = point != points_.end() && point->second.value;
  return required->second != inverted;
}

SymbolicState::Split SymbolicState::SplitPoint(sim::PointKey key) const {
  Split split;
  if (std::optional<bool> known = Known(key)) {
    (*known ? split.holds : split.fails) = *this;
    return split;
  }
  auto point = points_.find(key);
  bool inverted = point != points_.end() && point->second.value;
  split.decided_by_input = true;
  split.holds = *this;
  split.holds->required_[key] = !inverted;
  split.fails = *this;
  split.fails->required_[key] = inverted;
  return split;
}

SymbolicValue SymbolicState::Fresh(sim::ValueSlot slot) const {
  ValueRange range = RangeOf(slot.kind);
  SymbolicValue value;
  for (int i = 0; i < range.count; ++i) {
    value.possible.set(static_cast<size_t>(i));
    value.now[static_cast<size_t>(i)] = static_cast<int16_t>(range.lowest + i);
  }
  return value;
}

SymbolicValue& SymbolicState::Value(sim::ValueSlot slot, int time) {
  auto it = values_.find(slot);
  if (it == values_.end()) it = values_.emplace(slot, Fresh(slot)).first;
  CountDown(slot, it->second, time);
  return it->second;
}

SymbolicState::Split SymbolicState::SplitValue(sim::ValueSlot slot, bool greater, int number,
                                               int time) const {
  SymbolicState copy = *this;
  SymbolicValue& value = copy.Value(slot, time);
  Domain holds;
  for (size_t i = 0; i < kMaxValues; ++i) {
    int now = value.now[i];
    if (value.possible[i] && (greater ? now > number : now == number)) holds.set(i);
  }
  Domain fails = value.possible & ~holds;
  Split split;
  split.decided_by_input = holds.any() && fails.any();
  if (holds.any()) {
    value.possible = holds;
    split.holds = copy;
  }
  if (fails.any()) {
    value.possible = fails;
    split.fails = std::move(copy);
  }
  return split;
}

void SymbolicState::SetPoint(sim::PointKey key, bool on) { points_[key] = {true, on}; }

void SymbolicState::TogglePoint(sim::PointKey key) {
  SymbolicPoint& point = points_[key];
  point.value = !point.value;
}

void SymbolicState::Load(sim::ValueSlot slot, int value, int time) {
  Value(slot, time).now.fill(static_cast<int16_t>(value));
}

void SymbolicState::Add(sim::ValueSlot slot, int delta, int time) {
  for (int16_t& now : Value(slot, time).now) now = static_cast<int16_t>((now + delta) & kByteMask);
}

std::map<sim::ValueSlot, Domain> SymbolicState::ConstrainedValues() const {
  std::map<sim::ValueSlot, Domain> constrained;
  for (const auto& [slot, value] : values_) {
    if (value.possible != Fresh(slot).possible) constrained.emplace(slot, value.possible);
  }
  return constrained;
}

std::vector<sim::ValueSlot> SymbolicState::Slots() const {
  std::vector<sim::ValueSlot> slots;
  for (const auto& entry : values_) slots.push_back(entry.first);
  return slots;
}

int SymbolicState::ValueNow(sim::ValueSlot slot, int input, int time) const {
  auto it = values_.find(slot);
  SymbolicValue value = it != values_.end() ? it->second : Fresh(slot);
  CountDown(slot, value, time);
  return value.now[static_cast<size_t>(input)];
}

}  // namespace vigil::analysis
