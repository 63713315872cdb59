// The message of the kit's exception a call raises, for tests that compare error texts.
#pragma once
#include <functional>
#include <string>

#include "runtime/exceptions.h"

namespace kestrune::test {

// The message of the kestrune::Exception raised by f, or "(nothing raised)".
inline std::string messageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(nothing raised)";
}

}  // namespace kestrune::test
