// Fuzzes the binary stream reader with test classes using every property kind. Errors
// must be the kit's exceptions; a stream that reads must write and read again stably.
#include <cstdlib>

#include "runtime/exceptions.h"
#include "runtime/reader.h"
#include "runtime/writer.h"
#include "script_classes.h"

using namespace kestrune;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ClassRegistry* registry = [] {
    auto* r = new ClassRegistry;
    sample::RegisterSampleClasses(*r);
    return r;
  }();
  std::vector<uint8_t> written;
  {
    sample::TSampleRoot root(nullptr);
    try {
      Reader(data, size, *registry).ReadRootComponent(&root);
    } catch (const Exception&) {
      return 0;
    }
    written = WriteComponentStream(&root);
  }
  // What the writer made of the components reads back into the same components.
  sample::TSampleRoot again(nullptr);
  Reader(written, *registry).ReadRootComponent(&again);
  if (WriteComponentStream(&again) != written) std::abort();
  return 0;
}
