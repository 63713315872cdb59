// Fuzzes the configuration format of IDAPINST.DLL: input is either refused with
// ConfigError or parsed into a configuration whose written text parses back to itself,
// and merging it with itself changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "dbengine/idapi_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using kestrune::idapi::Config;
  Config config;
  try {
    config = Config::parse(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const kestrune::idapi::ConfigError&) {
    return 0;
  }
  const std::string text = config.text();
  if (Config::parse(text).text() != text) std::abort();
  Config merged = config;
  merged.merge(config, true);
  if (merged.text() != text) std::abort();
  return 0;
}
