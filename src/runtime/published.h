// Builders of published property metadata (prop<Getter, Setter>("Name")).
#pragma once
#include <type_traits>

#include "runtime/classinfo.h"
#include "runtime/component.h"
#include "runtime/picture.h"
#include "runtime/strings.h"

namespace kestrune {

namespace meta {

template <class M>
struct MemberTraits;
template <class C, class T>
struct MemberTraits<T C::*> {
  using Class = C;
};

template <class T>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {
  using Enum = E;
};

// The value names of enumeration E, for a property record (see EnumTypeRef).
template <class E>
const EnumType& enumTypeOf() {
  return EnumTypeInfo(E{});
}

template <auto M, class C>
decltype(auto) read(const C& obj) {
  if constexpr (std::is_member_function_pointer_v<decltype(M)>) return (obj.*M)();
  else return (obj.*M);
}

template <auto M, class C, class V>
void write(C& obj, V&& v) {
  if constexpr (std::is_member_function_pointer_v<decltype(M)>) (obj.*M)(std::forward<V>(v));
  else obj.*M = std::forward<V>(v);
}

}  // namespace meta

// Builds a published property from a getter and a setter (member functions or data
// members). The kind follows the value type: int, bool, std::string, an enumeration
// (needs `const EnumType& EnumTypeInfo(E)` found by argument lookup), TSet<E>, a pointer to
// a component class (reference), or a pointer to an owned persistent sub-object.
template <auto Get, auto Set = nullptr>
constexpr PropInfo prop(const char* name) {
  using C = typename meta::MemberTraits<decltype(Get)>::Class;
  using V = std::remove_cvref_t<decltype(meta::read<Get>(std::declval<const C&>()))>;
  PropInfo p;
  p.name = name;
  constexpr bool hasSet = !std::is_same_v<decltype(Set), std::nullptr_t>;
  if constexpr (std::is_same_v<V, bool>) {
    p.kind = PropKind::Boolean;
    p.getOrd = [](const TPersistent& o) -> int64_t { return meta::read<Get>(static_cast<const C&>(o)) ? 1 : 0; };
    if constexpr (hasSet) p.setOrd = [](TPersistent& o, int64_t v) { meta::write<Set>(static_cast<C&>(o), v != 0); };
  } else if constexpr (std::is_integral_v<V>) {
    p.kind = PropKind::Integer;
    p.getOrd = [](const TPersistent& o) -> int64_t { return static_cast<int64_t>(meta::read<Get>(static_cast<const C&>(o))); };
    if constexpr (hasSet) p.setOrd = [](TPersistent& o, int64_t v) { meta::write<Set>(static_cast<C&>(o), static_cast<V>(v)); };
  } else if constexpr (std::is_enum_v<V>) {
    p.kind = PropKind::Enum;
    p.enumType = EnumTypeRef(&meta::enumTypeOf<V>);
    p.getOrd = [](const TPersistent& o) -> int64_t { return static_cast<int64_t>(meta::read<Get>(static_cast<const C&>(o))); };
    if constexpr (hasSet) p.setOrd = [](TPersistent& o, int64_t v) { meta::write<Set>(static_cast<C&>(o), static_cast<V>(v)); };
  } else if constexpr (meta::IsTSet<V>::value) {
    using E = typename meta::IsTSet<V>::Enum;
    p.kind = PropKind::Set;
    p.enumType = EnumTypeRef(&meta::enumTypeOf<E>);
    p.getOrd = [](const TPersistent& o) -> int64_t { return meta::read<Get>(static_cast<const C&>(o)).Bits(); };
    if constexpr (hasSet) p.setOrd = [](TPersistent& o, int64_t v) { meta::write<Set>(static_cast<C&>(o), V::FromBits(static_cast<uint32_t>(v))); };
  } else if constexpr (std::is_same_v<V, std::string>) {
    p.kind = PropKind::String;
    p.getStr = [](const TPersistent& o) -> std::string { return meta::read<Get>(static_cast<const C&>(o)); };
    if constexpr (hasSet) p.setStr = [](TPersistent& o, const std::string& v) { meta::write<Set>(static_cast<C&>(o), v); };
  } else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TComponent, std::remove_pointer_t<V>>) {
    using T = std::remove_pointer_t<V>;
    p.kind = PropKind::Component;
    p.refClassOf = &T::classInfo;
    p.getRef = [](const TPersistent& o) -> TComponent* { return meta::read<Get>(static_cast<const C&>(o)); };
    if constexpr (hasSet)
      p.setRef = [](TPersistent& o, TComponent* v) { meta::write<Set>(static_cast<C&>(o), static_cast<T*>(v)); };
  } else if constexpr (std::is_pointer_v<V> && std::is_base_of_v<TPersistent, std::remove_pointer_t<V>>) {
    using T = std::remove_pointer_t<V>;
    if constexpr (std::is_base_of_v<TStrings, T>) p.kind = PropKind::Strings;
    else if constexpr (std::is_base_of_v<TPicture, T>) p.kind = PropKind::Picture;
    else p.kind = PropKind::Object;
    p.refClassOf = &T::classInfo;
    p.getObj = [](const TPersistent& o) -> TPersistent* { return meta::read<Get>(static_cast<const C&>(o)); };
  } else {
    static_assert(sizeof(V) == 0, "unsupported published property type");
  }
  return p;
}

// Registers a component class's factory: TComponent* create<T>(owner).
template <class T>
TComponent* create(TComponent* owner) {
  return new T(owner);
}

}  // namespace kestrune
