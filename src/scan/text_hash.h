// A hash for containers of strings that are searched with a string_view.
#ifndef VIGIL_SCAN_TEXT_HASH_H_
#define VIGIL_SCAN_TEXT_HASH_H_

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vigil {

struct TextHash {
  using is_transparent = void;
  // Eight bytes a step: names and words are short, and this hashes them
  // several times faster than a byte-at-a-time hash.
  size_t operator()(std::string_view text) const {
    constexpr uint64_t kMultiplier = 0xff51afd7ed558ccdULL;
    uint64_t hash = 0x9e3779b97f4a7c15ULL ^ text.size();
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
      uint64_t word;
      std::memcpy(&word, text.data() + i, 8);
      hash = (hash ^ word) * kMultiplier;
      hash ^= hash >> 32;
    }
    uint64_t tail = 0;
    // An empty view may have no data at all, which memcpy must not be given.
    if (i < text.size()) std::memcpy(&tail, text.data() + i, text.size() - i);
    hash = (hash ^ tail) * kMultiplier;
    return static_cast<size_t>(hash ^ (hash >> 29));
  }
};

}  // namespace vigil

#endif  // VIGIL_SCAN_TEXT_HASH_H_
