// Runtime class metadata: class name, parent, factory and published properties. The stream
// reader, writer, text form and translator all work from this one description.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace kestrune {

class TPersistent;
class TComponent;
class TStrings;
class TPicture;
struct ClassInfo;

// Kinds of published properties.
enum class PropKind { Integer, Boolean, Enum, Set, String, Component, Object, Strings, Picture, Event };

// Value names of an enumeration (ordinal = index) for enumeration and set properties.
struct EnumType {
  std::string name;
  std::vector<std::string> values;
  // Index of a value name (case-insensitive), -1 when unknown.
  int IndexOf(std::string_view value) const;
};

// Named integer constants accepted for an integer property (clWindowText, EASTEUROPE_CHARSET).
struct IdentMap {
  std::vector<std::pair<std::string, int32_t>> entries;
  std::optional<int32_t> ToInt(std::string_view ident) const;
  std::optional<std::string> ToIdent(int32_t value) const;
};

// One published property with type-erased accessors. Ordinal kinds (integer, boolean,
// enumeration, set as bit mask) use getOrd/setOrd; strings getStr/setStr; references
// getRef/setRef; owned sub-objects getObj. The record is constant data: the name and the
// string default refer to literals, the accessors plain functions (one small function per
// accessor made by prop<>), so a class's table is copied into place, not built by code.
struct PropInfo {
  using GetOrd = int64_t (*)(const TPersistent&);
  using SetOrd = void (*)(TPersistent&, int64_t);
  using GetStr = std::string (*)(const TPersistent&);
  using SetStr = void (*)(TPersistent&, const std::string&);
  using GetRef = TComponent* (*)(const TPersistent&);
  using SetRef = void (*)(TPersistent&, TComponent*);
  using GetObj = TPersistent* (*)(const TPersistent&);
  using Stored = bool (*)(const TPersistent&);

  std::string_view name;
  PropKind kind = PropKind::Integer;
  bool alwaysStored = false;
  const EnumType* enumType = nullptr;
  const IdentMap* idents = nullptr;
  // Class of a referenced component or owned sub-object, looked up lazily so that a class
  // may refer to itself.
  const ClassInfo& (*refClassOf)() = nullptr;
  const ClassInfo* RefClass() const { return refClassOf ? &refClassOf() : nullptr; }
  std::optional<int64_t> ordDefault;   // no value: always stored
  std::string_view strDefault;         // strings are stored when they differ from it
  GetOrd getOrd = nullptr;
  SetOrd setOrd = nullptr;
  GetStr getStr = nullptr;
  SetStr setStr = nullptr;
  GetRef getRef = nullptr;
  SetRef setRef = nullptr;
  GetObj getObj = nullptr;
  Stored stored = nullptr;  // optional extra "is stored" test

  constexpr PropInfo&& Default(int64_t v) && { ordDefault = v; return std::move(*this); }
  constexpr PropInfo&& DefaultStr(const char* v) && { strDefault = v; return std::move(*this); }
  constexpr PropInfo&& AlwaysStored() && { alwaysStored = true; return std::move(*this); }
  constexpr PropInfo&& Idents(const IdentMap& m) && { idents = &m; return std::move(*this); }
  constexpr PropInfo&& StoredIf(Stored f) && { stored = f; return std::move(*this); }
  bool IsReadOnly() const;
};

using ComponentFactory = TComponent* (*)(TComponent* owner);

struct ClassInfo {
  std::string name;
  const ClassInfo* parent = nullptr;
  ComponentFactory factory = nullptr;  // null for classes that are not created by the reader
  std::vector<PropInfo> props;

  bool InheritsFrom(const ClassInfo& other) const;
  // Finds a published property of this class or an ancestor (case-insensitive).
  const PropInfo* FindProp(std::string_view name) const;
  // All published properties, ancestors first, in declaration order.
  std::vector<const PropInfo*> AllProps() const;
};

// Table of the classes a stream may name.
class ClassRegistry {
 public:
  static ClassRegistry& Global();
  void Register(const ClassInfo& info);
  const ClassInfo* Find(std::string_view name) const;  // case-insensitive; null when absent
  std::vector<const ClassInfo*> All() const { return classes_; }

 private:
  std::vector<const ClassInfo*> classes_;
};

// A set of enumeration values (bit i = ordinal i).
template <class E>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> items) {
    for (E e : items) bits_ |= bit(e);
  }
  static constexpr TSet FromBits(uint32_t b) { TSet s; s.bits_ = b; return s; }
  constexpr uint32_t Bits() const { return bits_; }
  constexpr bool Contains(E e) const { return (bits_ & bit(e)) != 0; }
  constexpr bool Empty() const { return bits_ == 0; }
  constexpr TSet& Include(E e) { bits_ |= bit(e); return *this; }
  constexpr TSet& Exclude(E e) { bits_ &= ~bit(e); return *this; }
  constexpr bool operator==(const TSet&) const = default;

 private:
  static constexpr uint32_t bit(E e) { return 1u << static_cast<unsigned>(e); }
  uint32_t bits_ = 0;
};

bool SameText(std::string_view a, std::string_view b);

// An event property: published, never streamed.
PropInfo eventProp(const char* name);

}  // namespace kestrune
