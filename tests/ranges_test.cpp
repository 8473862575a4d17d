// The standard-library face of the views and iterators: C++20 concepts,
// ranges and span. Built only as C++20 or later.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <ranges>
#include <span>
#include <type_traits>
#include <vector>

#include "zelt/matrix_views.hpp"
#include "zelt/norms.hpp"
#include "zelt/strided.hpp"
#include "zelt/vector.hpp"

namespace {

using vec = zelt::external_vec<double, 0, unsigned int>;
using vec4 = zelt::external_vec<double, 4, unsigned int>;
using iter = zelt::dense_iterator<double*, 0, unsigned int>;
using citer = zelt::dense_iterator<const double*, 0, unsigned int>;

static_assert(std::contiguous_iterator<iter>);
static_assert(std::contiguous_iterator<citer>);
static_assert(std::is_same_v<std::iter_value_t<citer>, double>);
static_assert(std::indirectly_writable<iter, double>);
static_assert(!std::indirectly_writable<citer, double>);
static_assert(std::convertible_to<iter, citer>);
static_assert(!std::convertible_to<citer, iter>);
static_assert(std::sized_sentinel_for<iter, iter>);
static_assert(std::totally_ordered_with<iter, citer>);

template <class V>
constexpr bool is_standard_view = std::ranges::contiguous_range<V>&& std::ranges::sized_range<V>&&
    std::ranges::view<V>&& std::ranges::borrowed_range<V>&& std::ranges::contiguous_range<const V>;
static_assert(is_standard_view<vec>);
static_assert(is_standard_view<vec4>);
static_assert(std::is_same_v<std::ranges::iterator_t<vec>, iter>);
static_assert(std::is_same_v<std::ranges::iterator_t<const vec>, citer>);
// borrowed: an iterator from a temporary view is not dangling
static_assert(std::is_same_v<std::ranges::borrowed_iterator_t<vec>, iter>);

static_assert(std::is_constructible_v<vec, std::span<double>>);
static_assert(!std::is_convertible_v<std::span<double>, vec>);  // the length may narrow: explicit
static_assert(std::is_constructible_v<std::span<double>, vec&>);
static_assert(std::is_constructible_v<std::span<const double>, const vec&>);
static_assert(!std::is_constructible_v<std::span<double>, const vec&>);

// A strided view is a random-access, sized, borrowed view, but not contiguous.
using svec = zelt::strided_vec<double, unsigned int>;
using siter = zelt::strided_iterator<double*, unsigned int>;
using csiter = zelt::strided_iterator<const double*, unsigned int>;
static_assert(std::random_access_iterator<siter> && std::random_access_iterator<csiter>);
static_assert(!std::contiguous_iterator<siter>);
static_assert(std::indirectly_writable<siter, double> && !std::indirectly_writable<csiter, double>);
static_assert(std::sized_sentinel_for<siter, siter> && std::totally_ordered_with<siter, csiter>);
static_assert(std::ranges::random_access_range<svec> && std::ranges::sized_range<svec> &&
              std::ranges::view<svec> && std::ranges::borrowed_range<svec> &&
              std::ranges::random_access_range<const svec>);
static_assert(!std::ranges::contiguous_range<svec>);
static_assert(std::is_same_v<std::ranges::borrowed_iterator_t<svec>, siter>);

TEST(Ranges, StridedViewsWorkWithRangeAlgorithms) {
  double a[8] = {5, 0, 3, 0, 8, 0, 1, 0};
  svec v(a, 4, 2);
  std::ranges::sort(v);  // sorts a[0], a[2], a[4], a[6] only
  EXPECT_EQ(a[0], 1);
  EXPECT_EQ(a[2], 3);
  EXPECT_EQ(a[6], 8);
  EXPECT_EQ(a[1], 0);
  EXPECT_EQ(std::ranges::distance(v), 4);
  EXPECT_EQ(std::ranges::count(v, 0.0), 0);
  EXPECT_EQ(std::ranges::find(v, 8.0) - v.begin(), 3);
  // a column of a matrix is a strided range too
  double d[6] = {1, 2, 3, 4, 5, 6};
  const auto col = zelt::column(zelt::row_major_matrix<double>(d, 2, 3), 1);
  EXPECT_EQ(*std::ranges::max_element(col), 5);
}

TEST(Ranges, StandardAlgorithmsChangeTheCallersArray) {
  double a[5] = {3, 1, 4, 1, 5};
  vec v(a, 5, 0);
  std::sort(v.begin(), v.end());
  EXPECT_EQ(std::vector<double>(a, a + 5), (std::vector<double>{1, 1, 3, 4, 5}));
  std::ranges::sort(v, std::greater<>());
  EXPECT_EQ(std::vector<double>(a, a + 5), (std::vector<double>{5, 4, 3, 1, 1}));
  for (double& x : v) x *= 2;
  EXPECT_EQ(a[0], 10);
  EXPECT_EQ(std::accumulate(v.begin(), v.end(), 0.0), 28);
}

TEST(Ranges, FindAndReverse) {
  double a[4] = {1, 2, 3, 4};
  vec v(a, 4, 0);
  auto found = std::ranges::find(v, 3.0);
  ASSERT_NE(found, v.end());
  EXPECT_EQ(found - v.begin(), 2);
  EXPECT_EQ(&*found, &a[2]);
#if !defined(__clang__) || __clang_major__ >= 15
  // (clang 14 cannot compile libstdc++ 12's range adaptors over any range)
  std::vector<double> reversed;
  for (double x : v | std::views::reverse) reversed.push_back(x);
  EXPECT_EQ(reversed, (std::vector<double>{4, 3, 2, 1}));
#endif
  auto it = std::ranges::find(vec(a, 4, 0), 4.0);  // from a temporary view: still valid
  *it = 40;
  EXPECT_EQ(a[3], 40);
}

TEST(Span, ViewsConvertToSpanAndBack) {
  double a[3] = {1, 2, 3};
  vec v(a, 3, 7);  // the index base is not carried into the span
  std::span<double> s{v};
  EXPECT_EQ(s.data(), a);
  EXPECT_EQ(s.size(), 3u);
  EXPECT_EQ(s[0], v[7]);
  const vec& cv = v;
  std::span<const double> cs{cv};
  EXPECT_EQ(cs.data(), a);
  std::span<double> four{zelt::__make_external<4>()(a)};
  EXPECT_EQ(four.size(), 4u);

  vec back(s);  // and a span gives a view with index base 0
  EXPECT_EQ(back.data_ptr, a);
  EXPECT_EQ(back.size(), 3u);
  EXPECT_EQ(back.index_base, 0u);
  back[0] = 10;
  EXPECT_EQ(a[0], 10);
}

}  // namespace
