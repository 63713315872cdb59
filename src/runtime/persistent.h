// TPersistent: the base of every object with published properties.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/classinfo.h"

namespace kestrune {

class Reader;
class Writer;

// Receives the values a class stores under names of its own (a string list's "Strings",
// a picture's "Data", an install file's "UniqueID").
class Filer {
 public:
  virtual ~Filer() = default;
  // A value written with the ordinary value tags.
  virtual void DefineProperty(const std::string& name, const std::function<void(Reader&)>& read,
                              const std::function<void(Writer&)>& write, bool hasData) = 0;
  // A tag-10 binary value.
  virtual void DefineBinaryProperty(const std::string& name,
                                    const std::function<void(const std::vector<uint8_t>&)>& read,
                                    const std::function<std::vector<uint8_t>()>& write, bool hasData) = 0;
};

// Declares the class metadata accessors of a persistent class.
#define KESTRUNE_CLASS()                     \
 public:                                     \
  static const ::kestrune::ClassInfo& classInfo(); \
  const ::kestrune::ClassInfo& GetClassInfo() const override { return classInfo(); }

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  static const ClassInfo& classInfo();
  virtual const ClassInfo& GetClassInfo() const { return classInfo(); }
  const std::string& ClassName() const { return GetClassInfo().name; }
  bool InheritsFrom(const ClassInfo& info) const { return GetClassInfo().InheritsFrom(info); }
  template <class T>
  bool Is() const { return InheritsFrom(T::classInfo()); }

  // Copies the state of source into this object; raises EConvertError
  // "Cannot assign a %s to a %s" when the classes do not fit.
  virtual void Assign(const TPersistent& source);
  // Declares values stored under own names (see Filer).
  virtual void DefineProperties(Filer& filer) {}

 protected:
  virtual void AssignTo(TPersistent& dest) const;
};

template <class T>
T* As(TPersistent* p) {
  return p && p->Is<T>() ? static_cast<T*>(p) : nullptr;
}
template <class T>
const T* As(const TPersistent* p) {
  return p && p->Is<T>() ? static_cast<const T*>(p) : nullptr;
}

}  // namespace kestrune
