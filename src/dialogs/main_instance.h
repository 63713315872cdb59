// The "main instance" rule of the main window's decorations: Tag -1 marks the one main
// instance of a class, and giving a second instance Tag -1 resets the previous one to 0.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "runtime/component.h"

namespace kestrune::dialogs {

template <class T>
class MainInstanceRegistry {
 public:
  static void Add(T* self) { live().push_back(self); }
  static void Remove(T* self) {
    auto& v = live();
    v.erase(std::remove(v.begin(), v.end(), self), v.end());
  }
  static void SetTag(T* self, int32_t tag) {
    if (tag == -1)
      for (T* other : live())
        if (other != self && other->Tag() == -1) other->TComponent::SetTag(0);
    self->TComponent::SetTag(tag);
  }
  // The instance whose Tag is -1, or null.
  static T* Main() {
    for (T* t : live())
      if (t->Tag() == -1) return t;
    return nullptr;
  }

 private:
  static std::vector<T*>& live() {
    static std::vector<T*> instances;
    return instances;
  }
};

}  // namespace kestrune::dialogs
