#include "symbols/symbol_table.h"

#include <cstring>

#include "scan/tokenizer.h"

namespace vigil {
namespace {

constexpr uint64_t kOnes = 0x0101010101010101ULL;

// Eight bytes upper-cased at once: a byte in 'a'..'z' has its 0x20 bit
// cleared; every other byte, 128 and above included, stays as it is.
uint64_t Fold(uint64_t word) {
  constexpr uint64_t kHigh = 0x80 * kOnes;
  uint64_t low7 = word & (0x7f * kOnes);
  uint64_t at_least_a = low7 + (0x80 - 'a') * kOnes;
  uint64_t above_z = low7 + (0x80 - 'z' - 1) * kOnes;
  return word ^ ((~word & at_least_a & ~above_z & kHigh) >> 2);
}

// Bytes [at, at + 8) of `text`, zeros past its end, in as few loads as the
// length allows.
uint64_t WordAt(std::string_view text, size_t at) {
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
uint64_t FoldedHash(std::string_view text) {
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

// `upper` is upper case already.
bool EqualsUpper(std::string_view upper, std::string_view name) {
  if (upper.size() != name.size()) return false;
  for (size_t at = 0; at < name.size(); at += 8) {
    if (WordAt(upper, at) != Fold(WordAt(name, at))) return false;
  }
  return true;
}

}  // namespace

std::string UpperName(std::string_view name) { return ToUpper(name); }

void NameIndex::Clear() {
  keys_.clear();
  positions_.clear();
  slots_.clear();
}

size_t NameIndex::SlotOf(std::string_view name, uint64_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t at = static_cast<size_t>(hash) & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.entry == npos) return at;
    if (slot.hash == hash && EqualsUpper(keys_[slot.entry], name)) return at;
  }
}

void NameIndex::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 16 : old.size() * 2, Slot{});
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.entry == npos) continue;
    size_t at = static_cast<size_t>(slot.hash) & mask;
    while (slots_[at].entry != npos) at = (at + 1) & mask;
    slots_[at] = slot;
  }
}

void NameIndex::Add(std::string_view name, size_t position) {
  if ((keys_.size() + 1) * 2 > slots_.size()) Grow();
  uint64_t hash = FoldedHash(name);
  Slot& slot = slots_[SlotOf(name, hash)];
  if (slot.entry != npos) return;  // the first declaration wins
  slot = {hash, keys_.size()};
  keys_.push_back(ToUpper(name));
  positions_.push_back(position);
}

size_t NameIndex::Find(std::string_view name) const {
  if (keys_.empty()) return npos;
  const Slot& slot = slots_[SlotOf(name, FoldedHash(name))];
  return slot.entry == npos ? npos : positions_[slot.entry];
}

}  // namespace vigil
