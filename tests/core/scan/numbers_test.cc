#include "core/scan/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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

// Values at the edges of a double, each worked out from the decimal text:
// the nearest double, halfway cases to the even significand, and texts
// beyond the range kept by sign (0 with "E-", infinity otherwise).
const std::string kSmallWithoutExponent = "0." + std::string(330, '0') + "1";
const std::string kLargeWithoutExponent = "-1" + std::string(320, '0');
constexpr double kInf = std::numeric_limits<double>::infinity();
const Case kEdges[] = {
    {"0", 0},
    {"-0", -0.0},
    {"+0.0e-99999", 0},
    {"0e999999", 0},
    {"+1.5E+3", 1500},
    {"-1.5e-3", -0.0015},
    {"0.1000000000000000055511151231257827", 0.1},
    {"123456789012345678901234567890", 1.2345678901234568e29},
    // 2^53 + 1 and 2^53 + 3 lie halfway between two doubles: to the even one.
    {"9007199254740993", 9007199254740992.0},
    {"9007199254740995", 9007199254740996.0},
    {"1.7976931348623158e308", std::numeric_limits<double>::max()},
    {"1.8e308", kInf},
    {"-1e400", -kInf},
    {"4.9e-324", std::numeric_limits<double>::denorm_min()},
    // Half the smallest subnormal and a little more.
    {"2.4703282292062328e-324", std::numeric_limits<double>::denorm_min()},
    {"2.4703282292062327e-324", 0},
    {"-1e-400", -0.0},
    {kSmallWithoutExponent.c_str(), kInf},
    {kLargeWithoutExponent.c_str(), -kInf},
};

TEST(NumericTextTest, EdgesOfADoubleReadTheSameByBothReaders) {
  for (const Case& c : kEdges) {
    std::string_view text = c.text;
    double value = ParseWithStrtod(text);
    EXPECT_EQ(value, c.value) << text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << text;
#if defined(__cpp_lib_to_chars)
    double library = ParseWithFromChars(text);
    EXPECT_EQ(library, c.value) << text;
    EXPECT_EQ(std::signbit(library), std::signbit(c.value)) << text;
#endif
    EXPECT_EQ(NumericValue(text), c.value) << text;
  }
}

}  // namespace
}  // namespace vigil
