// The numbers each statement or test word accepts: one table that the notes,
// `vigil explain` and the tests read.
#ifndef VIGIL_CORE_LANG_VALUE_RANGES_H_
#define VIGIL_CORE_LANG_VALUE_RANGES_H_

#include <span>
#include <string>
#include <string_view>

#include "core/lang/module_kinds.h"

namespace vigil {

struct ValueRange {
  std::string_view word;  // upper case, as the statement or test reads
  IdRange values;
  IdRange more;  // a second run of values; empty (first > last) for most

  constexpr bool Accepts(int n) const { return values.Contains(n) || more.Contains(n); }
};

// The words whose number is checked, in the order a note looks them up.
std::span<const ValueRange> ValueRanges();

// The range of `upper_word`, nullptr when its number is not checked.
const ValueRange* FindValueRange(std::string_view upper_word);

// "1 to 64", "1 to 64 or 71 to 78".
std::string RangeText(const ValueRange& range);
std::string RangeText(IdRange range);

}  // namespace vigil

#endif  // VIGIL_CORE_LANG_VALUE_RANGES_H_
