// One gzip member in memory: how the shipped programs carry their large resources (the
// theme picture, the install script), written by the build (cmake/gzip-file.cmake) or by
// make-setup and inflated by the program that carries them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kestrune::platform {

// True when the bytes begin as a gzip member does (its magic and the deflate method).
bool IsGzipMember(std::span<const uint8_t> bytes);

// The bytes of one complete gzip member inflated whole; nullopt when they are not exactly
// one intact member (damaged, cut short, followed by more bytes) or would inflate to more
// than maxSize bytes. Never reserves or writes more than maxSize bytes, whatever the
// member states.
std::optional<std::vector<uint8_t>> InflateGzipMember(std::span<const uint8_t> member, size_t maxSize);

// The bytes as one gzip member at the highest compression level, the same bytes for the
// same input on every system (no time, no name, "unknown" system in the header).
std::vector<uint8_t> DeflateGzipMember(std::span<const uint8_t> bytes);

}  // namespace kestrune::platform
