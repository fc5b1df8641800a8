// Marks a raw pointer that owns what it points to, where an interface of the design hands an
// object across as a plain pointer (the VST record to the host, an LV2 handle, a child to the
// window that adopts it, a list that deletes its elements). clang-tidy's ownership check knows
// the name; to the compiler it is the pointer itself. Everywhere else one owner holds an object
// by value or in a std::unique_ptr.
#pragma once

namespace gsl {
template <class T> using owner = T;
} // namespace gsl
