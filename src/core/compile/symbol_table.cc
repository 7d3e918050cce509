#include "core/compile/symbol_table.h"

#include "core/scan/text_hash.h"
#include "core/scan/tokenizer.h"

namespace vigil {
namespace {

// `upper` is upper case already.
bool EqualsUpper(std::string_view upper, std::string_view name) {
  if (upper.size() != name.size()) return false;
  for (size_t at = 0; at < name.size(); at += 8) {
    if (text_hash::WordAt(upper, at) != text_hash::Fold(text_hash::WordAt(name, at))) return false;
  }
  return true;
}

}  // namespace

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
