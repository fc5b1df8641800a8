// Single-store sharing between the editor and the engine: every access to such a field is one
// relaxed atomic load or store, so the plain fields keep their layout and stay race-free.
#pragma once

namespace zell::threading {

template <typename T> inline T LoadRelaxed(const T& field) {
    return __atomic_load_n(&field, __ATOMIC_RELAXED);
}

template <typename T, typename U> inline void StoreRelaxed(T& field, U value) {
    __atomic_store_n(&field, static_cast<T>(value), __ATOMIC_RELAXED);
}

} // namespace zell::threading
