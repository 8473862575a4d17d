#ifndef ZELT_ZELT_HPP_
#define ZELT_ZELT_HPP_

// Umbrella header: the whole library.
#include "zelt/band.hpp"
#include "zelt/blas1.hpp"
#include "zelt/blas2.hpp"
#include "zelt/blas2_band.hpp"
#include "zelt/blas2_packed.hpp"
#include "zelt/blas3.hpp"
#include "zelt/blas_tags.hpp"
#include "zelt/givens.hpp"
#include "zelt/matrix.hpp"
#include "zelt/matrix_views.hpp"
#include "zelt/norms.hpp"
#include "zelt/packed.hpp"
#include "zelt/shape.hpp"
#include "zelt/strided.hpp"
#include "zelt/threads.hpp"
#include "zelt/vector.hpp"

#endif  // ZELT_ZELT_HPP_
