// Setting a resource of a 32-bit PE program file in memory by laying out its resource
// section anew: the output is the program with exactly the resources it had, the one
// given replaced or added, and no room left over. The system's resource update keeps the
// old section's size, so replacing a large resource with a small one left the large one's
// bytes as dead space in every program made from the kit's setup program.
#pragma once
#include <cstdint>
#include <optional>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace kestrune::platform::pe {

// A program file this code cannot rewrite: not a 32-bit PE image, a damaged resource
// directory, a signed file, or sections after the resource section that hold more than
// the relocations and discardable data (they would have to move).
// (A std::exception with its own text, not a std::runtime_error: the shipped programs do
// without the standard's error classes, see programs/shipped_terminate.cpp.)
class ResourceLayoutError : public std::exception {
 public:
  explicit ResourceLayoutError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// The data of the image's RCDATA resource of that name (compared ignoring ASCII case, as
// the resource compiler stores names in upper case; the lowest language when several);
// nullopt when it has none. Raises ResourceLayoutError for an image it cannot read.
std::optional<std::vector<uint8_t>> FindRcData(const std::vector<uint8_t>& image, std::string_view name);

// The image with its RCDATA resource of that name (every language of it) replaced by one
// language-neutral resource holding data, or with that resource added. The resource
// section is written anew and sized to fit; the sections after it (relocations, debug
// link) move with it, and the header's image size and checksum follow. Raises
// ResourceLayoutError for an image it cannot rewrite.
std::vector<uint8_t> WithRcData(const std::vector<uint8_t>& image, std::string_view name,
                                const std::vector<uint8_t>& data);

}  // namespace kestrune::platform::pe
