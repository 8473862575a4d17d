#ifndef ZELT_DETAIL_COMPLEX_ENGINE_HPP_
#define ZELT_DETAIL_COMPLEX_ENGINE_HPP_

// The engine of the complex products, in pairs of real lanes:
//
//     C(i, j) = C(i, j) + t(l, j) a(i, l)      for l = 0, 1, ..., k - 1 in order,
//
// with the reference's complex product: re += (re t)(re a) - (im t)(im a),
// im += (re t)(im a) + (im t)(re a), each product, the difference, the sum
// and the addition rounded on their own. t is the b operand times alpha
// (the reference's TEMP, one rounded complex product per element, made when
// b is packed) or b itself; conjugates are taken in the packing, where a
// negated imaginary part is exact. Operands are packed with their real and
// imaginary parts apart, a register of real parts beside a register of
// imaginary parts, so that every lane is one output's chain and no lane is
// ever shuffled while k advances. As in the real engine, the tile and the
// blocks decide the speed only.

#include <algorithm>  // std::min
#include <complex>    // std::complex
#include <cstddef>    // std::size_t, std::ptrdiff_t
#include <new>        // std::align_val_t, std::nothrow

#include "zelt/detail/complex.hpp"
#include "zelt/detail/complex_level3.hpp"
#include "zelt/detail/exact.hpp"
#include "zelt/detail/gemm_engine.hpp"
#include "zelt/detail/level3.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/threads.hpp"

#define ZELT_KERNELS_FILE "zelt/detail/kernels/complex_engine.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

#endif  // ZELT_DETAIL_COMPLEX_ENGINE_HPP_
