// How the program ends when the C++ library fails: out of memory, or a string
// or array grown past its maximum size. The program catches nothing, so where
// the library would throw, the end is the same abort that the uncaught
// exception would reach.
//
// Linked into the program only (tests keep the library's own behaviour). The
// library's versions would bring its exception classes, a copy-on-write string,
// a demangler and a printf into the executable for a message that a window
// program has no console to print: well over a third of its size.
#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#if defined(__GLIBCXX__)

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

// Every one the program's code refers to must be here: a missing one pulls in
// the library's set, which then fails to link as a duplicate.
namespace std {
void __throw_bad_alloc() {
    std::abort();
}
void __throw_bad_array_new_length() {
    std::abort();
}
void __throw_length_error(const char*) {
    std::abort();
}
void __throw_logic_error(const char*) {
    std::abort();
}
void __throw_out_of_range(const char*) {
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...) {
    std::abort();
}
void __throw_invalid_argument(const char*) {
    std::abort();
}
} // namespace std

#endif
