// TGrabCall.
#include "objects/cmp_GrabCall.h"

#include "runtime/published.h"

namespace kestrune {

const ClassInfo& TGrabCall::classInfo() {
  static constexpr PropInfo props[] = {
      prop<&TInstallObject::Container, &TInstallObject::SetContainer>("Container"),
      eventProp("OnCall")};
  static const ClassInfo info{"TGrabCall", &TInstallObject::classInfo(), create<TGrabCall>, props};
  return info;
}

void TGrabCall::HandleMessage(TInstallContainer* container, int componentCall, TPersistent* po) {
  TInstallObject::HandleMessage(container, componentCall, po);
  if (OnCall) OnCall(container, componentCall, po);
}

}  // namespace kestrune
