#include "symbols/symbol_table.h"

#include <algorithm>

#include "scan/tokenizer.h"

namespace vigil {
namespace {

bool HasLower(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

}  // namespace

std::string UpperName(std::string_view name) { return ToUpper(name); }

void NameIndex::Add(std::string_view name, size_t position) {
  map_.emplace(ToUpper(name), position);
}

size_t NameIndex::Find(std::string_view name) const {
  if (map_.empty()) return npos;
  // Statement lines are upper-cased already: look those up without a copy.
  auto it = HasLower(name) ? map_.find(ToUpper(name)) : map_.find(name);
  return it == map_.end() ? npos : it->second;
}

}  // namespace vigil
