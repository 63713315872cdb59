// Linked into every shipped program (cmake/KestruneShipped.cmake): the parts of the C++
// runtime a shipped program replaces with smaller ones.
//
// libstdc++'s default terminate handler is its "verbose" one: it prints the type of an
// uncaught exception, demangled, on standard error, and so links in the whole C++
// demangler (about 50 KB of a shipped program's code and unwind tables). A shipped Windows
// program has no console to print on, so here the handler ends the program as the verbose
// one ends it after printing: with std::abort. Defined here, libstdc++'s own (and the
// demangler) stay out of the link; std::set_terminate still works.
//
// The library's own errors (an index out of range, a string grown past its limit, a
// number std::stoi cannot read, ...) are thrown through std::__throw_out_of_range and its
// siblings. libstdc++ throws std::out_of_range and the other std::logic_error and
// std::runtime_error classes there, which keep their text in a reference-counted string of
// their own: with it comes a second std::string implementation (about 45 KB of code and
// unwind tables). Here the same functions throw a LibraryError, a std::exception with the
// same text: the kit catches library errors only as std::exception, so every handler sees
// what it saw before, what() included. The memory and type errors are thrown as before.
#include <cxxabi.h>

#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

class LibraryError : public std::exception {
 public:
  explicit LibraryError(const char* text) {
    size_t n = 0;
    for (; text && text[n] && n + 1 < sizeof text_; ++n) text_[n] = text[n];
    text_[n] = '\0';
  }
  const char* what() const noexcept override { return text_; }

 private:
  char text_[256];
};

// The text of __throw_out_of_range_fmt: its format knows %s, %zu and %% (as libstdc++'s).
void formatText(char* out, size_t room, const char* format, va_list args) {
  size_t n = 0;
  auto put = [&](char c) {
    if (n + 1 < room) out[n++] = c;
  };
  for (const char* f = format; *f; ++f) {
    if (*f != '%') {
      put(*f);
    } else if (f[1] == 's') {
      for (const char* s = va_arg(args, const char*); s && *s; ++s) put(*s);
      ++f;
    } else if (f[1] == 'z' && f[2] == 'u') {
      char digits[24];
      int d = 0;
      for (size_t v = va_arg(args, size_t); d == 0 || v != 0; v /= 10) digits[d++] = static_cast<char>('0' + v % 10);
      while (d > 0) put(digits[--d]);
      f += 2;
    } else if (f[1] == '%') {
      put('%');
      ++f;
    } else {
      put(*f);
    }
  }
  out[n] = '\0';
}

}  // namespace

namespace std {
void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_logic_error(const char* text) { throw LibraryError(text); }
void __throw_domain_error(const char* text) { throw LibraryError(text); }
void __throw_invalid_argument(const char* text) { throw LibraryError(text); }
void __throw_length_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range(const char* text) { throw LibraryError(text); }
void __throw_runtime_error(const char* text) { throw LibraryError(text); }
void __throw_range_error(const char* text) { throw LibraryError(text); }
void __throw_overflow_error(const char* text) { throw LibraryError(text); }
void __throw_underflow_error(const char* text) { throw LibraryError(text); }
void __throw_out_of_range_fmt(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  formatText(text, sizeof text, format, args);
  va_end(args);
  throw LibraryError(text);
}
}  // namespace std
