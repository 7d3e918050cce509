#include "core/lang/diagnostics.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>

namespace vigil {
namespace {

// The entries where a fault would show: the misspelt message, the repeated
// one, the ends of the table and the numbers without an entry of their own.
TEST(ErrorMessageTest, OddEntriesAndNumbersWithoutEntry) {
  // The misspelt 5 and the 31 at the end: compile tests.
  EXPECT_EQ(ErrorMessage(1), "Unknown module name");
  EXPECT_EQ(ErrorMessage(15), "Internal error (1)");
  EXPECT_EQ(ErrorMessage(27), "Invalid expression term ELSE");
  EXPECT_EQ(ErrorMessage(28), "Invalid expression term ELSE");
  for (int number : {0, 12, 13, 14, 32, -1, INT_MIN, INT_MAX}) {
    EXPECT_EQ(ErrorMessage(number), "Internal error (2)") << number;
  }
}

TEST(ErrorFileLineTest, PadsTheCountAndKeepsTheTextAsRead) {
  auto line = [](int number, int counted_line, std::string text) {
    Diagnostic diagnostic;
    diagnostic.number = number;
    diagnostic.counted_line = counted_line;
    diagnostic.error_file_text = text;
    return ErrorFileLine(diagnostic);
  };
  EXPECT_EQ(line(6, 99999, "X"), "0000199999X%Unknown command");
  EXPECT_EQ(line(6, 123456, "X"), "00001123456X%Unknown command");
  EXPECT_EQ(line(21, 7, "  R1 = 50% "), "0000100007  R1 = 50% %Number expected");
  EXPECT_EQ(line(13, 1, "\tA\nB"), "0000100001\tA\nB%Internal error (2)");
}

}  // namespace
}  // namespace vigil
