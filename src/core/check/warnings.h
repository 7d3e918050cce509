// The warnings of `vigil check`: what the legacy compiler lets pass but an
// installer should look at. C_Compiler::Warnings (warnings.cc) finds them
// after both passes; they are never counted and never reach the error file.
#ifndef VIGIL_CORE_CHECK_WARNINGS_H_
#define VIGIL_CORE_CHECK_WARNINGS_H_

#include <string_view>

namespace vigil {

// Warning numbers, shown as W1 to W5.
enum WarningNumber : int {
  kWarnOpenIf = 1,      // an IF block still open at the end of the script
  kWarnOpenEvent = 2,   // an EVENT block still open at the end of the script
  kWarnUnused = 3,      // a register, timer, parameter or mark never used
  kWarnCodeSize = 4,    // the code buffer above 90 % of its limit
  kWarnUntestedIf = 5,  // an IF whose condition compiled as a statement
};
inline constexpr int kWarningCount = 5;

// The code buffer size above which kWarnCodeSize is given: 90 % of 12 000.
inline constexpr int kCodeSizeWarningLimit = 10800;

// The one-line title of a warning number; empty for numbers without one.
std::string_view WarningTitle(int number);

}  // namespace vigil

#endif  // VIGIL_CORE_CHECK_WARNINGS_H_
