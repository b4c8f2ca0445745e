// What ends the program when an exception reaches no handler: std::abort, at once. The C++
// library's own handler of this name first writes the exception's type, demangled, to standard
// error, which a Windows program has not got; defining it here keeps the library's out of the
// program, and with it the demangler and the C library's printf.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() {  // NOLINT: the library's name
  std::abort();
}
}  // namespace __gnu_cxx
