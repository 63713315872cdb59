// Helpers of the archive tests: files with given bytes, sample data.
#pragma once
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/archive_names.h"
#include "common/files.h"
#include "platform/files.h"

namespace kestrune::test {

using Bytes = std::vector<uint8_t>;

inline void writeFile(const std::string& path, const Bytes& data) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                               static_cast<std::streamsize>(data.size()));
}

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline Bytes randomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  Bytes b(n);
  for (auto& c : b) c = static_cast<uint8_t>(rng());
  return b;
}

inline Bytes textBytes(size_t n, uint32_t seed) {
  static const char* const words[] = {"setup ", "archive ", "volume ", "Zarvotill ", "header\r\n", "the ", "of "};
  std::mt19937 rng(seed);
  Bytes b;
  while (b.size() < n) {
    const char* w = words[rng() % 7];
    while (*w && b.size() < n) b.push_back(static_cast<uint8_t>(*w++));
  }
  return b;
}

}  // namespace kestrune::test
