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
#include <span>
#include <string_view>

namespace vigil {

// X(enumerator, code, operands, statement form, display). The display is how
// the disassembler and the simulator show the instruction: a slot
// "{<byte><kind>}" shows operand byte <byte> (1 = the byte after the opcode)
// as:
//   m module            o output element    i input element   x any element
//   s partition state   =NAME the element NAME (its code is checked)
//   n number            r register          t timer           p parameter
//   a archive mark      k system key        u user event      I list index + 1
//   d display value     f system flag       F supply flag     S supply module
//   c condition term (three bytes)          j jump field (two bytes)
// Elements are named within the instruction's module (its m or S byte).
// clang-format off
#define VIGIL_INSTRUCTIONS(X)                                                                       \
  X(kOutputOff, 32, "me", "output = OFF", "{2o} of {1m} = OFF")                                     \
  X(kOutputOn, 33, "me", "output = ON", "{2o} of {1m} = ON")                                        \
  X(kOutputInvert, 34, "me", "INVERT(output)", "INVERT({2o} of {1m})")                              \
  X(kBeepOn, 35, "me", "BEEP = ON", "{2=BEEP} of {1m} = ON")                                        \
  X(kBeepOff, 36, "me", "BEEP = OFF", "{2=BEEP} of {1m} = OFF")                                     \
  X(kInvert, 37, "me", "INVERT(element)", "INVERT({2x} of {1m})")                                   \
  X(kAuxOn, 38, "me", "AUXOUTPUT = ON", "{2=AUXOUTPUT} of {1m} = ON")                               \
  X(kAuxOff, 39, "me", "AUXOUTPUT = OFF", "{2=AUXOUTPUT} of {1m} = OFF")                            \
  X(kAuxInvert, 40, "me", "INVERT(AUXOUTPUT)", "INVERT({2=AUXOUTPUT} of {1m})")                     \
  X(kDelay, 48, "n", "DELAY(n)", "DELAY({1n})")                                                     \
  X(kDelayParameter, 49, "p", "DELAY(parameter)", "DELAY({1p})")                                    \
  X(kDoorOpen, 50, "m", "DOOR(module)", "DOOR({1m})")                                               \
  X(kArmOn, 64, "me", "partition.ARMED = ON", "{2=ARMED} of {1m} = ON")                             \
  X(kArmOff, 65, "me", "partition.ARMED = OFF", "{2=ARMED} of {1m} = OFF")                          \
  X(kSystemKey, 66, "kme", "module.SYSTEMKEY = key", "{3=SYSTEMKEY} of {2m} = {1k}")                \
  X(kAlarmSignalOff, 67, "me", "module.ALARMSIGNAL = OFF", "{2=ALARMSIGNAL} of {1m} = OFF")         \
  X(kTroubleSignalOff, 68, "me", "module.TROUBLESIGNAL = OFF", "{2=TROUBLESIGNAL} of {1m} = OFF")   \
  X(kPanelAlarmSignalOff, 69, "me", "panel.ALARMSIGNAL = OFF", "{2=ALARMSIGNAL} of {1m} = OFF")     \
  X(kIf, 81, "cj", "IF condition", "IF {1c}  else -> {4j}")                                         \
  X(kElse, 82, "j", "ELSE", "ELSE  endif -> {1j}")                                                  \
  X(kRegisterLoad, 96, "rn", "register = n", "{1r} = {2n}")                                         \
  X(kRegisterAdd, 97, "rn", "register = register + n", "{1r} = {1r} + {2n}")                        \
  X(kRegisterSubtract, 98, "rn", "register = register - n", "{1r} = {1r} - {2n}")                   \
  X(kMark, 99, "a", "MARK(mark)", "MARK({1a})")                                                     \
  X(kTimerLoad, 100, "tn", "timer = n", "{1t} = {2n}")                                              \
  X(kDial, 101, "na", "DIAL(n, mark)", "DIAL({1n}, {2a})")                                          \
  X(kExecute, 102, "u", "EXECUTE(n)", "EXECUTE({1u})")                                              \
  X(kSignal, 103, "mn", "SIGNAL(module, n)", "SIGNAL({1m}, {2n})")                                  \
  X(kRegisterFromParameter, 104, "rp", "register = parameter", "{1r} = {2p}")                       \
  X(kTimerFromParameter, 105, "tp", "timer = parameter", "{1t} = {2p}")                             \
  X(kBreak, 107, "", "BREAK", "BREAK")                                                              \
  X(kReadAd, 108, "n", "READ_AD(n)", "READ_AD({1n})")                                               \
  X(kSetModePinFree, 109, "m0", "SETMODEPINFREE(module)", "SETMODEPINFREE({1m})")                   \
  X(kSetModePin, 110, "m0", "SETMODEPIN(module)", "SETMODEPIN({1m})")                               \
  X(kSetPresent, 111, "", "SETPRESENT", "SETPRESENT")                                               \
  X(kClearPresent, 112, "", "CLEARPRESENT", "CLEARPRESENT")                                         \
  X(kClearGroupCounter, 113, "i0", "CLEARGROUPCOUNTER(n)", "CLEARGROUPCOUNTER({1I})")               \
  X(kClearAllCounters, 114, "", "CLEARALLCOUNTERS", "CLEARALLCOUNTERS")                             \
  X(kEraseCard, 115, "", "ERASECARD", "ERASECARD")                                                  \
  X(kClearUserCounter, 116, "i0", "CLEARUSERCOUNTER(n)", "CLEARUSERCOUNTER({1I})")                  \
  X(kSetByte1, 117, "n0", "SETBYTE1(n)", "SETBYTE1({1n})")                                          \
  X(kSetByte2, 118, "n0", "SETBYTE2(n)", "SETBYTE2({1n})")                                          \
  X(kDisplay, 119, "md", "DISPLAY(module, n)", "DISPLAY({1m}, {2d})")

// X(enumerator, code, operands, condition form, display). Operands are the
// two bytes after the term's opcode; the inverted form of a term is its code
// + 128.
#define VIGIL_CONDITIONS(X)                                                                         \
  X(kInput, 1, "me", "input = ON", "{2i} of {1m} = ON")                                             \
  X(kOutput, 2, "me", "output = ON", "{2o} of {1m} = ON")                                           \
  X(kRegisterGreater, 3, "rn", "register > n", "{1r} > {2n}")                                       \
  X(kTimerGreater, 4, "tn", "timer > n", "{1t} > {2n}")                                             \
  X(kRegisterEqual, 5, "rn", "register = n", "{1r} = {2n}")                                         \
  X(kTimerEqual, 6, "tn", "timer = n", "{1t} = {2n}")                                               \
  X(kTimePlan, 7, "i0", "TIMEPLAN(n)", "TIMEPLAN({1I})")                                            \
  X(kGroup, 8, "i0", "GROUP(n)", "GROUP({1I})")                                                     \
  X(kPartitionState, 10, "me", "partition.state = ON", "{2s} of {1m} = ON")                         \
  X(kSystemFlag, 11, "mf", "FLAGS(system flag)", "FLAGS({2f}) of {1m}")                             \
  X(kZones, 12, "mi", "ZONES(n)", "ZONES({2I}) of {1m}")                                            \
  X(kPassed, 13, "00", "PASSED", "PASSED")                                                          \
  X(kTamper, 14, "me", "module.TAMPER = ON", "{2x} of {1m} = ON")                                   \
  X(kForcedDoor, 15, "me", "module.FORCEDDOOR = ON", "{2x} of {1m} = ON")                           \
  X(kDoorAjar, 16, "me", "module.DOORAJAR = ON", "{2x} of {1m} = ON")                               \
  X(kBuffer, 17, "n0", "BUFFER(n)", "BUFFER({1n})")                                                 \
  X(kSupplyFlag, 18, "sf", "FLAGS(power-supply flag)", "FLAGS({2F}) of {1S}")                       \
  X(kAuthorized, 19, "00", "AUTHORIZED", "AUTHORIZED")                                              \
  X(kKeyCode, 20, "mn", "KEYCODE(n)", "KEYCODE({2n}) of {1m}")                                      \
  X(kPresent, 21, "00", "PRESENT", "PRESENT")                                                       \
  X(kGroupEmpty, 22, "i0", "GROUPEMPTY(n)", "GROUPEMPTY({1I})")                                     \
  X(kAllCountersEmpty, 23, "00", "ALLCOUNTERSEMPTY", "ALLCOUNTERSEMPTY")                            \
  X(kUserEmpty, 24, "i0", "USEREMPTY(n)", "USEREMPTY({1I})")                                        \
  X(kUser, 25, "i0", "USER(n)", "USER({1I})")                                                       \
  X(kModuleLost, 32, "n0", "MODULELOST(n)", "MODULELOST({1n})")                                     \
  X(kByte1Greater, 33, "0n", "BYTE1 > n", "BYTE1 > {2n}")                                           \
  X(kByte1Equal, 34, "0n", "BYTE1 = n", "BYTE1 = {2n}")                                             \
  X(kByte2Greater, 35, "0n", "BYTE2 > n", "BYTE2 > {2n}")                                           \
  X(kByte2Equal, 36, "0n", "BYTE2 = n", "BYTE2 = {2n}")                                             \
  X(kOffline, 37, "00", "OFFLINE", "OFFLINE")
// clang-format on

#define VIGIL_ENUMERATOR(name, code, operands, form, display) name = code,
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
  std::string_view display;   // how the disassembler shows it, with slots
};

// The two lists, in the order of their X-macros.
std::span<const OpcodeInfo> Instructions();
std::span<const OpcodeInfo> Conditions();

std::optional<OpcodeInfo> InstructionInfo(int code);
// `code` may be the plain or the inverted form.
std::optional<OpcodeInfo> ConditionInfo(int code);

// Bytes an instruction occupies, opcode included: a condition term counts 3,
// a jump field 2, every other operand letter 1.
int InstructionLength(const OpcodeInfo& info);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_OPCODES_H_
