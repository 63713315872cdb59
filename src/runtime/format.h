// Delphi-style message formatting (%s, %d, %u, %x, %%) for the kit's error texts.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrune {

// One argument of Format: an integer or a text. A text is referred to, not copied: an
// argument list lives only as long as the call it is written for (the texts it names, such
// as a name returned by value, live until that call returns), and a copy of each text at
// every call site cost more code than the formatting itself.
class FmtArg {
 public:
  FmtArg(int v) : isInt_(true), int_(v) {}
  FmtArg(long v) : isInt_(true), int_(v) {}
  FmtArg(long long v) : isInt_(true), int_(v) {}
  FmtArg(unsigned v) : isInt_(true), int_(v) {}
  FmtArg(unsigned long v) : isInt_(true), int_(static_cast<long long>(v)) {}
  FmtArg(unsigned long long v) : isInt_(true), int_(static_cast<long long>(v)) {}
  FmtArg(const char* v) : str_(v ? v : "") {}
  FmtArg(const std::string& v) : str_(v) {}
  FmtArg(std::string_view v) : str_(v) {}
  bool isInt() const { return isInt_; }
  long long asInt() const { return int_; }
  std::string_view asString() const { return str_; }

 private:
  bool isInt_ = false;
  long long int_ = 0;
  std::string_view str_;
};

// Formats like Delphi's Format: %s, %d, %u, %x with optional '-', width and precision,
// and %%. A missing argument or a kind mismatch is formatted leniently (never throws),
// because formatting runs while an error is already being reported.
std::string Format(std::string_view fmt, std::initializer_list<FmtArg> args);

}  // namespace kestrune
