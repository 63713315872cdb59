// The benchmark's host natively: peak memory from getrusage; no message pumps.
#include <sys/resource.h>

#include "bench_host.h"

namespace kestrune::bench {

uint64_t peakMemoryBytes() {
  struct rusage ru {};
  getrusage(RUSAGE_SELF, &ru);
  return static_cast<uint64_t>(ru.ru_maxrss) * 1024;
}

bool installPump(const std::string& kind) { return kind == "none"; }

}  // namespace kestrune::bench
