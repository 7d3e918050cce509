#include "core/scan/tokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigil {
namespace {

// TakeWord, or TakeToken, which also separates at "+" and ",": the word
// returned and the working line afterwards. A word that runs to the end of
// the line leaves the line whole, so the next call returns it again.
TEST(TakeWordTest, PeelsTheFirstWordOrAKeyword) {
  struct Case {
    bool token;
    std::string line, word, rest;
  };
  for (const Case& c :
       {// TakeWord.
        Case{false, "  EVENT INIT", "EVENT", " INIT"}, Case{false, " INIT", "INIT", " INIT"},
        Case{false, "DELAY(5)", "DELAY", "(5)"}, Case{false, "A=B", "A", "=B"},
        Case{false, "X>5", "X", ">5"}, Case{false, "\tIF\tX", "IF", "\tX"},
        Case{false, "A\nB", "A", "\nB"}, Case{false, "A\rB", "A", "\rB"}, Case{false, "", "", ""},
        Case{false, " \t\r\n=(>", "", " \t\r\n=(>"}, Case{false, "R1+5", "R1+5", "R1+5"},
        Case{false, "A,B C", "A,B", " C"}, Case{false, "P.A)<B-C;D", "P.A)<B-C;D", "P.A)<B-C;D"},
        Case{false, std::string("\0A B", 4), std::string("\0A", 2), " B"},
        // TakeToken.
        Case{true, "R1+5", "R1", "+5"}, Case{true, "+5", "5", "+5"},
        Case{true, "(2,M1)", "2", ",M1)"}, Case{true, ",M1)", "M1)", ",M1)"},
        Case{true, ", + ,", "", ", + ,"}}) {
    std::string_view line = c.line;
    EXPECT_EQ(c.token ? TakeToken(line) : TakeWord(line), c.word) << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
  // With a keyword: the whole first word must match, regardless of case
  // (ASCII only); a mismatch leaves the line unchanged.
  struct KeywordCase {
    bool token;
    std::string line, keyword;
    bool matches;
    std::string rest;
  };
  for (const KeywordCase& c : {KeywordCase{false, "eventend", "EVENTEND", true, "eventend"},
                               KeywordCase{false, "MODULEX = 1", "MODULE", false, "MODULEX = 1"},
                               KeywordCase{false, "MOD", "MODULE", false, "MOD"},
                               KeywordCase{false, "  if x", "IF", true, " x"},
                               KeywordCase{false, "\xE9T X", "\xC9T", false, "\xE9T X"},
                               KeywordCase{true, "R1+5", "r1", true, "+5"}}) {
    std::string_view line = c.line;
    EXPECT_EQ(c.token ? TakeToken(line, c.keyword) : TakeWord(line, c.keyword), c.matches)
        << c.line;
    EXPECT_EQ(line, c.rest) << c.line;
  }
}

// The errors each status gives a command: commands_test.cc.
TEST(ReadParamsTest, ReadsUpToTheFirstClosingBracket) {
  struct Case {
    std::string s;
    ParamStatus status;
    std::vector<std::string> params;
  };
  using enum ParamStatus;
  for (const Case& c :
       {Case{" ( 5 , 6 ) rest", kOk, {"5", "6"}}, Case{"(A>B)", kOk, {"AB"}},
        Case{"(\t1\r\n,2)", kOk, {"1", "2"}}, Case{"(5,)", kOk, {"5", ""}},
        Case{"(a b)c)", kOk, {"ab"}}, Case{"((5))", kOk, {"(5"}}, Case{"(=5;.-<)", kOk, {"=5;.-<"}},
        Case{" ( > ) x", kEmpty, {}}, Case{"x(5)", kMissingLeft, {}}, Case{"", kMissingLeft, {}},
        Case{")", kMissingLeft, {}}, Case{"(5", kMissingRight, {}}}) {
    ParamList list = ReadParams(c.s);
    EXPECT_EQ(list.status, c.status) << c.s;
    EXPECT_EQ(list.params, c.params) << c.s;
  }
}

// Trimming, upper casing and splitting: through the compile tests.
TEST(TextHelpersTest, NameCharsAreAscii) {
  for (char c : std::string("AZaz0019_")) EXPECT_TRUE(IsNameChar(c)) << c;
  for (char c : std::string("-. @[`{/:\t\xE9\x80\xFF\0", 14)) EXPECT_FALSE(IsNameChar(c)) << c;
}

}  // namespace
}  // namespace vigil
