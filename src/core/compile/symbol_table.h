// The five ordered collections of declared records and their name lookups.
//
// Every collection keeps declaration order; a lookup finds the first record
// whose name matches. Each collection carries an index by upper-cased name so
// that lookups stay constant-time however many names a script declares.
#ifndef VIGIL_CORE_COMPILE_SYMBOL_TABLE_H_
#define VIGIL_CORE_COMPILE_SYMBOL_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/compile/records.h"
#include "core/compile/source_lines.h"

namespace vigil {

// Index of names by their upper-case form, searchable with a string_view in
// any case. Open addressing over a power-of-two table kept at most half full;
// the hash folds case as it reads, so a lookup neither copies nor upper-cases
// the name it is given.
class NameIndex {
 public:
  void Clear();
  // Keeps the first position stored for a name.
  void Add(std::string_view name, size_t position);
  // The position of `name`, compared regardless of case, or npos.
  size_t Find(std::string_view name) const;

  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  struct Slot {
    uint64_t hash = 0;
    size_t entry = npos;  // into keys_ and positions_; npos when free
  };
  // The slot that holds `name`, or the free slot where it would go.
  size_t SlotOf(std::string_view name, uint64_t hash) const;
  void Grow();

  std::vector<std::string> keys_;  // upper case
  std::vector<size_t> positions_;
  std::vector<Slot> slots_;
};

// An ordered collection with a first-match index by upper-cased name.
template <typename Record>
class Collection {
 public:
  void Clear() {
    records_.clear();
    index_.Clear();
  }
  void Add(Record record) {
    index_.Add(record.name, records_.size());
    records_.push_back(std::move(record));
  }
  // The first record whose name equals `name` regardless of case.
  const Record* Find(std::string_view name) const {
    size_t at = index_.Find(name);
    return at == NameIndex::npos ? nullptr : &records_[at];
  }
  Record* Find(std::string_view name) {
    size_t at = index_.Find(name);
    return at == NameIndex::npos ? nullptr : &records_[at];
  }
  bool Contains(std::string_view name) const { return index_.Find(name) != NameIndex::npos; }

  const std::vector<Record>& records() const { return records_; }
  std::vector<Record>& records() { return records_; }
  size_t size() const { return records_.size(); }
  bool empty() const { return records_.empty(); }

 private:
  std::vector<Record> records_;
  NameIndex index_;
};

struct SymbolTable {
  Collection<C_Module> modules;  // modules and partitions
  Collection<C_parameter> parameters;
  Collection<C_mark> marks;
  Collection<C_registry> registers;
  Collection<C_registry> timers;
};

enum class SymbolKind { kModule, kPartition, kParameter, kMark, kRegister, kTimer };
std::string_view SymbolKindName(SymbolKind kind);  // "module", "archive mark", ...

// A declared name: its record's id, where it is declared and where it is used.
struct Symbol {
  SymbolKind kind = SymbolKind::kModule;
  std::string name;  // as declared
  int id = 0;        // the module id, or the parameter, mark, register or timer id
  SourceSite declaration;
  std::vector<SourceSite> uses;  // in script order
};

}  // namespace vigil

#endif  // VIGIL_CORE_COMPILE_SYMBOL_TABLE_H_
