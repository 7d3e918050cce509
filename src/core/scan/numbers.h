// Number reading shared by the whole compiler: the "numeric text" test, the
// lenient "number at the start" value and rounding of halves to even.
#ifndef VIGIL_CORE_SCAN_NUMBERS_H_
#define VIGIL_CORE_SCAN_NUMBERS_H_

#include <optional>
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

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_NUMBERS_H_
