// The bits of a double and back: the one spelling of a bit cast in the
// program, its tests and its benchmarks. The compiler's own
// __builtin_bit_cast, which std::bit_cast is made of, in functions of internal
// linkage: a kernel's object may call nothing inline of external linkage
// (block_pass.hpp), which std::bit_cast is where it is not inlined (an
// unoptimised build); and some C++ libraries (the libc++ of Debian's
// Emscripten 3.1.6) have no std::bit_cast at all.
#pragma once

#include <cstdint>

namespace pigreco {

static constexpr std::uint64_t bits_of(double x) { return __builtin_bit_cast(std::uint64_t, x); }
static constexpr double double_of(std::uint64_t bits) { return __builtin_bit_cast(double, bits); }

} // namespace pigreco
