#include "zelt/strided.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <iterator>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using svec = zelt::strided_vec<double, unsigned int>;
using csvec = zelt::strided_vec<const double, unsigned int>;
using vec = zelt::external_vec<double, 0, unsigned int>;
using iter = zelt::strided_iterator<double*, unsigned int>;
using citer = zelt::strided_iterator<const double*, unsigned int>;

static_assert(std::is_trivially_copyable_v<svec> && std::is_trivially_copyable_v<iter>);
static_assert(std::is_same_v<decltype(std::declval<svec&>().begin()), iter>);
static_assert(std::is_same_v<decltype(std::declval<const svec&>().end()), citer>);
static_assert(std::is_same_v<decltype(std::declval<svec&>()[0]), double&>);
static_assert(std::is_same_v<decltype(std::declval<const svec&>()[0]), const double&>);
static_assert(std::is_same_v<std::iterator_traits<iter>::iterator_category, std::random_access_iterator_tag>);
// Writable converts to read-only, contiguous to strided, never the reverse.
static_assert(std::is_convertible_v<iter, citer> && !std::is_convertible_v<citer, iter>);
static_assert(std::is_convertible_v<svec, csvec> && !std::is_convertible_v<csvec, svec>);
static_assert(std::is_convertible_v<vec, svec> && std::is_convertible_v<vec, csvec>);
static_assert(std::is_convertible_v<zelt::external_vec<double, 4, unsigned int>, svec>);
static_assert(!std::is_convertible_v<zelt::external_vec<const double, 0, unsigned int>, svec>);
static_assert(!std::is_convertible_v<svec, vec>);

std::vector<double> one_to(std::size_t n) {
  std::vector<double> v(n);
  for (std::size_t k = 0; k < n; ++k) v[k] = static_cast<double>(k + 1);
  return v;
}

// Every way of reaching element i names data[offset + i * stride]: the
// subscript, the iterators from both ends, and the iterator's own subscript.
TEST(StridedVec, ElementIIsFirstPlusITimesStride) {
  std::vector<double> a = one_to(40);
  for (std::ptrdiff_t stride : {1, 2, 3, 7, -1, -2, -5, 0}) {
    for (unsigned n : {0u, 1u, 2u, 5u}) {
      const std::ptrdiff_t start = stride < 0 ? -stride * (n == 0 ? 0 : n - 1) : 0;
      svec v(a.data() + start, n, stride);
      ASSERT_EQ(v.size(), n);
      ASSERT_EQ(v.stride(), stride);
      ASSERT_EQ(v.data(), a.data() + start);
      ASSERT_EQ(v.end() - v.begin(), static_cast<std::ptrdiff_t>(n));
      const svec& cv = v;
      auto it = v.begin();
      auto rit = cv.end();
      for (unsigned i = 0; i < n; ++i, ++it) {
        const double* expected =
            &a[static_cast<std::size_t>(start + static_cast<std::ptrdiff_t>(i) * stride)];
        ASSERT_EQ(&v[i], expected) << "stride " << stride << ", i " << i;
        ASSERT_EQ(&cv[i], expected);
        ASSERT_EQ(&*it, expected);
        ASSERT_EQ(&v.begin()[i], expected);
        ASSERT_EQ(&*(cv.begin() + i), expected);
        ASSERT_EQ(&*(rit - static_cast<std::ptrdiff_t>(n - i)), expected);
      }
      EXPECT_EQ(it, v.end());
    }
  }
}

TEST(StridedVec, ABlasVectorWithANegativeIncrementStartsAtTheFarEnd) {
  double x[7] = {1, 2, 3, 4, 5, 6, 7};
  const int n = 4, inc = -2;  // x(1), x(3), x(5), x(7) in Fortran, visited last to first
  svec v(x + std::ptrdiff_t{n - 1} * -inc, n, inc);
  EXPECT_EQ(v[0], 7);
  EXPECT_EQ(v[1], 5);
  EXPECT_EQ(v[3], 1);
  std::ostringstream os;
  os << v;
  EXPECT_EQ(os.str(), "[7,5,3,1,]");
}

TEST(StridedVec, StrideZeroRepeatsOneElementAndWritesReachIt) {
  double x = 2.5;
  svec v(&x, 3, 0);
  for (double& e : v) e = e + 1;  // three increments of the one element
  EXPECT_EQ(x, 5.5);
  EXPECT_EQ(v[2], 5.5);
}

TEST(StridedVec, AnExternalVecBecomesStrideOneFromItsFirstStoredElement) {
  double a[4] = {1, 2, 3, 4};
  const vec based(a, 4, 7);  // the index base is not part of a strided view
  const csvec s = based;
  EXPECT_EQ(s.data(), a);
  EXPECT_EQ(s.size(), 4u);
  EXPECT_EQ(s.stride(), 1);
  EXPECT_EQ(&s[3], &a[3]);
  const svec fixed = zelt::__make_external<3>()(a + 1);
  EXPECT_EQ(fixed.size(), 3u);
  EXPECT_EQ(fixed[0], 2);
}

TEST(StridedVec, AWritableViewBecomesAReadOnlyOneOfTheSameElements) {
  double a[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  for (std::ptrdiff_t stride : {2, -3, 0}) {
    const svec v(stride < 0 ? a + 6 : a, 3, stride);
    const csvec c = v;
    EXPECT_EQ(c.size(), 3u);
    EXPECT_EQ(c.stride(), stride);
    EXPECT_EQ(c.data(), v.data());
    EXPECT_EQ(&c[2], &v[2]);
  }
}

TEST(StridedVec, EmptyViewsHaveNoElements) {
  const svec none;
  EXPECT_EQ(none.size(), 0u);
  EXPECT_EQ(none.data(), nullptr);
  EXPECT_EQ(none.stride(), 1);
  EXPECT_EQ(none.begin(), none.end());
  double a[1] = {9};
  EXPECT_EQ(svec(a, 0, -4).begin(), svec(a, 0, -4).end());
  std::ostringstream os;
  os << none;
  EXPECT_EQ(os.str(), "[]");
}

TEST(StridedIterator, ArithmeticAndComparisonsFollowThePosition) {
  double a[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  svec v(a, 3, 3);  // 0, 3, 6
  iter it = v.begin();
  EXPECT_EQ(*it++, 0);
  EXPECT_EQ(*it, 3);
  EXPECT_EQ(*++it, 6);
  EXPECT_EQ(*it--, 6);
  EXPECT_EQ(*--it, 0);
  it += 2;
  EXPECT_EQ(*it, 6);
  it -= 1;
  EXPECT_EQ(*it, 3);
  EXPECT_EQ(*(1 + v.begin()), 3);
  EXPECT_EQ((v.begin() + 2).operator->(), &a[6]);
  EXPECT_EQ(v.begin().operator->(), &a[0]);
  const citer c = v.end();  // converted, position kept
  EXPECT_EQ(c - v.begin(), 3);
  EXPECT_EQ(v.begin() - c, -3);
  EXPECT_TRUE(v.begin() < c && c > v.begin() && v.begin() <= v.begin() && c >= c && v.begin() != c);
  EXPECT_FALSE(c < v.begin() || v.begin() > c || c <= v.begin() || v.begin() >= c || c == v.begin());
  // comparisons look at positions, not at the run they walk
  const iter elsewhere(a + 1, 2, 0);
  EXPECT_EQ(elsewhere, v.begin());
  // an iterator that overshoots the end still ends a not_at loop
  EXPECT_FALSE(zelt::not_at(v.end() + 2, v.end()));
  EXPECT_TRUE(zelt::not_at(v.begin(), v.end()));
}

TEST(StridedVec, WritesThroughTheViewReachTheArrayAndBack) {
  double a[6] = {0, 0, 0, 0, 0, 0};
  svec v(a + 5, 3, -2);  // a[5], a[3], a[1]
  v[0] = 1;
  *(v.begin() + 2) = 3;
  a[3] = 2;
  EXPECT_EQ(a[5], 1);
  EXPECT_EQ(a[1], 3);
  EXPECT_EQ(v[1], 2);
  svec copy = v;  // copies alias
  copy[1] = 20;
  EXPECT_EQ(a[3], 20);
}

TEST(StridedVec, PrintsInTheVectorTextForm) {
  double a[5] = {1, 2.5, 3, 1e-5, 5};
  std::ostringstream os;
  zelt::print_vector(svec(a, 3, 2), os);
  EXPECT_EQ(os.str(), "[1,3,5,]\n");
  std::ostringstream os2;
  os2 << csvec(a + 3, 2, -2);
  EXPECT_EQ(os2.str(), "[1e-05,2.5,]");
}

}  // namespace
