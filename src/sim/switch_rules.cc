#include "sim/switch_rules.h"

#include <string_view>

#include "core/lang/name_codes.h"

namespace vigil::sim {
namespace {

int Code(Cond cond) { return static_cast<int>(cond); }

int ArmedState() { return PartitionEventCode("ARMED").value_or(0); }

const SwitchRule kSwitchRules[] = {
    {Op::kOutputOff, Code(Cond::kOutput), Action::kOff, KeyFrom::kModuleElement},
    {Op::kOutputOn, Code(Cond::kOutput), Action::kOn, KeyFrom::kModuleElement},
    {Op::kOutputInvert, Code(Cond::kOutput), Action::kToggle, KeyFrom::kModuleElement},
    {Op::kBeepOn, kBeeperFamily, Action::kOn, KeyFrom::kModuleElement},
    {Op::kBeepOff, kBeeperFamily, Action::kOff, KeyFrom::kModuleElement},
    {Op::kInvert, kBeeperFamily, Action::kToggle, KeyFrom::kModuleElement},
    {Op::kAuxOn, Code(Cond::kOutput), Action::kOn, KeyFrom::kModuleElement},
    {Op::kAuxOff, Code(Cond::kOutput), Action::kOff, KeyFrom::kModuleElement},
    {Op::kAuxInvert, Code(Cond::kOutput), Action::kToggle, KeyFrom::kModuleElement},
    {Op::kArmOn, Code(Cond::kPartitionState), Action::kOn, KeyFrom::kArmed},
    {Op::kArmOff, Code(Cond::kPartitionState), Action::kOff, KeyFrom::kArmed},
    {Op::kAlarmSignalOff, kAlarmSignalFamily, Action::kOff, KeyFrom::kModule},
    {Op::kPanelAlarmSignalOff, kAlarmSignalFamily, Action::kOff, KeyFrom::kModule},
    {Op::kTroubleSignalOff, kTroubleSignalFamily, Action::kOff, KeyFrom::kModule},
    {Op::kSetModePin, kModePinFamily, Action::kOn, KeyFrom::kModule},
    {Op::kSetModePinFree, kModePinFamily, Action::kOff, KeyFrom::kModule},
    {Op::kSetPresent, Code(Cond::kPresent), Action::kOn, KeyFrom::kNone},
    {Op::kClearPresent, Code(Cond::kPresent), Action::kOff, KeyFrom::kNone},
    {Op::kClearGroupCounter, Code(Cond::kGroupEmpty), Action::kOn, KeyFrom::kModule},
    {Op::kClearUserCounter, Code(Cond::kUserEmpty), Action::kOn, KeyFrom::kModule},
    {Op::kClearAllCounters, Code(Cond::kAllCountersEmpty), Action::kOn, KeyFrom::kNone},
};

// What the system keys do to the partition's ARMED state; the other keys
// are only sent.
struct KeyEffect {
  std::string_view key;
  bool armed;
};
constexpr KeyEffect kKeyEffects[] = {
    {"CDISARM", false},
    {"CARMAWAY", true},
    {"CARMSTAY", true},
};

}  // namespace

const SwitchRule* FindSwitchRule(int opcode) {
  for (const SwitchRule& rule : kSwitchRules) {
    if (static_cast<int>(rule.op) == opcode) return &rule;
  }
  return nullptr;
}

PointKey KeyOf(const SwitchRule& rule, int a, int b) {
  switch (rule.key) {
    case KeyFrom::kModuleElement:
      return {rule.family, a, b};
    case KeyFrom::kModule:
      return {rule.family, a, 0};
    case KeyFrom::kArmed:
      return {rule.family, a, ArmedState()};
    case KeyFrom::kNone:
      break;
  }
  return {rule.family, 0, 0};
}

PointKey ArmedKey(int partition) { return {Code(Cond::kPartitionState), partition, ArmedState()}; }

std::optional<bool> ArmedAfterKey(int code) {
  for (const KeyEffect& effect : kKeyEffects) {
    for (const SystemKey& key : SystemKeys()) {
      if (key.word == effect.key && key.code == code) return effect.armed;
    }
  }
  return std::nullopt;
}

}  // namespace vigil::sim
