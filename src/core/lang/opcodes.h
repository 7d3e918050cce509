// The controller's instruction set: one list that the code generator emits
// through and that the disassembler reads back.
//
// Operand letters, one per byte after the opcode:
//   m module id      e element code    n number         r register id
//   t timer id       p parameter id    a archive mark   k system key code
//   u user event     i list index (n-1) d display value  0 always zero
//   c condition term (three bytes)      j jump field (two bytes, low first)
#ifndef VIGIL_CORE_LANG_OPCODES_H_
#define VIGIL_CORE_LANG_OPCODES_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace vigil {

// X(enumerator, code, operands, statement form)
// clang-format off
#define VIGIL_INSTRUCTIONS(X)                                       \
  X(kOutputOff, 32, "me", "output = OFF")                          \
  X(kOutputOn, 33, "me", "output = ON")                            \
  X(kOutputInvert, 34, "me", "INVERT(output)")                     \
  X(kBeepOn, 35, "me", "BEEP = ON")                                \
  X(kBeepOff, 36, "me", "BEEP = OFF")                              \
  X(kInvert, 37, "me", "INVERT(element)")                          \
  X(kAuxOn, 38, "me", "AUXOUTPUT = ON")                            \
  X(kAuxOff, 39, "me", "AUXOUTPUT = OFF")                          \
  X(kAuxInvert, 40, "me", "INVERT(AUXOUTPUT)")                     \
  X(kDelay, 48, "n", "DELAY(n)")                                   \
  X(kDelayParameter, 49, "p", "DELAY(parameter)")                  \
  X(kDoorOpen, 50, "m", "DOOR(module)")                            \
  X(kArmOn, 64, "me", "partition.ARMED = ON")                      \
  X(kArmOff, 65, "me", "partition.ARMED = OFF")                    \
  X(kSystemKey, 66, "kme", "module.SYSTEMKEY = key")               \
  X(kAlarmSignalOff, 67, "me", "module.ALARMSIGNAL = OFF")         \
  X(kTroubleSignalOff, 68, "me", "module.TROUBLESIGNAL = OFF")     \
  X(kPanelAlarmSignalOff, 69, "me", "panel.ALARMSIGNAL = OFF")     \
  X(kIf, 81, "cj", "IF condition")                                 \
  X(kElse, 82, "j", "ELSE")                                        \
  X(kRegisterLoad, 96, "rn", "register = n")                       \
  X(kRegisterAdd, 97, "rn", "register = register + n")             \
  X(kRegisterSubtract, 98, "rn", "register = register - n")        \
  X(kMark, 99, "a", "MARK(mark)")                                  \
  X(kTimerLoad, 100, "tn", "timer = n")                            \
  X(kDial, 101, "na", "DIAL(n, mark)")                             \
  X(kExecute, 102, "u", "EXECUTE(n)")                              \
  X(kSignal, 103, "mn", "SIGNAL(module, n)")                       \
  X(kRegisterFromParameter, 104, "rp", "register = parameter")     \
  X(kTimerFromParameter, 105, "tp", "timer = parameter")           \
  X(kBreak, 107, "", "BREAK")                                      \
  X(kReadAd, 108, "n", "READ_AD(n)")                               \
  X(kSetModePinFree, 109, "m0", "SETMODEPINFREE(module)")          \
  X(kSetModePin, 110, "m0", "SETMODEPIN(module)")                  \
  X(kSetPresent, 111, "", "SETPRESENT")                            \
  X(kClearPresent, 112, "", "CLEARPRESENT")                        \
  X(kClearGroupCounter, 113, "i0", "CLEARGROUPCOUNTER(n)")         \
  X(kClearAllCounters, 114, "", "CLEARALLCOUNTERS")                \
  X(kEraseCard, 115, "", "ERASECARD")                              \
  X(kClearUserCounter, 116, "i0", "CLEARUSERCOUNTER(n)")           \
  X(kSetByte1, 117, "n0", "SETBYTE1(n)")                           \
  X(kSetByte2, 118, "n0", "SETBYTE2(n)")                           \
  X(kDisplay, 119, "md", "DISPLAY(module, n)")

// X(enumerator, code, operands, condition form). Operands are the two bytes
// after the term's opcode; the inverted form of a term is its code + 128.
#define VIGIL_CONDITIONS(X)                                         \
  X(kInput, 1, "me", "input = ON")                                 \
  X(kOutput, 2, "me", "output = ON")                               \
  X(kRegisterGreater, 3, "rn", "register > n")                     \
  X(kTimerGreater, 4, "tn", "timer > n")                           \
  X(kRegisterEqual, 5, "rn", "register = n")                       \
  X(kTimerEqual, 6, "tn", "timer = n")                             \
  X(kTimePlan, 7, "i0", "TIMEPLAN(n)")                             \
  X(kGroup, 8, "i0", "GROUP(n)")                                   \
  X(kPartitionState, 10, "me", "partition.state = ON")             \
  X(kSystemFlag, 11, "mf", "FLAGS(system flag)")                   \
  X(kZones, 12, "mi", "ZONES(n)")                                  \
  X(kPassed, 13, "00", "PASSED")                                   \
  X(kTamper, 14, "me", "module.TAMPER = ON")                       \
  X(kForcedDoor, 15, "me", "module.FORCEDDOOR = ON")               \
  X(kDoorAjar, 16, "me", "module.DOORAJAR = ON")                   \
  X(kBuffer, 17, "n0", "BUFFER(n)")                                \
  X(kSupplyFlag, 18, "sf", "FLAGS(power-supply flag)")             \
  X(kAuthorized, 19, "00", "AUTHORIZED")                           \
  X(kKeyCode, 20, "mn", "KEYCODE(n)")                              \
  X(kPresent, 21, "00", "PRESENT")                                 \
  X(kGroupEmpty, 22, "i0", "GROUPEMPTY(n)")                        \
  X(kAllCountersEmpty, 23, "00", "ALLCOUNTERSEMPTY")               \
  X(kUserEmpty, 24, "i0", "USEREMPTY(n)")                          \
  X(kUser, 25, "i0", "USER(n)")                                    \
  X(kModuleLost, 32, "n0", "MODULELOST(n)")                        \
  X(kByte1Greater, 33, "0n", "BYTE1 > n")                          \
  X(kByte1Equal, 34, "0n", "BYTE1 = n")                            \
  X(kByte2Greater, 35, "0n", "BYTE2 > n")                          \
  X(kByte2Equal, 36, "0n", "BYTE2 = n")                            \
  X(kOffline, 37, "00", "OFFLINE")
// clang-format on

#define VIGIL_ENUMERATOR(name, code, operands, form) name = code,
enum class Op : uint8_t { VIGIL_INSTRUCTIONS(VIGIL_ENUMERATOR) };
enum class Cond : uint8_t { VIGIL_CONDITIONS(VIGIL_ENUMERATOR) };
#undef VIGIL_ENUMERATOR

inline constexpr int kEventMarker = 255;  // opens an event header: FF module event
inline constexpr int kInverted = 128;     // added to a condition code by NOT or OFF

struct OpcodeInfo {
  int code;
  std::string_view name;      // the enumerator without its "k"
  std::string_view operands;  // operand letters, see above
  std::string_view form;      // how the statement reads in a script
};

std::optional<OpcodeInfo> InstructionInfo(int code);
// `code` may be the plain or the inverted form.
std::optional<OpcodeInfo> ConditionInfo(int code);

// Bytes an instruction occupies, opcode included: a condition term counts 3,
// a jump field 2, every other operand letter 1.
int InstructionLength(const OpcodeInfo& info);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_OPCODES_H_
