// Linked into every shipped program (cmake/KestruneShipped.cmake). libstdc++'s default
// terminate handler is its "verbose" one: it prints the type of an uncaught exception,
// demangled, on standard error, and so links in the whole C++ demangler (about 50 KB of a
// shipped program's code and unwind tables). A shipped Windows program has no console to
// print on, so here the handler ends the program as the verbose one ends it after
// printing: with std::abort. Defined here, libstdc++'s own (and the demangler) stay out of
// the link; std::set_terminate still works.
#include <cxxabi.h>

#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
