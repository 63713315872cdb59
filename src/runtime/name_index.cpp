// NameIndex: open addressing with linear probing over a power-of-two table.
#include "runtime/name_index.h"

namespace kestrune {

namespace {

// A table holds at most three quarters of its slots in use, values and removed marks.
constexpr size_t kMinSlots = 16;

size_t slotsFor(size_t count) {
  size_t slots = kMinSlots;
  while (slots / 4 * 3 < count) slots *= 2;
  return slots;
}

}  // namespace

uint32_t NameIndex::Hash(std::string_view name) {
  // FNV-1a over the folded bytes.
  uint32_t h = 2166136261u;
  for (char c : name) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b - 'A' + 'a');
    h = (h ^ b) * 16777619u;
  }
  return h;
}

bool NameIndex::SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

void NameIndex::Clear() {
  slots_.clear();
  slots_.shrink_to_fit();
  live_ = used_ = 0;
}

void NameIndex::Reserve(size_t count) {
  if (slotsFor(count) > slots_.size()) rebuild(count);
}

void NameIndex::rebuild(size_t count) {
  std::vector<Slot> old;
  old.swap(slots_);
  slots_.assign(slotsFor(count), Slot{});
  used_ = live_ = 0;
  for (const Slot& slot : old)
    if (slot.value != kEmpty && slot.value != kRemoved) Add(slot.hash, slot.value);
}

void NameIndex::Add(uint32_t hash, Value value) {
  if (slots_.empty() || (used_ + 1) > slots_.size() / 4 * 3) rebuild(live_ + live_ / 2 + 1);  // removed marks go; a full table doubles
  const size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].value != kEmpty) i = (i + 1) & mask;
  slots_[i] = Slot{hash, value};
  ++live_;
  ++used_;
}

bool NameIndex::Remove(uint32_t hash, Value value) {
  if (slots_.empty()) return false;
  const size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask; slots_[i].value != kEmpty; i = (i + 1) & mask) {
    if (slots_[i].value == value && slots_[i].hash == hash) {
      slots_[i].value = kRemoved;
      --live_;
      return true;
    }
  }
  return false;
}

}  // namespace kestrune
