// The value range table says what the compiler accepts: each word's first and
// last numbers compile, the numbers just outside report error 11, and the
// note of that error quotes the table.

#include "core/lang/value_ranges.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/check/notes.h"
#include "core/lang/opcodes.h"
#include "core/lang/word_lists.h"
#include "support/script.h"

namespace vigil {
namespace {

// A statement of each range word, "#" standing for the number.
struct RangeStatement {
  std::string_view word;
  std::string_view statement;
};

constexpr RangeStatement kStatements[] = {
    {"TIMEPLAN", "IF TIMEPLAN(#)\nENDIF\n"},
    {"GROUP", "IF GROUP(#)\nENDIF\n"},
    {"USER", "IF USER(#)\nENDIF\n"},
    {"GROUPEMPTY", "IF GROUPEMPTY(#)\nENDIF\n"},
    {"USEREMPTY", "IF USEREMPTY(#)\nENDIF\n"},
    {"MODULELOST", "IF MODULELOST(#)\nENDIF\n"},
    {"ZONES", "IF ZONES(#)\nENDIF\n"},
    {"BUFFER", "IF BUFFER(#)\nENDIF\n"},
    {"KEYCODE", "IF KEYCODE(#)\nENDIF\n"},
    {"DELAY", "DELAY(#)\n"},
    {"DIAL", "DIAL(#,LOG)\n"},
    {"EXECUTE", "EXECUTE(#)\n"},
    {"SIGNAL", "SIGNAL(#)\n"},
    {"READ_AD", "READ_AD(#)\n"},
    {"CLEARGROUPCOUNTER", "CLEARGROUPCOUNTER(#)\n"},
    {"CLEARUSERCOUNTER", "CLEARUSERCOUNTER(#)\n"},
    {"SETBYTE1", "SETBYTE1(#)\n"},
    {"SETBYTE2", "SETBYTE2(#)\n"},
    {"DISPLAY", "DISPLAY(#)\n"},
};

constexpr std::string_view kDeclarations = "MODULE = PANEL,0\nDEFINE MARK LOG = Logged\n";

std::string Script(std::string_view statement, int n) {
  std::string text(statement);
  text.replace(text.find('#'), 1, std::to_string(n));
  return std::string(kDeclarations) + "EVENT PANEL.INIT\n" + text + "EVENTEND\n";
}

std::string_view StatementOf(std::string_view word) {
  for (const RangeStatement& s : kStatements) {
    if (s.word == word) return s.statement;
  }
  return {};
}

TEST(ValueRanges, TextNamesOneOrTwoRuns) {
  EXPECT_EQ(RangeText(*FindValueRange("TIMEPLAN")), "1 to 64");
  EXPECT_EQ(RangeText(*FindValueRange("MODULELOST")), "1 to 64 or 71 to 78");
  EXPECT_EQ(FindValueRange("RELAY1"), nullptr);
}

// Every number just inside a run compiles; every number just outside one
// reports error 11, and its note names the table's range.
TEST(ValueRanges, AreWhatTheCompilerAccepts) {
  for (const ValueRange& range : ValueRanges()) {
    std::string_view statement = StatementOf(range.word);
    ASSERT_FALSE(statement.empty()) << range.word << " has no statement in this test";
    std::set<int> inside;
    std::set<int> outside;
    for (IdRange run : {range.values, range.more}) {
      if (run.first > run.last) continue;
      inside.insert({run.first, run.last});
      outside.insert({run.first - 1, run.last + 1});
    }
    for (int n : inside) outside.erase(n);
    for (int n : inside) {
      Compilation result = testing::CompileValue(Script(statement, n));
      EXPECT_EQ(result.error_count, 0) << range.word << " " << n;
    }
    std::string note = "the " + std::string(range.word) + " number must lie in " + RangeText(range);
    for (int n : outside) {
      Compilation result = testing::CompileValue(Script(statement, n));
      std::vector<Diagnostic> errors = ErrorsWithNotes(result);
      // An IF whose test failed opens no block: its ENDIF reports error 20.
      ASSERT_FALSE(errors.empty()) << range.word << " " << n;
      EXPECT_EQ(errors[0].number, 11) << range.word << " " << n;
      EXPECT_EQ(errors[0].notes, std::vector<std::string>{note}) << range.word << " " << n;
    }
  }
}

// A command or test that takes a number in brackets has a range.
TEST(ValueRanges, CoverEveryNumberedCommandAndTest) {
  for (auto list : {Instructions(), Conditions()}) {
    for (const OpcodeInfo& info : list) {
      bool numbered = info.operands.find_first_of("niud") != std::string_view::npos;
      size_t bracket = info.form.find('(');
      if (!numbered || bracket == std::string_view::npos) continue;
      std::string_view word = info.form.substr(0, bracket);
      EXPECT_NE(FindValueRange(word), nullptr) << info.form;
    }
  }
}

}  // namespace
}  // namespace vigil
