// Every problem the tools report, in one list: the compiler's numbered errors
// (E1 to E31, whose messages the error file carries word for word) and the
// warnings of `vigil check` (W1 onwards), which never reach the error file.
// `vigil explain`, the notes, the SARIF rules and the language server all
// read this list.
#ifndef VIGIL_CORE_LANG_ERRORS_H_
#define VIGIL_CORE_LANG_ERRORS_H_

#include <span>
#include <string>
#include <string_view>

namespace vigil {

// X(enumerator, number, message). 12 and 13 are reserved and never
// reported; error 14, for a value that does not fit a byte, shares their
// message.
// clang-format off
#define VIGIL_ERRORS(X)                                                                  \
  X(kUnknownModule, 1, "Unknown module name")                                           \
  X(kUnknownDevice, 2, "Unknown device name")                                           \
  X(kMissingLeftBracket, 3, "Missing left bracket")                                     \
  X(kMissingRightBracket, 4, "Missing right bracket")                                   \
  X(kMissingParameters, 5, "Missing commnad parameters")                                \
  X(kUnknownCommand, 6, "Unknown command")                                              \
  X(kUnknownMark, 7, "Unknown user-defined archive mark")                               \
  X(kTooManyMarks, 8, "Too many user-defined archive marks")                            \
  X(kTooManyParameters, 9, "Too many user-defined parameters")                          \
  X(kUnknownParameter, 10, "Unknown user-defined parameter")                            \
  X(kValueOutOfRange, 11, "Value out of range")                                         \
  X(kReserved12, 12, "Internal error (2)")                                              \
  X(kReserved13, 13, "Internal error (2)")                                              \
  X(kValueNotAByte, 14, "Internal error (2)")                                           \
  X(kIncompleteDoorModule, 15, "Internal error (1)")                                    \
  X(kExecuteNotHere, 16, "Cannot use EXECUTE command here")                             \
  X(kUnknownOutput, 17, "Unknown output")                                               \
  X(kMissingEndIf, 18, "Missing ENDIF")                                                 \
  X(kInvalidNameCharacter, 19, "Invalid character in name")                             \
  X(kMissingIf, 20, "Missing IF")                                                       \
  X(kNumberExpected, 21, "Number expected")                                             \
  X(kRegisterExpected, 22, "Register name expected")                                    \
  X(kSingleRegisterOnly, 23, "This operation is available only for single register")    \
  X(kDuplicateName, 24, "Duplicate name")                                               \
  X(kUnreachableCode, 25, "Unreachable code detected")                                  \
  X(kEventInsideEvent, 26, "Invalid Event-EndEvent construction")                       \
  X(kSecondElse, 27, "Invalid expression term ELSE")                                    \
  X(kElseWithoutIf, 28, "Invalid expression term ELSE")                                 \
  X(kMissingEvent, 29, "Missing EventEnd")                                              \
  X(kReadOnlyProperty, 30, "Value of the read only property can not be set")            \
  X(kScriptTooLarge, 31, "Maximum script size exceeded (12kB).")

// X(enumerator, number, title)
#define VIGIL_WARNINGS(X)                                                                \
  X(kOpenIf, 1, "IF block not closed")                                                  \
  X(kOpenEvent, 2, "EVENT block not closed")                                            \
  X(kUnused, 3, "Declared name never used")                                             \
  X(kCodeSize, 4, "Code buffer nearly full")                                            \
  X(kUntestedIf, 5, "IF condition compiled as a statement")                            \
  X(kLoneLineFeed, 6, "Line end read as a blank")                                       \
  X(kComparison, 7, "Comparison compiled as another test")                              \
  X(kIgnoredDeclaration, 8, "Declaration line sets nothing")                            \
  X(kByteOrderMark, 9, "Byte-order mark before the first line")
// clang-format on

#define VIGIL_ENUMERATOR(name, number, text) name = number,
enum class Err : int { VIGIL_ERRORS(VIGIL_ENUMERATOR) };
enum class Warn : int { VIGIL_WARNINGS(VIGIL_ENUMERATOR) };
#undef VIGIL_ENUMERATOR

enum class Severity { kError, kWarning };

struct ProblemInfo {
  Severity severity;
  int number;
  std::string_view title;  // an error's message, a warning's title
};

std::span<const ProblemInfo> AllErrors();
std::span<const ProblemInfo> AllWarnings();

// The message of an error number; numbers without one give "Internal error (2)".
std::string_view ErrorMessage(int number);
// The title of a warning number; empty for numbers without one.
std::string_view WarningTitle(int number);

// "E6", "W1": the code `vigil explain` takes and the printers show.
std::string ProblemCode(Severity severity, int number);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_ERRORS_H_
