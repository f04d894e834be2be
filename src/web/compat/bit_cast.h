// Forced into every file of the WebAssembly build: the C++ library that
// emscripten 3.1.6 ships lacks std::bit_cast, which the engine uses to seed
// its generator from the clock sample's bits.
#pragma once

#include <cstring>
#include <type_traits>
#include <version>

#if !defined(__cpp_lib_bit_cast)
namespace std {
template <class To, class From>
    requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>)
To bit_cast(const From& from) noexcept {
    To to;
    memcpy(&to, &from, sizeof(To));
    return to;
}
}  // namespace std
#endif
