// Fuzzes the loading of install scripts with the kit's install object classes (binary
// stream, or text form when the input does not start with the stream signature), then
// runs the walks that follow Container chains down the loaded tree. Errors must be the
// kit's exceptions; deep or circular chains must be refused at loading, not overflow the
// stack in a walk.
#include <cstring>
#include <functional>

#include "objects/cmp_TFileContainer.h"
#include "objects/register_objects.h"
#include "runtime/exceptions.h"
#include "runtime/reader.h"
#include "runtime/text_form.h"

using namespace kestrune;

namespace {

// The form that carries a script: install objects create the built-in specifiers on it.
class TFuzzForm : public TComponent {
  KESTRUNE_CLASS()
 public:
  TFuzzForm() : TComponent(nullptr) {}
  ~TFuzzForm() override { DestroyComponents(); }
  bool IsFormOrDataModule() const override { return true; }
};

const ClassInfo& TFuzzForm::classInfo() {
  static const ClassInfo info{"TFuzzForm", &TComponent::classInfo(), nullptr, {}};
  return info;
}

int walk(const TInstallContainer& c, int level) {
  if (level > kMaxInstallNesting) std::abort();  // the loaded tree must respect the limit
  int count = 1;
  for (const TInstallContainer* h : c.HelperList()) count += walk(*h, level + 1);
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const ClassRegistry* registry = [] {
    auto* r = new ClassRegistry;
    registerObjectClasses(*r);
    return r;
  }();
  std::vector<uint8_t> stream(data, data + size);
  TFuzzForm form;
  try {
    if (size < 4 || std::memcmp(data, "TPF0", 4) != 0)
      stream = ObjectTextToBinary(std::string_view(reinterpret_cast<const char*>(data), size));
    Reader(stream, *registry).ReadRootComponent(&form);
  } catch (const Exception&) {
    return 0;
  }
  int walked = 0;
  for (int i = 0; i < form.ComponentCount(); ++i) {
    auto* c = As<TInstallContainer>(form.Components(i));
    if (!c || c->ContainerRef()) continue;
    walked += walk(*c, 0);
    c->SetCurrentInstallType(TInstallType::itFull);
    if (auto* fc = As<TFileContainer>(c)) (void)fc->TotalSize(true);
  }
  // Every install object hangs below exactly one root.
  if (walked != InstallContainers().Count()) std::abort();
  return 0;
}
