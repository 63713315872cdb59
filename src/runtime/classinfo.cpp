// Class metadata lookups and the class registry.
#include "runtime/classinfo.h"

#include <cctype>

namespace kestrune {

bool SameText(std::string_view a, std::string_view b) {
  // ASCII letters only, as the C locale's tolower, without a library call per character:
  // name lookups compare every component name of a form.
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

int EnumType::IndexOf(std::string_view value) const {
  for (size_t i = 0; i < values.size(); ++i)
    if (SameText(values[i], value)) return static_cast<int>(i);
  return -1;
}

std::optional<int32_t> IdentMap::ToInt(std::string_view ident) const {
  for (const auto& [name, v] : entries)
    if (SameText(name, ident)) return v;
  return std::nullopt;
}

std::optional<std::string> IdentMap::ToIdent(int32_t value) const {
  for (const auto& [name, v] : entries)
    if (v == value) return std::string(name);
  return std::nullopt;
}

bool PropInfo::IsReadOnly() const {
  switch (kind) {
    case PropKind::Integer: case PropKind::Boolean: case PropKind::Enum: case PropKind::Set: return !setOrd;
    case PropKind::String: return !setStr;
    case PropKind::Component: return !setRef;
    default: return false;
  }
}

bool ClassInfo::InheritsFrom(const ClassInfo& other) const {
  for (const ClassInfo* c = this; c; c = c->parent)
    if (c == &other) return true;
  return false;
}

const PropInfo* ClassInfo::FindProp(std::string_view n) const {
  for (const ClassInfo* c = this; c; c = c->parent)
    for (const PropInfo& p : c->props)
      if (SameText(p.name, n)) return &p;
  return nullptr;
}

std::vector<const PropInfo*> ClassInfo::AllProps() const {
  std::vector<const ClassInfo*> chain;
  for (const ClassInfo* c = this; c; c = c->parent) chain.insert(chain.begin(), c);
  std::vector<const PropInfo*> out;
  for (const ClassInfo* c : chain)
    for (const PropInfo& p : c->props) {
      // A redeclared property (new default in a descendant) replaces the ancestor's.
      bool replaced = false;
      for (auto& existing : out)
        if (SameText(existing->name, p.name)) { existing = &p; replaced = true; }
      if (!replaced) out.push_back(&p);
    }
  return out;
}

ClassRegistry& ClassRegistry::Global() {
  static ClassRegistry registry;
  return registry;
}

void ClassRegistry::Register(const ClassInfo& info) {
  for (const ClassInfo* c : classes_)
    if (c == &info) return;
  classes_.push_back(&info);
}

const ClassInfo* ClassRegistry::Find(std::string_view n) const {
  for (const ClassInfo* c : classes_)
    if (SameText(c->name, n)) return c;
  return nullptr;
}

}  // namespace kestrune
