// The controller's limits that the compiler, the notes, the warnings and
// `vigil explain` all state.
#ifndef VIGIL_CORE_LANG_LIMITS_H_
#define VIGIL_CORE_LANG_LIMITS_H_

namespace vigil {

// The code buffer, its FF FF FF trailer included, must stay below this size.
inline constexpr int kCodeSizeLimit = 12000;
inline constexpr int kMaxCodeSize = kCodeSizeLimit - 1;
// `vigil check` warns above 90 % of the limit.
inline constexpr int kCodeSizeWarningPercent = 90;
inline constexpr int kCodeSizeWarning = kCodeSizeLimit * kCodeSizeWarningPercent / 100;
// IF blocks open at once.
inline constexpr int kMaxIfLevel = 20;
// Parameters and archive marks that a script may declare, each; the next
// one reports error 9 or 8.
inline constexpr int kMaxUserItems = 255;
// The largest module or partition id.
inline constexpr int kMaxDeclaredId = 255;
// The largest value of one byte of code.
inline constexpr int kMaxByte = 255;

// The numbered things of the controller that statements and tests address,
// numbered from 1: time plans (TIMEPLAN), user and group counters (GROUP,
// USER, GROUPEMPTY, USEREMPTY, CLEARGROUPCOUNTER, CLEARUSERCOUNTER), zones
// of a module (ZONES) and user events (EXECUTE, USEREVENTn).
inline constexpr int kTimePlanCount = 64;
inline constexpr int kCounterCount = 128;
inline constexpr int kZoneCount = 47;
inline constexpr int kUserEventCount = 73;
// The largest number a BUFFER test, a KEYCODE test, READ_AD and DISPLAY
// take; they start at 0.
inline constexpr int kMaxBuffer = 99;
inline constexpr int kMaxKeyCode = 254;
inline constexpr int kMaxAnalogInput = 8;
inline constexpr int kMaxDisplay = 15;

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_LIMITS_H_
