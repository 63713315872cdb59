// The class reference, written from the runtime metadata (ClassInfo, PropInfo): the names,
// kinds, value names and stored defaults come from there; only the one-line purposes of
// the classes and of the properties a script author sets most are kept apart, in
// class_purposes.cpp.
#include "class_reference.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "class_purposes.h"
#include "runtime/classinfo.h"

namespace kestrune::tools {

namespace {

std::string anchor(const std::string& name) {
  std::string a;
  for (char c : name) a += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return a;
}

std::string link(const ClassInfo* c) { return c ? "[" + c->name + "](#" + anchor(c->name) + ")" : ""; }

std::string joined(const std::vector<std::string>& items, const char* separator = ", ") {
  std::string out;
  for (const std::string& s : items) out += (out.empty() ? "" : separator) + s;
  return out;
}

std::string setText(const EnumType& type, int64_t bits) {
  std::vector<std::string> items;
  for (size_t i = 0; i < type.values.size() && i < 32; ++i)
    if (bits & (int64_t{1} << i)) items.emplace_back(type.values[i]);
  return "[" + joined(items) + "]";
}

std::string typeText(const PropInfo& p) {
  switch (p.kind) {
    case PropKind::Integer: return "Integer";
    case PropKind::Boolean: return "Boolean";
    case PropKind::Enum: return std::string(p.enumType->name);
    case PropKind::Set: return "set of " + std::string(p.enumType->name);
    case PropKind::String: return "String";
    case PropKind::Component: return "reference to " + link(p.RefClass());
    case PropKind::Object: return "owned " + link(p.RefClass()) + " (write `" + std::string(p.name) + ".Property = ...`)";
    case PropKind::Strings: return "string list (write `" + std::string(p.name) + ".Strings = ('line' 'line')`)";
    case PropKind::Picture: return "picture (write `" + std::string(p.name) + ".Data = {...}`)";
    case PropKind::Event: return "event";
  }
  return "?";
}

// The value a property has when the script does not set it, as the stream metadata knows it.
std::string defaultText(const PropInfo& p) {
  switch (p.kind) {
    case PropKind::Integer:
    case PropKind::Boolean:
    case PropKind::Enum:
    case PropKind::Set: {
      if (!p.ordDefault) return "(always written)";
      const int64_t v = *p.ordDefault;
      if (p.kind == PropKind::Boolean) return v ? "True" : "False";
      if (p.kind == PropKind::Enum)
        return v >= 0 && static_cast<size_t>(v) < p.enumType->values.size()
                   ? std::string(p.enumType->values[static_cast<size_t>(v)])
                   : std::to_string(v);
      if (p.kind == PropKind::Set) return setText(*p.enumType, v);
      if (p.idents)
        if (auto ident = p.idents->ToIdent(static_cast<int32_t>(v))) return *ident;
      return std::to_string(v);
    }
    case PropKind::String: return "'" + std::string(p.strDefault) + "'";
    case PropKind::Component: return "nil";
    case PropKind::Event: return "(not stored in a script)";
    default: return "";
  }
}

std::string valuesText(const PropInfo& p) {
  if (p.enumType) return joined({p.enumType->values.begin(), p.enumType->values.end()});
  if (p.idents) {
    std::vector<std::string> names;
    for (const auto& [name, value] : p.idents->entries) names.emplace_back(name);
    return "a number or " + joined(names);
  }
  if (p.kind == PropKind::Boolean) return "True, False";
  if (p.kind == PropKind::Component) return "the name of a component of the script, or nil";
  return "";
}

// A table cell: a '|' would end it.
std::string cell(std::string text) {
  for (size_t i = 0; (i = text.find('|', i)) != std::string::npos; i += 2) text.replace(i, 1, "\\|");
  return text;
}

void propertyRow(const ClassInfo& owner, const PropInfo& p, const ClassInfo* declaredIn, std::ostream& out) {
  const char* purpose = PropertyPurpose(owner, p.name);
  out << "| " << p.name << (p.IsReadOnly() && p.kind != PropKind::Event ? " (read-only)" : "") << " | "
      << cell(typeText(p)) << " | " << cell(defaultText(p)) << " | " << cell(valuesText(p)) << " | "
      << cell(purpose ? purpose : "");
  if (declaredIn) out << " | " << link(declaredIn);
  out << " |\n";
}

std::string purposeOf(const ClassInfo& c) {
  const char* purpose = ClassPurpose(c.name);
  return purpose ? purpose : "(no description)";
}

void classHead(const ClassInfo& c, bool isRoot, std::ostream& out) {
  out << "## " << c.name << "\n\n" << purposeOf(c) << "\n\n";
  std::vector<std::string> facts;
  if (c.parent) facts.push_back("Inherits from " + link(c.parent) + ".");
  if (c.factory) facts.push_back("A script may create it (`object Name: " + c.name + "`).");
  else if (!isRoot) facts.push_back("Not created by a script: a base class or an owned part.");
  out << joined(facts, " ") << "\n\n";
}

// The classes the reference covers: the script's root class, the registered ones, their ancestors and the classes
// of owned sub-objects (reached through dotted property names), sorted by name.
std::vector<const ClassInfo*> documentedClasses(const ClassRegistry& registry, const ClassInfo& root) {
  std::set<const ClassInfo*> seen;
  std::vector<const ClassInfo*> pending = registry.All();
  pending.push_back(&root);
  while (!pending.empty()) {
    const ClassInfo* c = pending.back();
    pending.pop_back();
    if (!c || !seen.insert(c).second) continue;
    if (c->parent) pending.push_back(c->parent);
    for (const PropInfo& p : c->props)
      if (p.kind == PropKind::Object || p.kind == PropKind::Strings || p.kind == PropKind::Picture)
        pending.push_back(p.RefClass());
  }
  std::vector<const ClassInfo*> out(seen.begin(), seen.end());
  std::sort(out.begin(), out.end(), [](const ClassInfo* a, const ClassInfo* b) { return a->name < b->name; });
  return out;
}

}  // namespace

void PrintClassReference(const ClassRegistry& registry, const ClassInfo& root, std::ostream& out) {
  const std::vector<const ClassInfo*> classes = documentedClasses(registry, root);
  out << "# Class reference\n\n"
         "Generated by `kestrune-script classes` from the kit's class metadata; do not edit by hand\n"
         "(`kestrune-script classes > docs/reference.md` writes it again). Each class lists the\n"
         "properties it declares; it also has those of the classes it inherits from. The default is\n"
         "the value a property has when the script does not set it (\"always written\": the kit\n"
         "writes the value whatever it is). `kestrune-script classes CLASS` shows one class with\n"
         "all its properties. The syntax of a script is in docs/text-form.md.\n\n";
  for (const ClassInfo* c : classes)
    out << "- " << link(c) << (c == &root ? " (the script's main form)" : c->factory ? "" : " (base or part)") << "\n";
  out << "\n";
  for (const ClassInfo* c : classes) {
    classHead(*c, c == &root, out);
    if (c->props.empty()) {
      out << "It declares no properties of its own.\n\n";
      continue;
    }
    std::vector<std::string> events;
    bool table = false;
    for (const PropInfo& p : c->props) {
      if (p.kind == PropKind::Event) {
        events.emplace_back(p.name);
        continue;
      }
      if (!table) out << "| Property | Type | Default | Values | For |\n|---|---|---|---|---|\n";
      table = true;
      propertyRow(*c, p, nullptr, out);
    }
    if (table) out << "\n";
    if (!events.empty()) out << "Events (set by a program, not stored in a script): " << joined(events) << ".\n\n";
  }
}

bool PrintClass(const ClassRegistry& registry, const ClassInfo& root, std::string_view name, std::ostream& out) {
  for (const ClassInfo* c : documentedClasses(registry, root)) {
    if (!SameText(c->name, name)) continue;
    classHead(*c, c == &root, out);
    out << "| Property | Type | Default | Values | For | Declared in |\n|---|---|---|---|---|---|\n";
    for (const PropInfo* p : c->AllProps()) {
      const ClassInfo* declaredIn = c;
      for (const ClassInfo* a = c; a; a = a->parent)
        for (const PropInfo& q : a->props)
          if (&q == p) declaredIn = a;
      propertyRow(*c, *p, declaredIn, out);
    }
    return true;
  }
  return false;
}

}  // namespace kestrune::tools
