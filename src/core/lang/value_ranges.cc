#include "core/lang/value_ranges.h"

#include <array>

#include "core/lang/limits.h"

namespace vigil {
namespace {

constexpr IdRange kNone = {1, 0};
constexpr IdRange kByte = {0, kMaxByte};
constexpr IdRange kCounters = {1, kCounterCount};

constexpr std::array<ValueRange, 19> kRanges = {{
    {"TIMEPLAN", {1, kTimePlanCount}, kNone},
    {"GROUP", kCounters, kNone},
    {"USER", kCounters, kNone},
    {"GROUPEMPTY", kCounters, kNone},
    {"USEREMPTY", kCounters, kNone},
    {"MODULELOST", kNamedDoorIds, kSupplyIds},
    {"ZONES", {1, kZoneCount}, kNone},
    {"BUFFER", {0, kMaxBuffer}, kNone},
    {"KEYCODE", {0, kMaxKeyCode}, kNone},
    {"DELAY", kByte, kNone},
    {"DIAL", kByte, kNone},
    {"EXECUTE", {1, kUserEventCount}, kNone},
    {"SIGNAL", kByte, kNone},
    {"READ_AD", {0, kMaxAnalogInput}, kNone},
    {"CLEARGROUPCOUNTER", kCounters, kNone},
    {"CLEARUSERCOUNTER", kCounters, kNone},
    {"SETBYTE1", kByte, kNone},
    {"SETBYTE2", kByte, kNone},
    {"DISPLAY", {0, kMaxDisplay}, kNone},
}};

}  // namespace

std::span<const ValueRange> ValueRanges() { return kRanges; }

const ValueRange* FindValueRange(std::string_view upper_word) {
  for (const ValueRange& range : kRanges) {
    if (range.word == upper_word) return &range;
  }
  return nullptr;
}

std::string RangeText(IdRange range) {
  return std::to_string(range.first) + " to " + std::to_string(range.last);
}

std::string RangeText(const ValueRange& range) {
  std::string text = RangeText(range.values);
  if (range.more.first <= range.more.last) text += " or " + RangeText(range.more);
  return text;
}

}  // namespace vigil
