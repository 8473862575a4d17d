#ifndef ZELT_BLAS_TAGS_HPP_
#define ZELT_BLAS_TAGS_HPP_

// Tags that stand in the places of the BLAS's character flags. A triangle
// tag names the triangle of the matrix as passed: upper of transposed(A) is
// the lower triangle of A's storage.

namespace zelt {

/// The upper triangle (`uplo = 'U'`).
struct upper_t {
  explicit upper_t() = default;
  static constexpr bool is_upper = true;
};
/// The lower triangle (`uplo = 'L'`).
struct lower_t {
  explicit lower_t() = default;
  static constexpr bool is_upper = false;
};
/// The diagonal is taken as all ones and never read (`diag = 'U'`).
struct unit_diagonal_t {
  explicit unit_diagonal_t() = default;
  static constexpr bool is_unit = true;
};
/// The diagonal is read from the matrix (`diag = 'N'`).
struct non_unit_diagonal_t {
  explicit non_unit_diagonal_t() = default;
  static constexpr bool is_unit = false;
};

/// The matrix multiplies from the left (`side = 'L'`).
struct left_t {
  explicit left_t() = default;
  static constexpr bool is_left = true;
};
/// The matrix multiplies from the right (`side = 'R'`).
struct right_t {
  explicit right_t() = default;
  static constexpr bool is_left = false;
};

inline constexpr upper_t upper{};
inline constexpr lower_t lower{};
inline constexpr unit_diagonal_t unit_diagonal{};
inline constexpr non_unit_diagonal_t non_unit_diagonal{};
inline constexpr left_t left{};
inline constexpr right_t right{};

}  // namespace zelt

#endif  // ZELT_BLAS_TAGS_HPP_
