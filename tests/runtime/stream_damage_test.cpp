// Damaged script streams: every truncation and byte flips must end in a clear error of
// the kit's own exception classes, never a crash or a foreign exception.
#include <gtest/gtest.h>

#include "../fuzz/script_classes.h"
#include "runtime/exceptions.h"
#include "runtime/reader.h"
#include "runtime/text_form.h"

namespace kestrune {
namespace {

using Bytes = std::vector<uint8_t>;

class StreamDamageTest : public ::testing::Test {
 protected:
  void SetUp() override { sample::RegisterSampleClasses(registry_); }

  // Reads bytes into a fresh root; true when the stream was accepted. Errors other than
  // the kit's exceptions propagate and fail the test.
  bool read(const Bytes& bytes, std::string* message = nullptr) {
    sample::TSampleRoot root(nullptr);
    try {
      Reader(bytes, registry_).ReadRootComponent(&root);
      return true;
    } catch (const Exception& e) {
      if (message) *message = e.Message();
      return false;
    }
  }

  ClassRegistry registry_;
  const Bytes script_ = ObjectTextToBinary(sample::SampleScriptText());
};

TEST_F(StreamDamageTest, EveryTruncationIsRejectedWithAStreamError) {
  ASSERT_TRUE(read(script_));
  for (size_t n = 0; n < script_.size(); ++n) {
    Bytes cut(script_.begin(), script_.begin() + n);
    std::string message;
    EXPECT_FALSE(read(cut, &message)) << "accepted the first " << n << " bytes";
    EXPECT_NE(message.find("Invalid stream format"), std::string::npos) << n << ": " << message;
    EXPECT_THROW(ObjectBinaryToText(cut), EReadError) << n;
  }
}

TEST_F(StreamDamageTest, FlippedBytesGiveAcceptedStreamsOrKitErrors) {
  int rejected = 0;
  for (size_t at = 0; at < script_.size(); ++at) {
    for (uint8_t mask : {0x01, 0x10, 0x80, 0xFF}) {
      Bytes damaged = script_;
      damaged[at] ^= mask;
      std::string message;
      if (!read(damaged, &message)) {
        ++rejected;
        EXPECT_FALSE(message.empty()) << at;
      }
      try {
        std::string text = ObjectBinaryToText(damaged);
        // Whatever prints reads back and prints the same.
        EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(text)), text) << at;
      } catch (const EReadError&) {
      }
    }
  }
  EXPECT_GT(rejected, 0);
}

}  // namespace
}  // namespace kestrune
