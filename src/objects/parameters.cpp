// Parameter objects, the engine seam's globals and the network abort flag.
#include "objects/parameters.h"

#include <cmath>

#include "objects/engine_seam.h"
#include "runtime/published.h"

namespace kestrune {

#define KESTRUNE_PLAIN_CLASS(Name)                                                   \
  const ClassInfo& Name::classInfo() {                                               \
    static const ClassInfo info{#Name, &TPersistent::classInfo(), nullptr, {}};      \
    return info;                                                                     \
  }
KESTRUNE_PLAIN_CLASS(TList)
KESTRUNE_PLAIN_CLASS(TMessageParameter)
KESTRUNE_PLAIN_CLASS(TDiskParameter)
KESTRUNE_PLAIN_CLASS(TDownloadStatusParameter)

int32_t RoundPercent(double part, double whole) {
  if (whole == 0 || !std::isfinite(part / whole)) return 0;
  double v = std::nearbyint(part / whole * 100.0);  // default rounding mode: ties to even
  if (v > 2147483647.0 || v < -2147483648.0) return 0;
  return static_cast<int32_t>(v);
}

}  // namespace kestrune
