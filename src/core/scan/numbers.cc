#include "core/scan/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <system_error>

#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the numeric text that starts at `text[0]` (no leading spaces),
// or 0 when none does. Always the longest such prefix.
size_t NumberLength(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    size_t j = i + 1;
    size_t fraction = 0;
    while (j < text.size() && IsDigit(text[j])) ++j, ++fraction;
    if (digits + fraction > 0) {
      i = j;
      digits += fraction;
    }
  }
  if (digits == 0) return 0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    size_t exponent = 0;
    while (j < text.size() && IsDigit(text[j])) ++j, ++exponent;
    if (exponent > 0) i = j;
  }
  return i;
}

// Beyond a double: keep the sign, the magnitude no longer matters.
double OutOfRange(std::string_view number) {
  bool tiny = Contains(number, "E-") || Contains(number, "e-");
  double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  return number.front() == '-' ? -magnitude : magnitude;
}

}  // namespace

#if defined(__cpp_lib_to_chars)
double ParseWithFromChars(std::string_view number) {
  if (number.front() == '+') number.remove_prefix(1);
  double value = 0;
  auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  return error == std::errc::result_out_of_range ? OutOfRange(number) : value;
}
#endif

double ParseWithStrtod(std::string_view number) {
  std::string text(number);  // strtod needs the NUL
  double value = std::strtod(text.c_str(), nullptr);
  std::string_view mantissa = number.substr(0, number.find_first_of("Ee"));
  bool nonzero = mantissa.find_first_of("123456789") != std::string_view::npos;
  bool out_of_range = std::isinf(value) || (value == 0.0 && nonzero);
  return out_of_range ? OutOfRange(number) : value;
}

namespace {

// `number` is numeric text without surrounding spaces.
double ParseValue(std::string_view number) {
#if defined(__cpp_lib_to_chars)
  return ParseWithFromChars(number);
#else
  return ParseWithStrtod(number);
#endif
}

size_t SkipSpaces(std::string_view text, size_t i) {
  while (i < text.size() && text[i] == ' ') ++i;
  return i;
}

}  // namespace

std::optional<double> NumericValue(std::string_view text) {
  size_t start = SkipSpaces(text, 0);
  size_t length = NumberLength(text.substr(start));
  if (length == 0) return std::nullopt;
  if (SkipSpaces(text, start + length) != text.size()) return std::nullopt;
  return ParseValue(text.substr(start, length));
}

double LeadingNumber(std::string_view text) {
  size_t start = SkipSpaces(text, 0);
  size_t length = NumberLength(text.substr(start));
  return length == 0 ? 0.0 : ParseValue(text.substr(start, length));
}

double RoundHalfEven(double value) {
  if (!std::isfinite(value)) return value;
  double floor = std::floor(value);
  double diff = value - floor;
  if (diff < 0.5) return floor;
  if (diff > 0.5) return floor + 1.0;
  return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

bool RoundedFits(double value, int low, int high, int* out) {
  double rounded = RoundHalfEven(value);
  if (!(rounded >= low && rounded <= high)) return false;
  *out = static_cast<int>(rounded);
  return true;
}

}  // namespace vigil
