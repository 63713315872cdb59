// TGrabCall: hands every component call its container sends to the script's OnCall handler.
#pragma once
#include <functional>

#include "objects/cmp_TInstallContainer.h"

namespace kestrune {

using TExternalComponentCall = std::function<void(TInstallContainer* Container, int ComponentCall, TPersistent* PO)>;

class TGrabCall : public TInstallObject {
  KESTRUNE_CLASS()
 public:
  explicit TGrabCall(TComponent* owner) : TInstallObject(owner) {}
  int RegisteredType() const override { return rt::Dialog; }
  void HandleMessage(TInstallContainer* container, int componentCall, TPersistent* po) override;

  TExternalComponentCall OnCall;
};

}  // namespace kestrune
