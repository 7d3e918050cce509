#include "core/scan/numbers.h"

#include <gtest/gtest.h>

namespace vigil {
namespace {

struct Case {
  const char* text;
  double value;
};

TEST(NumericTextTest, WholeTextLongestPrefixAndHalfToEvenRounding) {
  for (const Case& c :
       {Case{"5", 5}, Case{" 12 ", 12}, Case{"-3", -3}, Case{"+7", 7}, Case{".5", 0.5},
        Case{"5.", 5}, Case{"25E-1", 2.5}, Case{"1e2", 100}, Case{"236E-1", 23.6}}) {
    EXPECT_EQ(NumericValue(c.text), c.value) << c.text;
  }
  for (const char* text :
       {"", " ", ".", "-", "E5", "1E", "1E+", "5A", "&H10", "1 2", "\t5", "5\t", "1.5.2"}) {
    EXPECT_FALSE(NumericValue(text).has_value()) << text;
  }
  // The lenient reading takes the longest numeric prefix, 0 when there is none.
  for (const Case& c : {Case{"12AB", 12}, Case{"  7,3", 7}, Case{"1E2X", 100}, Case{"1EX", 1},
                        Case{"X12", 0}, Case{"", 0}, Case{"-4.5;", -4.5}}) {
    EXPECT_EQ(LeadingNumber(c.text), c.value) << c.text;
  }
  // Halves go to the even neighbour.
  const double in[] = {2.5, 3.5, 0.5, -2.5, -3.5, 2.4999, 2.5001, -0.4};
  const double out[] = {2, 4, 0, -2, -4, 2, 3, 0};
  for (size_t i = 0; i < std::size(in); ++i) EXPECT_EQ(RoundHalfEven(in[i]), out[i]) << in[i];
}

}  // namespace
}  // namespace vigil
