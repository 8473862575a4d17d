// No include guard: included once per kernel file, after
//
//     #define ZELT_KERNELS_FILE "zelt/detail/kernels/<name>.hpp"
//
// it includes that file once per kernel set, each time inside the set's
// namespace name (ZELT_KERNEL_SET: generic, avx2, avx512), its vector width
// in doubles (ZELT_KERNEL_LANES) and, for the x86 sets beyond the build's own
// flags, a region in which every function is compiled for that instruction
// set. So one program, built with any flags, carries every set, and
// zelt::active_kernel_set() picks the one to run.
//
// A kernel file includes nothing itself: every header it needs is included
// before this point, so that no standard or zelt function outside the kernels
// is ever compiled for a wider instruction set than the build's own.

#if !defined(ZELT_KERNELS_FILE)
#error "define ZELT_KERNELS_FILE before including zelt/detail/for_each_kernel_set.hpp"
#endif

#include "zelt/kernel_set.hpp"

#define ZELT_KERNEL_SET generic
#if ZELT_HAVE_VECTORS
#define ZELT_KERNEL_LANES 2
#else
#define ZELT_KERNEL_LANES 1
#endif
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET

#if ZELT_X86_KERNEL_SETS
// No FMA in either list: the kernels never fuse, and a compiler cannot fuse
// what the instruction set lacks. (AVX-512F brings FMA along; the kernels'
// contraction guards hold there, as they do under -march=native.)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
#define ZELT_KERNEL_SET avx2
#define ZELT_KERNEL_LANES 4
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512dq,avx512bw,avx512vl"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512dq,avx512bw,avx512vl")
#endif
#define ZELT_KERNEL_SET avx512
#define ZELT_KERNEL_LANES 8
#include ZELT_KERNELS_FILE
#undef ZELT_KERNEL_LANES
#undef ZELT_KERNEL_SET
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif  // ZELT_X86_KERNEL_SETS

#undef ZELT_KERNELS_FILE
