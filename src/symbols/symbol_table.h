// The five ordered collections of declared records and their name lookups.
//
// Every collection keeps declaration order; a lookup finds the first record
// whose name matches. Each collection carries an index by upper-cased name so
// that lookups stay constant-time however many names a script declares.
#ifndef VIGIL_SYMBOLS_SYMBOL_TABLE_H_
#define VIGIL_SYMBOLS_SYMBOL_TABLE_H_

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "symbols/records.h"

namespace vigil {

// An ordered collection with a first-match index by upper-cased name.
template <typename Record>
class Collection {
 public:
  void Clear() {
    records_.clear();
    index_.clear();
  }
  void Add(Record record) {
    index_.emplace(UpperKey(record.name), records_.size());
    records_.push_back(std::move(record));
  }
  // The first record whose name equals `name` regardless of case.
  const Record* Find(std::string_view name) const {
    auto it = index_.find(UpperKey(name));
    return it == index_.end() ? nullptr : &records_[it->second];
  }
  Record* Find(std::string_view name) {
    auto it = index_.find(UpperKey(name));
    return it == index_.end() ? nullptr : &records_[it->second];
  }
  bool Contains(std::string_view name) const { return Find(name) != nullptr; }

  const std::vector<Record>& records() const { return records_; }
  std::vector<Record>& records() { return records_; }
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }

 private:
  static std::string UpperKey(std::string_view name);

  std::vector<Record> records_;
  std::unordered_map<std::string, size_t> index_;  // emplace keeps the first
};

struct SymbolTable {
  Collection<C_Module> modules;  // modules and partitions
  Collection<C_parameter> parameters;
  Collection<C_mark> marks;
  Collection<C_registry> registers;
  Collection<C_registry> timers;
};

std::string UpperName(std::string_view name);

template <typename Record>
std::string Collection<Record>::UpperKey(std::string_view name) {
  return UpperName(name);
}

}  // namespace vigil

#endif  // VIGIL_SYMBOLS_SYMBOL_TABLE_H_
