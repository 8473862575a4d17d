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

namespace zelt::detail {

/// The b side of a complex product as the engine packs it: the elements of
/// a conj_ref, times alpha when `scaled` (one rounded complex product, the
/// reference's TEMP), and that product conjugated when `conjugate_product`
/// (her2k's conjugate of alpha a(j, l), which differs from conj(alpha)
/// conj(a(j, l)) in the sign of a zero).
template <class R>
struct complex_operand {
  conj_ref<std::complex<R>> m;
  bool scaled = false;
  std::complex<R> alpha = 1;
  bool conjugate_product = false;
  std::complex<R> operator()(std::size_t l, std::size_t j) const noexcept {
    const std::complex<R> x = scaled ? mul(alpha, m(l, j)) : m(l, j);
    return conjugate_product ? conjugate(x) : x;
  }
  /// Whether the element behind (l, j), as stored, is not zero.
  bool nonzero(std::size_t l, std::size_t j) const noexcept { return m.m(l, j) != std::complex<R>(0); }
};

/// The a side: one conj_ref, or two in turns (syr2k's and her2k's one chain
/// over two products).
template <class R>
using complex_pair_columns = interleaved_columns<std::complex<R>, conj_ref<std::complex<R>>>;
template <class R>
using complex_pair_rows = interleaved_rows<std::complex<R>, complex_operand<R>>;

/// Where rows i, i + 1, ... of step l of an a operand lie, as reals: the
/// real part of row i + r at p[r step], its imaginary part next to it,
/// times `sign` (-1 for a conjugate).
template <class R>
struct complex_column {
  const R* p;
  std::ptrdiff_t step;
  R sign;
};
template <class R>
complex_column<R> column_at(const conj_ref<std::complex<R>>& a, std::size_t i, std::size_t l) noexcept {
  return {reinterpret_cast<const R*>(&a.m(i, l)), 2 * a.m.rs, a.conj ? R(-1) : R(1)};
}
template <class R>
complex_column<R> column_at(const complex_pair_columns<R>& a, std::size_t i, std::size_t l) noexcept {
  return column_at(a.half(l), i, l / 2);
}

}  // namespace zelt::detail

#define ZELT_KERNELS_FILE "zelt/detail/kernels/complex_engine.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

#endif  // ZELT_DETAIL_COMPLEX_ENGINE_HPP_
