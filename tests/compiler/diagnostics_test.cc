#include "compiler/diagnostics.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace vigil {
namespace {

TEST(ErrorMessageTest, EveryNumberHasItsMessage) {
  const std::string internal2 = "Internal error (2)";
  const std::string messages[] = {
      internal2,  // 0: no entry
      "Unknown module name",
      "Unknown device name",
      "Missing left bracket",
      "Missing right bracket",
      "Missing commnad parameters",
      "Unknown command",
      "Unknown user-defined archive mark",
      "Too many user-defined archive marks",
      "Too many user-defined parameters",
      "Unknown user-defined parameter",
      "Value out of range",
      internal2,  // 12
      internal2,  // 13
      internal2,  // 14
      "Internal error (1)",
      "Cannot use EXECUTE command here",
      "Unknown output",
      "Missing ENDIF",
      "Invalid character in name",
      "Missing IF",
      "Number expected",
      "Register name expected",
      "This operation is available only for single register",
      "Duplicate name",
      "Unreachable code detected",
      "Invalid Event-EndEvent construction",
      "Invalid expression term ELSE",
      "Invalid expression term ELSE",
      "Missing EventEnd",
      "Value of the read only property can not be set",
      "Maximum script size exceeded (12kB).",
      internal2,  // 32
  };
  for (int number = 0; number < static_cast<int>(std::size(messages)); ++number) {
    EXPECT_EQ(ErrorMessage(number), messages[number]) << number;
  }
  for (int number : {-1, 100, INT_MIN, INT_MAX}) EXPECT_EQ(ErrorMessage(number), internal2);
}

TEST(LegacyErrorLineTest, PadsTheCountAndKeepsTheTextAsRead) {
  struct Case {
    int number;
    int counted_line;
    std::string text;
    std::string line;
  };
  for (const Case& c : {
           Case{6, 12, "FOO BAR", "0000100012FOO BAR%Unknown command"},
           Case{24, 0, "", "0000100000%Duplicate name"},
           Case{6, 99999, "X", "0000199999X%Unknown command"},
           Case{6, 123456, "X", "00001123456X%Unknown command"},
           Case{21, 7, "  R1 = 50% ", "0000100007  R1 = 50% %Number expected"},
           Case{13, 1, "\tA\nB", "0000100001\tA\nB%Internal error (2)"},
       }) {
    Diagnostic diagnostic;
    diagnostic.number = c.number;
    diagnostic.counted_line = c.counted_line;
    diagnostic.legacy_text = c.text;
    EXPECT_EQ(LegacyErrorLine(diagnostic), c.line);
  }
}

}  // namespace
}  // namespace vigil
