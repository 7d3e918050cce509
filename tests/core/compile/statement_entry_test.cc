// One line compiled against a compiled script's symbols: the same code and
// errors as the line gets inside a block of the script, columns in the text.

#include "core/compile/statement_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/compile/codegen_cases.h"

namespace vigil::testing {
namespace {

std::vector<int> Numbers(const std::vector<Diagnostic>& diagnostics) {
  std::vector<int> numbers;
  for (const Diagnostic& d : diagnostics) numbers.push_back(d.number);
  return numbers;
}

class StatementEntryTest : public ::testing::Test {
 protected:
  StatementEntryTest() : script_(CompileValue(kDeclarations)), entry_(script_) {}
  Compilation script_;
  StatementEntry entry_;
};

TEST_F(StatementEntryTest, Events) {
  struct Row {
    const char* text;
    int module, event;
    std::vector<int> errors;
  };
  const std::vector<Row> rows = {
      {"K1.VALID", 5, 1, {}},       {"k2.valid", 7, 1, {}},     // any case
      {"P1.ARMED", 101, 1, {}},     {"K1.NOSUCH", -1, 0, {6}},  // the word check refuses it
      {"NOSUCH.VALID", -1, 0, {6}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    EventRead read = entry_.Event(row.text);
    EXPECT_EQ(Numbers(read.diagnostics), row.errors);
    if (row.errors.empty()) {
      EXPECT_EQ(read.module, row.module);
      EXPECT_EQ(read.event, row.event);
    }
  }
}

TEST_F(StatementEntryTest, ConditionsReadTheTermIfTests) {
  struct Row {
    const char* event;
    int module;
    const char* text;
    int opcode, a, b;
  };
  // The term bytes of an IF line (51, opcode, A, B, jump field).
  const std::vector<Row> rows = {
      {kController, 0, "RELAY1 = OFF", 0x82, 0, 1},  {kDoor, 5, "K2.AUXOUTPUT = ON", 0x02, 7, 2},
      {kController, 0, "NOT R1 = 5", 0x85, 1, 5},    {kController, 0, "R1 >= 5", 0x05, 1, 5},
      {kController, 0, "TIMEPLAN(64)", 0x07, 63, 0}, {kDoor, 5, "PASSED", 0x0D, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    ConditionRead read = entry_.Condition(row.module, row.event, row.text);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.opcode, row.opcode);
    EXPECT_EQ(read.a, row.a);
    EXPECT_EQ(read.b, row.b);
  }
}

TEST_F(StatementEntryTest, ErrorsCarryColumnsOfTheText) {
  struct Row {
    const char* text;
    int number;
    int begin, end;  // byte columns in the text, 0-based
  };
  const std::vector<Row> rows = {
      {"R1 = NOSUCH", 6, 5, 11},    // the unknown word
      {"TIMEPLAN(65)", 11, 9, 11},  // out of range: the value
      {"  NOSUCH = ON", 6, 2, 8},   // leading blanks kept in the columns
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    ConditionRead read = entry_.Condition(0, kController, row.text);
    ASSERT_EQ(read.diagnostics.size(), 1u);
    EXPECT_EQ(read.diagnostics[0].number, row.number);
    EXPECT_EQ(read.diagnostics[0].span.begin, row.begin);
    EXPECT_EQ(read.diagnostics[0].span.end, row.end);
  }
}

TEST_F(StatementEntryTest, AStatementIsNoTest) {
  ConditionRead read = entry_.Condition(0, kController, "MARK(M1)");
  EXPECT_FALSE(read.is_test);
  EXPECT_FALSE(read.ok());
}

TEST_F(StatementEntryTest, StatementsGiveTheirCode) {
  struct Row {
    const char* event;
    int module;
    const char* text;
    std::vector<uint8_t> code;
    std::vector<int> errors;
  };
  const std::vector<Row> rows = {
      {kController, 0, "MARK(M1)", {0x63, 0x01}, {}},
      {kController, 0, "DIAL(2,M1)", {0x65, 0x02, 0x01}, {}},
      {kDoor, 5, "DOOR(K2.RELAY1)", {0x32, 0x07, 0x20, 0x07, 0x00, 0x24, 0x05, 0x00}, {}},
      {kController, 0, "MARK(PAR1)", {}, {7}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    StatementCode code = entry_.Statement(row.module, row.event, row.text);
    EXPECT_EQ(code.code, row.code);
    EXPECT_EQ(Numbers(code.diagnostics), row.errors);
  }
}

TEST_F(StatementEntryTest, CallsLeaveNothingBehind) {
  // An IF with an error, then a clean one: no open level, no old error.
  EXPECT_FALSE(entry_.Condition(0, kController, "NOSUCH = ON").ok());
  EXPECT_TRUE(entry_.Condition(0, kController, "R1 = 1").ok());
  EXPECT_TRUE(entry_.Statement(0, kController, "MARK(M1)").ok());
}

}  // namespace
}  // namespace vigil::testing
