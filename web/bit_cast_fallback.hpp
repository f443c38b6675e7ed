// std::bit_cast for a C++ library that lacks it (the libc++ of Debian's
// Emscripten 3.1.6), made by the compiler's builtin, which is what the library
// would use. CMakeLists.txt puts this file before every source of such a
// build; with a library that has std::bit_cast it adds nothing.
#pragma once

#include <version>

#if !defined(__cpp_lib_bit_cast)
#include <type_traits>

namespace std {

template <class To, class From>
    requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> && is_trivially_copyable_v<From>)
constexpr To bit_cast(const From& from) noexcept
{
    return __builtin_bit_cast(To, from);
}

} // namespace std
#endif
