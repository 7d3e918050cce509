#include "scan/numbers.h"

#include <gtest/gtest.h>

namespace vigil {
namespace {

TEST(NumericValueTest, AcceptsDecimalForms) {
  struct Case {
    const char* text;
    double value;
  };
  for (const Case& c : {Case{"5", 5}, Case{" 12 ", 12}, Case{"-3", -3}, Case{"+7", 7},
                        Case{"2.5", 2.5}, Case{".5", 0.5}, Case{"5.", 5}, Case{"25E-1", 2.5},
                        Case{"1e2", 100}, Case{"236E-1", 23.6}}) {
    ASSERT_TRUE(NumericValue(c.text).has_value()) << c.text;
    EXPECT_DOUBLE_EQ(*NumericValue(c.text), c.value) << c.text;
  }
}

TEST(NumericValueTest, RejectsPartialAndOtherText) {
  for (const char* text : {"", " ", ".", "-", "E5", "1E", "1E+", "5A", "ON", "&H10", "1 2",
                           "\t5", "5\t", "1.5.2"}) {
    EXPECT_FALSE(NumericValue(text).has_value()) << text;
  }
}

TEST(LeadingNumberTest, ReadsTheLongestNumericPrefix) {
  EXPECT_DOUBLE_EQ(LeadingNumber("12AB"), 12);
  EXPECT_DOUBLE_EQ(LeadingNumber("  7,3"), 7);
  EXPECT_DOUBLE_EQ(LeadingNumber("1E2X"), 100);
  EXPECT_DOUBLE_EQ(LeadingNumber("1EX"), 1);
  EXPECT_DOUBLE_EQ(LeadingNumber("X12"), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber(""), 0);
  EXPECT_DOUBLE_EQ(LeadingNumber("-4.5;"), -4.5);
}

TEST(RoundHalfEvenTest, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double in;
    double out;
  };
  for (const Case& c : {Case{2.5, 2}, Case{3.5, 4}, Case{0.5, 0}, Case{1.5, 2}, Case{-2.5, -2},
                        Case{-3.5, -4}, Case{2.4999, 2}, Case{2.5001, 3}, Case{-0.4, 0}}) {
    EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
  }
}

}  // namespace
}  // namespace vigil
