// SharedText: the program's one copy of each shared text.
#include "runtime/shared_text.h"

#include <unordered_set>

namespace kestrune {

const std::string* SharedText::shared(std::string_view text) {
  // Nodes do not move: the pointers handed out stay valid as the set grows.
  static std::unordered_set<std::string> texts;
  return &*texts.emplace(text).first;
}

}  // namespace kestrune
