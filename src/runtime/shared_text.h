// SharedText: a text that equal texts share. A script of thousands of files names the
// same few source folders thousands of times; each object holding its own copy of such a
// folder costs it a heap block, where a shared one costs a pointer. The copies live as
// long as the program (they are few: one per distinct text). Objects that hold shared
// texts are made and changed on one thread.
#pragma once
#include <string>
#include <string_view>

namespace kestrune {

class SharedText {
 public:
  SharedText() = default;
  SharedText(std::string_view text) : text_(shared(text)) {}  // NOLINT: stands for a string
  SharedText& operator=(std::string_view text) {
    text_ = shared(text);
    return *this;
  }
  const std::string& str() const { return *text_; }
  bool empty() const { return text_->empty(); }
  void clear() { text_ = shared({}); }
  operator const std::string&() const { return *text_; }  // NOLINT: reads as a string
  bool operator==(std::string_view other) const { return *text_ == other; }

 private:
  static const std::string* shared(std::string_view text);
  const std::string* text_ = shared({});
};

}  // namespace kestrune
