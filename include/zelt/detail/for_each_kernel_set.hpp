// No include guard: included once per kernel file, after
//
//     #define ZELT_KERNELS_FILE "zelt/detail/kernels/<name>.hpp"
//
// it includes that file once per kernel set the program carries (see
// zelt/kernel_set.hpp), each time with the set's namespace name
// (ZELT_KERNEL_SET: generic, avx2 or avx512) and its vector width in doubles
// (ZELT_KERNEL_LANES). The base set is compiled with the build's own flags;
// each wider set inside a region in which every function is compiled for
// that instruction set. So one program, built with any flags, carries the
// kernels of every x86 machine it can run on.
//
// A kernel file includes nothing itself: every header it needs is included
// before this point, so that no standard or zelt function outside the kernels
// is ever compiled for a wider instruction set than the build's own.

#if !defined(ZELT_KERNELS_FILE)
#error "define ZELT_KERNELS_FILE before including zelt/detail/for_each_kernel_set.hpp"
#endif

#include "zelt/kernel_set.hpp"

#if ZELT_HAS_GENERIC_KERNELS
#define ZELT_KERNEL_SET generic
#if ZELT_HAVE_VECTORS
#define ZELT_KERNEL_LANES 2
#else
#define ZELT_KERNEL_LANES 1
#endif
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET
#endif

// No FMA in the AVX2 list: the kernels never fuse, and a compiler cannot
// fuse what the instruction set lacks. AVX-512F brings FMA along; there the
// kernels' contraction guards hold, as they do under -march=native.
// A region whose functions are compiled for the instruction set `features`.
#if !defined(ZELT_TARGET_REGION_BEGIN_)
#define ZELT_PRAGMA_(...) _Pragma(#__VA_ARGS__)
#if defined(__clang__)
#define ZELT_TARGET_REGION_BEGIN_(features) \
  ZELT_PRAGMA_(clang attribute push(__attribute__((target(features))), apply_to = function))
#define ZELT_TARGET_REGION_END_ ZELT_PRAGMA_(clang attribute pop)
#else
#define ZELT_TARGET_REGION_BEGIN_(features) ZELT_PRAGMA_(GCC push_options) ZELT_PRAGMA_(GCC target(features))
#define ZELT_TARGET_REGION_END_ ZELT_PRAGMA_(GCC pop_options)
#endif
#endif

// No FMA in the AVX2 list: the kernels never fuse, and a compiler cannot
// fuse what the instruction set lacks. AVX-512F brings FMA along; there the
// kernels' contraction guards hold, as they do under -march=native.
#if ZELT_HAS_AVX2_KERNELS
#if ZELT_BASE_KERNEL_SET == 0
ZELT_TARGET_REGION_BEGIN_("avx2")
#endif
#define ZELT_KERNEL_SET avx2
#define ZELT_KERNEL_LANES 4
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET
#if ZELT_BASE_KERNEL_SET == 0
ZELT_TARGET_REGION_END_
#endif
#endif

#if ZELT_HAS_AVX512_KERNELS
#if ZELT_BASE_KERNEL_SET != 2
ZELT_TARGET_REGION_BEGIN_("avx512f,avx512dq,avx512bw,avx512vl")
#endif
#define ZELT_KERNEL_SET avx512
#define ZELT_KERNEL_LANES 8
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET
#if ZELT_BASE_KERNEL_SET != 2
ZELT_TARGET_REGION_END_
#endif
#endif

#undef ZELT_KERNELS_FILE
