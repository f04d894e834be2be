// vz::bit_cast: the bits of one trivially copyable value read as another
// type of the same size. The C++ library's std::bit_cast where it has one;
// older libraries (the WebAssembly build's) get the compiler's builtin.
#pragma once

#include <version>

#if defined(__cpp_lib_bit_cast)
#include <bit>
#else
#include <type_traits>
#endif

namespace vz {

#if defined(__cpp_lib_bit_cast)
using std::bit_cast;
#else
template <class To, class From>
    requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>)
constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
#endif

}  // namespace vz
