#include "scan/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compiler.h"
#include "support/script.h"

namespace vigil {
namespace {

struct TakeCase {
  std::string line;
  std::string word;  // the word returned
  std::string rest;  // the working line afterwards
};

TEST(TakeWordTest, PeelsTheFirstWordAndKeepsItsSeparator) {
  for (const TakeCase& c : std::vector<TakeCase>{
           {"  EVENT INIT", "EVENT", " INIT"},
           {" INIT", "INIT", " INIT"},  // runs to the end: line left whole
           {"DELAY(5)", "DELAY", "(5)"},
           {"A=B", "A", "=B"},
           {"X>5", "X", ">5"},
           {"\tIF\tX", "IF", "\tX"},
           {"A\nB", "A", "\nB"},
           {"A\rB", "A", "\rB"},
           {"", "", ""},
           {" \t\r\n=(>", "", " \t\r\n=(>"},
           {"R1+5", "R1+5", "R1+5"},  // "+" and "," only separate tokens
           {"A,B C", "A,B", " C"},
           {"P.A)<B-C;D", "P.A)<B-C;D", "P.A)<B-C;D"},
           {std::string("\0A B", 4), std::string("\0A", 2), " B"},
       }) {
    std::string_view line = c.line;
    EXPECT_EQ(TakeWord(line), c.word) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST(TakeTokenTest, AlsoSeparatesAtPlusAndComma) {
  for (const TakeCase& c : std::vector<TakeCase>{
           {"R1+5", "R1", "+5"},
           {"+5", "5", "+5"},
           {"(2,M1)", "2", ",M1)"},
           {",M1)", "M1)", ",M1)"},
           {"A=B", "A", "=B"},
           {", + ,", "", ", + ,"},
       }) {
    std::string_view line = c.line;
    EXPECT_EQ(TakeToken(line), c.word) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST(TakeWordTest, RepeatsTheLastWordOnceTheLineIsExhausted) {
  std::string_view line = "  EVENT INIT";
  EXPECT_EQ(TakeWord(line), "EVENT");
  EXPECT_EQ(TakeWord(line), "INIT");
  EXPECT_EQ(line, " INIT");
  EXPECT_EQ(TakeWord(line), "INIT");
  EXPECT_EQ(line, " INIT");
}

struct KeywordCase {
  std::string line;
  std::string keyword;
  bool matches;
  std::string rest;
};

TEST(TakeWordTest, KeywordMatchesTheWholeWordRegardlessOfCase) {
  for (const KeywordCase& c : std::vector<KeywordCase>{
           {"eventend", "EVENTEND", true, "eventend"},
           {"MODULEX = 1", "MODULE", false, "MODULEX = 1"},
           {"DELAY(5)", "DELAY", true, "(5)"},
           {"  if x", "IF", true, " x"},
           {"SETMODEPINFREE(K)", "SETMODEPIN", false, "SETMODEPINFREE(K)"},
           {"MOD", "MODULE", false, "MOD"},
           {"\xE9T X", "\xC9T", false, "\xE9T X"},  // upper-casing is ASCII only
       }) {
    std::string_view line = c.line;
    EXPECT_EQ(TakeWord(line, c.keyword), c.matches) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

TEST(TakeTokenTest, KeywordStopsAtPlus) {
  std::string_view line = "R1+5";
  EXPECT_TRUE(TakeToken(line, "r1"));
  EXPECT_EQ(line, "+5");
  line = "R1+5";
  EXPECT_FALSE(TakeWord(line, "R1"));
  EXPECT_EQ(line, "R1+5");
}

struct ParamCase {
  std::string s;
  ParamStatus status;
  std::vector<std::string> params;
};

TEST(ReadParamsTest, ReadsUpToTheFirstClosingBracket) {
  using enum ParamStatus;
  for (const ParamCase& c : std::vector<ParamCase>{
           {" ( 5 , 6 ) rest", kOk, {"5", "6"}},
           {"(A>B)", kOk, {"AB"}},
           {"(\t1\r\n,2)", kOk, {"1", "2"}},
           {"(5,)", kOk, {"5", ""}},
           {"(,)", kOk, {"", ""}},
           {"(a)(b)", kOk, {"a"}},
           {"(a b)c)", kOk, {"ab"}},
           {"((5))", kOk, {"(5"}},
           {"(=5;.-<)", kOk, {"=5;.-<"}},
           {"()", kEmpty, {}},
           {" ( > ) x", kEmpty, {}},
           {"5)", kMissingLeft, {}},
           {"x(5)", kMissingLeft, {}},
           {"", kMissingLeft, {}},
           {"   ", kMissingLeft, {}},
           {")", kMissingLeft, {}},
           {"(5", kMissingRight, {}},
           {"(", kMissingRight, {}},
       }) {
    ParamList list = ReadParams(c.s);
    EXPECT_EQ(list.status, c.status) << c.s;
    EXPECT_EQ(list.params, c.params) << c.s;
  }
}

// GetParam reports what ReadParams found, through the compiler's errors.
TEST(GetParamTest, ReportsBracketErrorsAndEmptyListsUnlessAccepted) {
  struct Case {
    const char* s;
    ParamMode mode;
    std::vector<int> errors;
    size_t count;
  };
  for (const Case& c :
       {Case{"(5,6)", ParamMode::kStrict, {}, 2}, Case{"5)", ParamMode::kStrict, {3}, 0},
        Case{"(5", ParamMode::kAcceptEmpty, {4}, 0}, Case{"()", ParamMode::kStrict, {5}, 0},
        Case{"()", ParamMode::kAcceptEmpty, {}, 0}}) {
    C_Compiler compiler;
    EXPECT_EQ(compiler.GetParam(c.s, c.mode).size(), c.count) << c.s;
    EXPECT_EQ(testing::ErrorNumbers(compiler), c.errors) << c.s;
    EXPECT_EQ(compiler.CountErrors(), static_cast<int>(c.errors.size())) << c.s;
  }
}

TEST(IsNameCharTest, AcceptsAsciiLettersDigitsAndUnderscoreOnly) {
  for (char c : std::string("AZaz0019_")) EXPECT_TRUE(IsNameChar(c)) << c;
  for (char c : std::string("-. @[`{/:\t\xE9\x80\xFF")) EXPECT_FALSE(IsNameChar(c)) << c;
  EXPECT_FALSE(IsNameChar('\0'));
}

TEST(TextHelpersTest, TrimBlanksKeepsTabsAndUpperCasingIsAscii) {
  EXPECT_EQ(TrimBlanks("  \tA B\t  "), "\tA B\t");
  EXPECT_EQ(TrimBlanks("   "), "");
  EXPECT_EQ(ToUpper("abc\xE9z_1"), "ABC\xE9Z_1");
  EXPECT_EQ(Split("a,,b,", ','), (std::vector<std::string_view>{"a", "", "b", ""}));
}

}  // namespace
}  // namespace vigil
