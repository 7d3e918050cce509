// Which ON/OFF state each switching instruction sets, clears or toggles, and
// what a system key does to a partition's ARMED state: one table that the
// simulator runs and the path analysis reads.
#ifndef VIGIL_SIM_SWITCH_RULES_H_
#define VIGIL_SIM_SWITCH_RULES_H_

#include <optional>

#include "core/lang/opcodes.h"
#include "sim/state.h"

namespace vigil::sim {

enum class Action { kOn, kOff, kToggle };
// Where the state's key comes from: the operands (module, element), the
// module alone, the module's ARMED state, or no operand.
enum class KeyFrom { kModuleElement, kModule, kArmed, kNone };
struct SwitchRule {
  Op op;
  int family;
  Action action;
  KeyFrom key;
};

// The rule of `opcode`, or nullptr when it switches no state.
const SwitchRule* FindSwitchRule(int opcode);
// The state a rule's instruction with operands `a`, `b` switches.
PointKey KeyOf(const SwitchRule& rule, int a, int b);
// The ARMED state of the partition with id `partition`.
PointKey ArmedKey(int partition);
// What the system key with `code` leaves ARMED at; nullopt for the keys that
// are only sent.
std::optional<bool> ArmedAfterKey(int code);

}  // namespace vigil::sim

#endif  // VIGIL_SIM_SWITCH_RULES_H_
