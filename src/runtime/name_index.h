// NameIndex: finds the items of a list by name, names compared with their ASCII letters
// folded to one case (as SameText compares them). The list keeps the names; the index
// keeps, per item, only the name's hash and a value that leads back to the item (an index
// or a pointer), in one table of slots. A script or archive of thousands of items is
// looked up by name once per item: a table of nodes, each with its own copy of the name,
// cost about 100 bytes an item; this costs 8 to 11 (16 to 22 on 64-bit hosts).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kestrune {

class NameIndex {
 public:
  using Value = uintptr_t;  // never 0 nor ~0

  // The hash of a name with its ASCII letters folded to lower case.
  static uint32_t Hash(std::string_view name);
  // True when the names are equal with their ASCII letters folded (as Hash folds them).
  static bool SameName(std::string_view a, std::string_view b);

  size_t Count() const { return live_; }
  void Clear();
  // Makes room for count values without growing again.
  void Reserve(size_t count);
  // Adds value under hash (other values may have the same hash, or the same name).
  void Add(uint32_t hash, Value value);
  // Takes value, added under hash, out; false when it is not there.
  bool Remove(uint32_t hash, Value value);
  // Calls visit(value) for each value added under hash until it returns true; true when it
  // did. Values come in no particular order.
  template <class Visit>
  bool Any(uint32_t hash, Visit&& visit) const {
    if (slots_.empty()) return false;
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
      const Slot& slot = slots_[i];
      if (slot.value == kEmpty) return false;
      if (slot.value != kRemoved && slot.hash == hash && visit(slot.value)) return true;
    }
  }

 private:
  struct Slot {
    uint32_t hash = 0;
    Value value = kEmpty;
  };
  static constexpr Value kEmpty = 0;
  static constexpr Value kRemoved = ~Value{0};
  // Builds the table anew with at least room for count values (and no removed marks).
  void rebuild(size_t count);

  std::vector<Slot> slots_;  // a power of two in size, at most three quarters in use
  size_t live_ = 0;          // values
  size_t used_ = 0;          // values and removed marks
};

}  // namespace kestrune
