#ifndef ZELT_ZELT_HPP_
#define ZELT_ZELT_HPP_

// Umbrella header: the whole library.
#include "zelt/givens.hpp"
#include "zelt/norms.hpp"
#include "zelt/vector.hpp"

#endif  // ZELT_ZELT_HPP_
