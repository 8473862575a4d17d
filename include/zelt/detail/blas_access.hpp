#ifndef ZELT_DETAIL_BLAS_ACCESS_HPP_
#define ZELT_DETAIL_BLAS_ACCESS_HPP_

// Kernels name elements by logical index only: element i of a
// vector, element (i, j) of a column-major matrix. These accessors turn a view
// into that form, keeping stride 1 a compile-time fact so that loops over
// contiguous views vectorise.

#include <cstddef>      // std::ptrdiff_t, std::size_t
#include <type_traits>  // std::remove_const_t, std::is_same_v

#include "zelt/detail/complex.hpp"
#include "zelt/strided.hpp"
#include "zelt/vector.hpp"

namespace zelt::detail {

/// The element type of a view, without const.
template <class View>
using element_t = std::remove_const_t<typename View::value_type>;

/// Stops the compilation of a BLAS operation whose operands do not all hold
/// the same element type, float or double. zelt never converts an operand:
/// the reference computes each routine in one precision, and so does zelt.
template <class First, class... Rest>
constexpr void expect_one_element_type() noexcept {
  using T = element_t<First>;
  static_assert((std::is_same_v<T, element_t<Rest>> && ...),
                "zelt: the operands of a BLAS operation hold different element types; convert one "
                "of them first (dsdot and sdsdot are the operations that take float vectors and "
                "accumulate in double)");
  static_assert(std::is_same_v<T, float> || std::is_same_v<T, double>,
                "zelt: the BLAS operations take views of float or double");
}

/// The same for the operations that also take complex elements:
/// std::complex<float> or std::complex<double> as well.
template <class First, class... Rest>
constexpr void expect_one_scalar_type() noexcept {
  using T = element_t<First>;
  static_assert((std::is_same_v<T, element_t<Rest>> && ...),
                "zelt: the operands of a BLAS operation hold different element types; convert one "
                "of them first");
  static_assert(std::is_same_v<real_t<T>, float> || std::is_same_v<real_t<T>, double>,
                "zelt: the BLAS operations take views of float, double, std::complex<float> or "
                "std::complex<double>");
}

/// Element i is p[i].
template <class T>
struct unit_access {
  T* p;
  T& operator[](std::size_t i) const noexcept { return p[i]; }
};

/// Element i is p[i * inc].
template <class T>
struct stride_access {
  T* p;
  std::ptrdiff_t inc;
  T& operator[](std::size_t i) const noexcept { return p[static_cast<std::ptrdiff_t>(i) * inc]; }
};

// Element i of the view counts from its first stored element, whatever an
// external_vec's index base.
template <class T, int N, class S>
unit_access<T> access(const external_vec<T, N, S>& v) noexcept {
  return {v.data_ptr};
}
template <class T, class S>
stride_access<T> access(const strided_vec<T, S>& v) noexcept {
  return {const_cast<T*>(v.data()), v.stride()};
}

// The same, read-only.
template <class T, int N, class S>
unit_access<const T> read_access(const external_vec<T, N, S>& v) noexcept {
  return {v.data_ptr};
}
template <class T, class S>
stride_access<const T> read_access(const strided_vec<T, S>& v) noexcept {
  return {v.data(), v.stride()};
}

/// Element (i, j) of a column-major matrix is p[i + j * ld].
template <class T>
struct col_access {
  using value_type = std::remove_const_t<T>;
  T* p;
  std::size_t ld;
  T& operator()(std::size_t i, std::size_t j) const noexcept { return p[i + j * ld]; }
  T* column(std::size_t j) const noexcept { return p + j * ld; }
};

}  // namespace zelt::detail

#endif  // ZELT_DETAIL_BLAS_ACCESS_HPP_
