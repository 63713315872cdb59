// Runtime class metadata: class name, parent, factory and published properties. The stream
// reader, writer, text form and translator all work from this one description.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
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

// Value names of an enumeration (ordinal = index) for enumeration and set properties. A
// constant: each enumeration keeps its names in a constant array,
//   static constexpr std::string_view values[] = {"alNone", "alTop", ...};
//   static constexpr EnumType t{"TAlign", values};
struct EnumType {
  std::string_view name;
  std::span<const std::string_view> values;
  // Index of a value name (case-insensitive), -1 when unknown.
  int IndexOf(std::string_view value) const;
};

// Named integer constants accepted for an integer property (clWindowText, EASTEUROPE_CHARSET),
// a constant like EnumType: an array of IdentEntry and the map over it.
struct IdentEntry {
  std::string_view name;
  int32_t value;
};
struct IdentMap {
  std::span<const IdentEntry> entries;
  std::optional<int32_t> ToInt(std::string_view ident) const;
  std::optional<std::string> ToIdent(int32_t value) const;
};

// An enumeration's value names as a property record holds them: the function that returns
// them (each enumeration's names live in its own file), so that the record stays a
// constant. Reads like a pointer to the EnumType (null when the property has none).
class EnumTypeRef {
 public:
  using Of = const EnumType& (*)();
  constexpr EnumTypeRef() = default;
  constexpr EnumTypeRef(std::nullptr_t) {}
  constexpr explicit EnumTypeRef(Of of) : of_(of) {}
  const EnumType* get() const { return of_ ? &of_() : nullptr; }
  const EnumType* operator->() const { return &of_(); }
  const EnumType& operator*() const { return of_(); }
  constexpr explicit operator bool() const { return of_ != nullptr; }

 private:
  Of of_ = nullptr;
};

// One published property with type-erased accessors. Ordinal kinds (integer, boolean,
// enumeration, set as bit mask) use getOrd/setOrd; strings getStr/setStr; references
// getRef/setRef; owned sub-objects getObj. The record is a constant: the name and the
// string default refer to literals, the accessors are plain functions (one small function
// per accessor made by prop<>), and each class keeps its properties as a constant array
// (`static constexpr PropInfo props[] = {prop<...>("Name"), ...}`), which the compiler
// lays out as data: no code builds a class's table.
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
  EnumTypeRef enumType;
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

// An event property: published, never streamed.
constexpr PropInfo eventProp(const char* name) {
  PropInfo p;
  p.name = name;
  p.kind = PropKind::Event;
  return p;
}

// A class's own published properties: a constant table (the usual form, no copy), or a
// list built at run time, which the PropList keeps.
class PropList {
 public:
  PropList() = default;
  template <size_t N>
  constexpr PropList(const PropInfo (&table)[N]) : data_(table), size_(N) {}
  template <size_t N>
  constexpr PropList(const std::array<PropInfo, N>& table) : data_(table.data()), size_(N) {}
  PropList(std::vector<PropInfo> built) : owned_(std::move(built)), data_(owned_.data()), size_(owned_.size()) {}
  PropList(std::initializer_list<PropInfo> built) : PropList(std::vector<PropInfo>(built)) {}
  PropList(const PropList& other)
      : owned_(other.owned_), data_(owned_.empty() ? other.data_ : owned_.data()), size_(other.size_) {}
  PropList& operator=(const PropList&) = delete;

  const PropInfo* begin() const { return data_; }
  const PropInfo* end() const { return data_ + size_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const PropInfo& operator[](size_t i) const { return data_[i]; }

 private:
  std::vector<PropInfo> owned_;
  const PropInfo* data_ = nullptr;
  size_t size_ = 0;
};

using ComponentFactory = TComponent* (*)(TComponent* owner);

struct ClassInfo {
  std::string name;
  const ClassInfo* parent = nullptr;
  ComponentFactory factory = nullptr;  // null for classes that are not created by the reader
  PropList props;

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

}  // namespace kestrune
