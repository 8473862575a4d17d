// Small vectors of doubles for kernels that compute several independent
// outputs at once, one output per lane. Lane k of a sum or product is the
// sum or product of lane k of the operands, rounded on its own, so a vector
// kernel gives each output exactly the bits of the scalar chain. Built on the
// GCC and Clang vector extensions, ZELT_KERNEL_LANES doubles wide: 8 in the
// AVX-512 set, 4 in the AVX2 set, 2 in the generic one. Included once per
// kernel set by detail/for_each_kernel_set.hpp.

namespace zelt::detail::ZELT_KERNEL_SET {

/// The set these kernels belong to: ZELT_KERNEL_CALL(this_kernel_set()) is
/// the set a dispatched call reaches.
constexpr kernel_set this_kernel_set() noexcept { return kernel_set::ZELT_KERNEL_SET; }

}  // namespace zelt::detail::ZELT_KERNEL_SET

#if ZELT_HAVE_VECTORS

namespace zelt::detail::ZELT_KERNEL_SET {

constexpr std::size_t vector_lanes = ZELT_KERNEL_LANES;

using vec_t = double __attribute__((vector_size(vector_lanes * sizeof(double))));

inline vec_t load(const double* p) noexcept {
  vec_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
inline void store(double* p, vec_t v) noexcept { std::memcpy(p, &v, sizeof v); }
#if ZELT_KERNEL_LANES == 4
// The mask of AVX2's masked moves that selects the first n lanes.
inline __m256i first_lanes(std::size_t n) noexcept {
  return _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(n)), _mm256_setr_epi64x(0, 1, 2, 3));
}
#endif
// Every lane x. Not vec_t{} + x, which turns -0.0 into +0.0.
inline vec_t broadcast(double x) noexcept {
  vec_t v = {};
  for (std::size_t l = 0; l < vector_lanes; ++l) v[l] = x;
  return v;
}

// The first n < L elements at p in the first n lanes, the others zero; and
// the store of the first n lanes to p. Nothing past p[n - 1] is read or
// written, so a tile may end where an array ends.
inline vec_t load_first(const double* p, std::size_t n) noexcept {
  vec_t v = {};
#if ZELT_KERNEL_LANES == 8
  const __m512d x = _mm512_maskz_loadu_pd(static_cast<__mmask8>((1u << n) - 1), p);
  std::memcpy(&v, &x, sizeof v);
#elif ZELT_KERNEL_LANES == 4
  const __m256d x = _mm256_maskload_pd(p, first_lanes(n));
  std::memcpy(&v, &x, sizeof v);
#else
  for (std::size_t l = 0; l < n; ++l) v[l] = p[l];
#endif
  return v;
}
inline void store_first(double* p, vec_t v, std::size_t n) noexcept {
#if ZELT_KERNEL_LANES == 8
  __m512d x;
  std::memcpy(&x, &v, sizeof v);
  _mm512_mask_storeu_pd(p, static_cast<__mmask8>((1u << n) - 1), x);
#elif ZELT_KERNEL_LANES == 4
  __m256d x;
  std::memcpy(&x, &v, sizeof v);
  _mm256_maskstore_pd(p, first_lanes(n), x);
#else
  for (std::size_t l = 0; l < n; ++l) p[l] = v[l];
#endif
}

// Transposes the square block r[0..L) in place: afterwards r[l][k] is what
// r[k][l] was. Pure data movement, no arithmetic.
inline void transpose(vec_t* r) noexcept {
#if ZELT_KERNEL_LANES == 8
  vec_t t[8], u[8];
  for (int k = 0; k < 8; k += 2) {
    t[k] = __builtin_shufflevector(r[k], r[k + 1], 0, 8, 2, 10, 4, 12, 6, 14);
    t[k + 1] = __builtin_shufflevector(r[k], r[k + 1], 1, 9, 3, 11, 5, 13, 7, 15);
  }
  for (int k = 0; k < 8; k += 4) {
    for (int h = 0; h < 2; ++h) {
      u[k + h] = __builtin_shufflevector(t[k + h], t[k + h + 2], 0, 1, 8, 9, 4, 5, 12, 13);
      u[k + h + 2] = __builtin_shufflevector(t[k + h], t[k + h + 2], 2, 3, 10, 11, 6, 7, 14, 15);
    }
  }
  for (int k = 0; k < 4; ++k) {
    r[k] = __builtin_shufflevector(u[k], u[k + 4], 0, 1, 2, 3, 8, 9, 10, 11);
    r[k + 4] = __builtin_shufflevector(u[k], u[k + 4], 4, 5, 6, 7, 12, 13, 14, 15);
  }
#elif ZELT_KERNEL_LANES == 4
  vec_t t[4];
  t[0] = __builtin_shufflevector(r[0], r[1], 0, 4, 2, 6);
  t[1] = __builtin_shufflevector(r[0], r[1], 1, 5, 3, 7);
  t[2] = __builtin_shufflevector(r[2], r[3], 0, 4, 2, 6);
  t[3] = __builtin_shufflevector(r[2], r[3], 1, 5, 3, 7);
  r[0] = __builtin_shufflevector(t[0], t[2], 0, 1, 4, 5);
  r[1] = __builtin_shufflevector(t[1], t[3], 0, 1, 4, 5);
  r[2] = __builtin_shufflevector(t[0], t[2], 2, 3, 6, 7);
  r[3] = __builtin_shufflevector(t[1], t[3], 2, 3, 6, 7);
#else
  const vec_t t = __builtin_shufflevector(r[0], r[1], 0, 2);
  r[1] = __builtin_shufflevector(r[0], r[1], 1, 3);
  r[0] = t;
#endif
}

}  // namespace zelt::detail::ZELT_KERNEL_SET

#endif  // ZELT_HAVE_VECTORS
