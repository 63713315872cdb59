// Message translation hook used by the kit's exceptions.
#include "runtime/exceptions.h"

namespace kestrune {

namespace {
std::function<std::string(std::string_view)>& hook() {
  static std::function<std::string(std::string_view)> h;
  return h;
}
}  // namespace

std::string TranslateMessage(std::string_view english) {
  auto& h = hook();
  return h ? h(english) : std::string(english);
}

void SetTranslateMessageHook(std::function<std::string(std::string_view)> h) { hook() = std::move(h); }

}  // namespace kestrune
