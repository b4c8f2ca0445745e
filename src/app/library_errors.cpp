// The C++ library's error paths, as this program needs them. The library's own versions build
// std::logic_error and its kin, whose messages are reference-counted strings: they alone bring
// a second string implementation, the random-device code and stdio's formatting into the
// program (some 50 KiB). These throw what the program's handlers catch: an allocation that
// cannot succeed as std::bad_alloc (the file reader and the adapter list catch it and go on),
// anything else as std::exception (the window procedures catch everything).
#include <exception>
#include <new>

namespace std {  // NOLINT: the library's names, defined once for the whole program

void __throw_bad_alloc() {  // NOLINT
  throw bad_alloc();
}
void __throw_bad_array_new_length() {  // NOLINT
  throw bad_array_new_length();
}
// A size beyond what a container can hold is one that no allocation could give.
void __throw_length_error(const char*) {  // NOLINT
  throw bad_alloc();
}
void __throw_logic_error(const char*) {  // NOLINT
  throw exception();
}
void __throw_out_of_range_fmt(const char*, ...) {  // NOLINT
  throw exception();
}

}  // namespace std
