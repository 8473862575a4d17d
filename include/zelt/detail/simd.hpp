#ifndef ZELT_DETAIL_SIMD_HPP_
#define ZELT_DETAIL_SIMD_HPP_

// Small vectors of floats and doubles, per kernel set (detail/kernels/simd.hpp).

#include <cstddef>      // std::size_t
#include <cstring>      // std::memcpy
#include <type_traits>  // std::conditional_t
#include <utility>      // std::index_sequence, std::swap

#include "zelt/kernel_set.hpp"

#if ZELT_X86_KERNEL_SETS || ZELT_BASE_KERNEL_SET != 0
#include <immintrin.h>  // the masked moves of the AVX2 and AVX-512 sets
#endif

#define ZELT_KERNELS_FILE "zelt/detail/kernels/simd.hpp"
#include "zelt/detail/for_each_kernel_set.hpp"

#endif  // ZELT_DETAIL_SIMD_HPP_
