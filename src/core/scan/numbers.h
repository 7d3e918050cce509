// Number reading shared by the whole compiler: the "numeric text" test, the
// lenient "number at the start" value and rounding of halves to even.
#ifndef VIGIL_CORE_SCAN_NUMBERS_H_
#define VIGIL_CORE_SCAN_NUMBERS_H_

#include <charconv>  // __cpp_lib_to_chars
#include <optional>
#include <string>
#include <string_view>

namespace vigil {

// The value of `text` when it reads completely as a decimal number: optional
// surrounding spaces, an optional sign, digits with an optional fraction (or a
// fraction alone: ".5", "5."), an optional exponent (E or e, optional sign, at
// least one digit). Tabs are not spaces here.
std::optional<double> NumericValue(std::string_view text);

inline bool IsNumeric(std::string_view text) { return NumericValue(text).has_value(); }

// The value of the longest prefix of `text` (after leading spaces) that is
// numeric text; 0 when there is none.
double LeadingNumber(std::string_view text);

// Rounds to the nearest whole number, an exact half going to the even
// neighbour: 2.5 gives 2, 3.5 gives 4, -2.5 gives -2.
double RoundHalfEven(double value);

// True when `value` rounds to a whole number inside [low, high]; the rounded
// value is stored in `out`.
bool RoundedFits(double value, int low, int high, int* out);

// Appends `number` in decimal as std::to_string writes it, without making a
// string of its own: the records of the four files are made of these.
inline void AppendDecimal(std::string& text, int number) {
  char digits[12];  // "-2147483648"
  text.append(digits, std::to_chars(digits, digits + sizeof digits, number).ptr);
}

// The value of numeric text without surrounding spaces, read two ways that
// give the same results: with std::from_chars where the C++ library reads
// floating point with it, and with std::strtod where it does not (the
// WebAssembly build; strtod reads the "C" locale there, which nothing
// changes). A value beyond a double keeps its sign and becomes 0 when the
// text holds "E-" or "e-", infinity otherwise. NumericValue and LeadingNumber
// use the first where it exists.
#if defined(__cpp_lib_to_chars)
double ParseWithFromChars(std::string_view number);
#endif
double ParseWithStrtod(std::string_view number);

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_NUMBERS_H_
