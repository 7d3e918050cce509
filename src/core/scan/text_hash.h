// Hashing of names and words: eight bytes a step, with ASCII case folded, so
// that "Door1" and "DOOR1" hash alike. Containers that compare exactly still
// tell them apart; the case-insensitive name index relies on the folding.
#ifndef VIGIL_CORE_SCAN_TEXT_HASH_H_
#define VIGIL_CORE_SCAN_TEXT_HASH_H_

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vigil {
namespace text_hash {

inline constexpr uint64_t kOnes = 0x0101010101010101ULL;

// Eight bytes upper-cased at once: a byte in 'a'..'z' has its 0x20 bit
// cleared; every other byte, 128 and above included, stays as it is.
inline uint64_t Fold(uint64_t word) {
  constexpr uint64_t kHigh = 0x80 * kOnes;
  uint64_t low7 = word & (0x7f * kOnes);
  uint64_t at_least_a = low7 + (0x80 - 'a') * kOnes;
  uint64_t above_z = low7 + (0x80 - 'z' - 1) * kOnes;
  return word ^ ((~word & at_least_a & ~above_z & kHigh) >> 2);
}

// Bytes [at, at + 8) of `text`, zeros past its end, in as few loads as the
// length allows.
inline uint64_t WordAt(std::string_view text, size_t at) {
  const char* p = text.data() + at;
  size_t n = text.size() - at;
  auto load32 = [](const char* from) {
    uint32_t value;
    std::memcpy(&value, from, 4);
    return uint64_t{value};
  };
  if (n >= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
  }
  if (n >= 4) return load32(p) | load32(p + n - 4) << (8 * (n - 4));
  if (n == 0) return 0;
  auto byte = [p](size_t k) { return uint64_t{static_cast<unsigned char>(p[k])} << (8 * k); };
  return byte(0) | byte(n / 2) | byte(n - 1);
}

// 64-bit hash of the upper-cased text, eight bytes a step, so "Door1" and
// "DOOR1" hash alike.
inline uint64_t FoldedHash(std::string_view text) {
  constexpr uint64_t kMultiplier = 0xff51afd7ed558ccdULL;
  uint64_t hash = 0x9e3779b97f4a7c15ULL ^ text.size();
  for (size_t at = 0; at < text.size(); at += 8) {
    hash = (hash ^ Fold(WordAt(text, at))) * kMultiplier;
    hash ^= hash >> 32;
  }
  // The table takes the low bits: mix the high ones into them.
  hash ^= hash >> 33;
  hash *= 0xc4ceb9fe1a85ec53ULL;
  return hash ^ (hash >> 33);
}

}  // namespace text_hash

// 64-bit hash of the upper-cased text.
using text_hash::FoldedHash;

// For unordered containers of strings searched with a string_view.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return static_cast<size_t>(FoldedHash(text)); }
};

}  // namespace vigil

#endif  // VIGIL_CORE_SCAN_TEXT_HASH_H_
