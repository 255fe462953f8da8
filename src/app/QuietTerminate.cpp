// A program that ends on an uncaught exception just ends. GCC's default terminate handler prints
// the exception's demangled type to the standard error stream, which a GUI program does not
// have; linked statically, it brings in the demangler and printf, a quarter of the exe. Defining
// it here keeps the library's copy out.
#include <cstdlib>
#include <exception>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx
#endif
