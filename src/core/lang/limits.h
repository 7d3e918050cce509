// The controller's limits that the compiler, the notes, the warnings and
// `vigil explain` all state.
#ifndef VIGIL_CORE_LANG_LIMITS_H_
#define VIGIL_CORE_LANG_LIMITS_H_

namespace vigil {

// The code buffer, its FF FF FF trailer included, must stay below this size.
inline constexpr int kCodeSizeLimit = 12000;
inline constexpr int kMaxCodeSize = kCodeSizeLimit - 1;
// `vigil check` warns above 90 % of the limit.
inline constexpr int kCodeSizeWarning = kCodeSizeLimit * 9 / 10;
// IF blocks open at once.
inline constexpr int kMaxIfLevel = 20;
// Parameters and archive marks that a script may declare, each; the next
// one reports error 9 or 8.
inline constexpr int kMaxUserItems = 255;
// The largest module or partition id.
inline constexpr int kMaxDeclaredId = 255;
// The largest value of one byte of code.
inline constexpr int kMaxByte = 255;

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_LIMITS_H_
