// Small vectors of floating-point numbers for kernels that compute several
// independent outputs at once, one output per lane. Lane k of a sum or
// product is the sum or product of lane k of the operands, rounded on its
// own, so a vector kernel gives each output exactly the bits of the scalar
// chain. Built on the GCC and Clang vector extensions, one register wide:
// ZELT_KERNEL_LANES doubles (8 in the AVX-512 set, 4 in the AVX2 set, 2 in
// the generic one), and twice as many floats. Included once per kernel set
// by detail/for_each_kernel_set.hpp.

namespace zelt::detail::ZELT_KERNEL_SET {

/// The set these kernels belong to: ZELT_KERNEL_CALL(this_kernel_set()) is
/// the set a dispatched call reaches.
constexpr kernel_set this_kernel_set() noexcept { return kernel_set::ZELT_KERNEL_SET; }

}  // namespace zelt::detail::ZELT_KERNEL_SET

#if ZELT_HAVE_VECTORS

// Unrolls the loop that follows in full: a register tile's loops over its
// columns and vectors, whose accumulators stay in registers only when every
// index is a constant (GCC at -O2 leaves an eight-column loop rolled).
#ifndef ZELT_UNROLL_TILE
#define ZELT_UNROLL_TILE _Pragma("GCC unroll 16")
#endif

namespace zelt::detail::ZELT_KERNEL_SET {

constexpr std::size_t vector_bytes = ZELT_KERNEL_LANES * sizeof(double);

// vec<T>: one register of T. An alias template cannot carry the attribute,
// so each element type has its own member alias.
template <class T>
struct vector_of;
template <>
struct vector_of<double> {
  using type = double __attribute__((vector_size(vector_bytes)));
};
template <>
struct vector_of<float> {
  using type = float __attribute__((vector_size(vector_bytes)));
};
// Lane masks: integers as wide as the elements they select.
template <>
struct vector_of<long long> {
  using type = long long __attribute__((vector_size(vector_bytes)));
};
template <>
struct vector_of<int> {
  using type = int __attribute__((vector_size(vector_bytes)));
};
template <class T>
using vec = typename vector_of<T>::type;
/// The mask of a comparison of two vec<T>.
template <class T>
using mask_of = vec<std::conditional_t<sizeof(T) == 8, long long, int>>;

/// Elements of T in one register.
template <class T>
constexpr std::size_t lanes = vector_bytes / sizeof(T);

template <class T>
inline vec<T> load(const T* p) noexcept {
  vec<T> v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
template <class T>
inline void store(T* p, vec<T> v) noexcept {
  std::memcpy(p, &v, sizeof v);
}
// Every lane x. Not vec<T>{} + x, which turns -0.0 into +0.0, and not a loop
// over the lanes, which GCC leaves as sixteen masked inserts for float.
template <class T, std::size_t... L>
inline vec<T> broadcast(T x, std::index_sequence<L...>) noexcept {
  return vec<T>{((void)L, x)...};
}
template <class T>
inline vec<T> broadcast(T x) noexcept {
  return broadcast(x, std::make_index_sequence<lanes<T>>());
}

// p, through a register the compiler cannot see into. A register tile reads
// each packed element of b once per vector of rows: read through p and
// through opaque(p), the loads stay apart, and each folds into its multiply
// as a broadcast from memory ({1toN} in AVX-512). A broadcast of its own, the
// compiler's choice for one load used twice, takes a slot of the
// floating-point pipes on AMD Zen 4, which the tile's multiplies and adds
// fill, and costs the tile a third of its speed there.
// Elsewhere a broadcast is cheaper than a second load, and p stays p.
template <class P>
inline P opaque(P p) noexcept {
#if ZELT_KERNEL_LANES == 8
  __asm__("" : "+r"(p));
#endif
  return p;
}

#if ZELT_KERNEL_LANES == 4
// The masks of AVX2's masked moves that select the first n lanes.
inline __m256i first_lanes(std::size_t n, double) noexcept {
  return _mm256_cmpgt_epi64(_mm256_set1_epi64x(static_cast<long long>(n)), _mm256_setr_epi64x(0, 1, 2, 3));
}
inline __m256i first_lanes(std::size_t n, float) noexcept {
  return _mm256_cmpgt_epi32(_mm256_set1_epi32(static_cast<int>(n)),
                            _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
#endif

// The first n < lanes<T> elements at p in the first n lanes, the others
// zero; and the store of the first n lanes to p. Nothing past p[n - 1] is
// read or written, so a tile may end where an array ends.
template <class T>
inline vec<T> load_first(const T* p, std::size_t n) noexcept {
  vec<T> v = {};
#if ZELT_KERNEL_LANES == 8
  if constexpr (sizeof(T) == 8) {
    const __m512d x = _mm512_maskz_loadu_pd(static_cast<__mmask8>((1u << n) - 1), p);
    std::memcpy(&v, &x, sizeof v);
  } else {
    const __m512 x = _mm512_maskz_loadu_ps(static_cast<__mmask16>((1u << n) - 1), p);
    std::memcpy(&v, &x, sizeof v);
  }
#elif ZELT_KERNEL_LANES == 4
  if constexpr (sizeof(T) == 8) {
    const __m256d x = _mm256_maskload_pd(p, first_lanes(n, T()));
    std::memcpy(&v, &x, sizeof v);
  } else {
    const __m256 x = _mm256_maskload_ps(p, first_lanes(n, T()));
    std::memcpy(&v, &x, sizeof v);
  }
#else
  for (std::size_t l = 0; l < n; ++l) v[l] = p[l];
#endif
  return v;
}
template <class T>
inline void store_first(T* p, vec<T> v, std::size_t n) noexcept {
#if ZELT_KERNEL_LANES == 8
  if constexpr (sizeof(T) == 8) {
    __m512d x;
    std::memcpy(&x, &v, sizeof v);
    _mm512_mask_storeu_pd(p, static_cast<__mmask8>((1u << n) - 1), x);
  } else {
    __m512 x;
    std::memcpy(&x, &v, sizeof v);
    _mm512_mask_storeu_ps(p, static_cast<__mmask16>((1u << n) - 1), x);
  }
#elif ZELT_KERNEL_LANES == 4
  if constexpr (sizeof(T) == 8) {
    __m256d x;
    std::memcpy(&x, &v, sizeof v);
    _mm256_maskstore_pd(p, first_lanes(n, T()), x);
  } else {
    __m256 x;
    std::memcpy(&x, &v, sizeof v);
    _mm256_maskstore_ps(p, first_lanes(n, T()), x);
  }
#else
  for (std::size_t l = 0; l < n; ++l) p[l] = v[l];
#endif
}

// The steps of the in-register transposes: each turns a pair of vectors a
// and b into two, lane j of the first from lane Step::lane(L, false, j) of
// the concatenation a b, lane j of the second from Step::lane(L, true, j).
template <class Step, class V, std::size_t... J>
inline void shuffle_pair(V& a, V& b, std::index_sequence<J...>) noexcept {
  constexpr std::size_t L = sizeof...(J);
  const V first = __builtin_shufflevector(a, b, Step::lane(L, false, J)...);
  b = __builtin_shufflevector(a, b, Step::lane(L, true, J)...);
  a = first;
}

// One step of the square transpose, for rows a and b that lie H rows apart:
// in each group of 2H lanes, the first result takes the first H lanes of a
// then of b, the second the last H lanes of a then of b.
template <std::size_t H>
struct square_step {
  static constexpr int lane(std::size_t lanes, bool second, std::size_t j) {
    const std::size_t group = j - j % (2 * H), w = j % (2 * H);
    const std::size_t from_a = group + w + (second ? H : 0),
                      from_b = lanes + group + w - H + (second ? H : 0);
    return static_cast<int>(w < H ? from_a : from_b);
  }
};

// The unpacks of x86: in each 16-byte block of four lanes, the first result
// interleaves the first two lanes of a and b, the second the last two.
struct unpack_step {
  static constexpr int lane(std::size_t lanes, bool second, std::size_t j) {
    const std::size_t from = j - j % 4 + j % 4 / 2 + (second ? 2 : 0);
    return static_cast<int>(j % 2 == 0 ? from : lanes + from);
  }
};

// For vectors of four blocks of E lanes: the first result takes blocks 0 and
// 2 of a then of b, the second blocks 1 and 3 (AVX-512's vshuff32x4).
template <std::size_t E>
struct block_select_step {
  static constexpr int lane(std::size_t lanes, bool second, std::size_t j) {
    const std::size_t block = j / E, from = block % 2 * 2 + (second ? 1 : 0);
    return static_cast<int>((block < 2 ? 0 : lanes) + from * E + j % E);
  }
};

/// Transposes the square block r[0..lanes) of vectors in place: afterwards
/// r[l][k] is what r[k][l] was. Pure data movement, no arithmetic.
///
/// The steps are those that x86 shuffles cheaply. Within each 16-byte block
/// of E lanes: for double (E = 2), one step of the square transpose, an
/// unpack; for float (E = 4), unpacks then the square transpose's second
/// step, which transpose each 4 x 4 block with its middle two rows swapped
/// (the swap renames registers, no more). Then the blocks, as a matrix of
/// E x E blocks, are transposed: two blocks to a vector in one step of the
/// square transpose, four in two rounds of block selects, each result in
/// place. The square transpose's own steps across blocks of a 512-bit vector
/// take a two-source permute, twice the cost on AMD Zen 4.
template <class V>
inline void transpose(V* r) noexcept {
  constexpr std::size_t size = sizeof(r[0][0]), L = sizeof(V) / size;
  constexpr std::size_t E = L < 16 / size ? L : 16 / size;
  const auto each = std::make_index_sequence<L>();
  if constexpr (E == 4) {
    for (std::size_t k = 0; k < L; k += 2) shuffle_pair<unpack_step>(r[k], r[k + 1], each);
    for (std::size_t k = 0; k < L; ++k)
      if (k % 4 < 2) shuffle_pair<square_step<2>>(r[k], r[k + 2], each);
    for (std::size_t k = 0; k < L; k += 4) std::swap(r[k + 1], r[k + 2]);
  } else if constexpr (E == 2) {
    for (std::size_t k = 0; k < L; k += 2) shuffle_pair<square_step<1>>(r[k], r[k + 1], each);
  }
  static_assert(L == E || L == 2 * E || L == 4 * E, "a vector is one, two or four 16-byte blocks");
  if constexpr (L == 2 * E) {
    for (std::size_t k = 0; k < E; ++k) shuffle_pair<square_step<E>>(r[k], r[k + E], each);
  } else if constexpr (L == 4 * E) {
    for (std::size_t k = 0; k < E; ++k) {
      shuffle_pair<block_select_step<E>>(r[k], r[k + E], each);
      shuffle_pair<block_select_step<E>>(r[k + 2 * E], r[k + 3 * E], each);
    }
    for (std::size_t k = 0; k < E; ++k) {
      shuffle_pair<block_select_step<E>>(r[k], r[k + 2 * E], each);
      shuffle_pair<block_select_step<E>>(r[k + E], r[k + 3 * E], each);
    }
  }
}

}  // namespace zelt::detail::ZELT_KERNEL_SET

#endif  // ZELT_HAVE_VECTORS
