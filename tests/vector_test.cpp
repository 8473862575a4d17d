#include "zelt/vector.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <iomanip>
#include <iterator>
#include <list>
#include <sstream>
#include <string>
#include <type_traits>
#include <utility>

#include "flush_counter.hpp"

namespace {

using vec = zelt::external_vec<double, 0, unsigned int>;
using vec4 = zelt::external_vec<double, 4, unsigned int>;
using iter = zelt::dense_iterator<double*, 0, unsigned int>;
using citer = zelt::dense_iterator<const double*, 0, unsigned int>;

// The flavour of an iterator follows the constness of the view it came from.
static_assert(std::is_same_v<decltype(std::declval<vec&>().begin()), iter>);
static_assert(std::is_same_v<decltype(std::declval<const vec&>().end()), citer>);
static_assert(std::is_same_v<decltype(*std::declval<iter>()), double&>);
static_assert(std::is_same_v<decltype(*std::declval<citer>()), const double&>);
static_assert(std::is_same_v<std::iterator_traits<iter>::iterator_category, std::random_access_iterator_tag>);
static_assert(std::is_same_v<decltype(zelt::__make_external<4>()(std::declval<double*>())), vec4>);
// Views and iterators are plain values.
static_assert(std::is_trivially_copyable_v<vec> && std::is_trivially_copyable_v<vec4>);
static_assert(std::is_trivially_copyable_v<iter> && std::is_trivially_copyable_v<citer>);
// A static-length view cannot be built with a run-time length, nor the reverse.
static_assert(!std::is_constructible_v<vec4, double*, unsigned, unsigned>);
static_assert(!std::is_constructible_v<vec, double*>);
static_assert(!std::is_convertible_v<double*, vec4>);
// The mutable iterator converts to the read-only one, never the reverse.
static_assert(std::is_convertible_v<iter, citer> && !std::is_convertible_v<citer, iter>);
static_assert(std::is_same_v<std::iterator_traits<citer>::value_type, double>);
static_assert(std::is_same_v<std::iterator_traits<citer>::reference, const double&>);
static_assert(std::is_same_v<std::iterator_traits<iter>::pointer, double*>);
static_assert(std::is_same_v<std::iterator_traits<iter>::difference_type, std::ptrdiff_t>);

template <class V>
std::string text_of(V v) {
  std::ostringstream os;
  zelt::print_vector(v, os);
  return os.str();
}

TEST(ExternalVec, IndexBaseShiftsSubscriptsButNotIteration) {
  double a[3] = {10, 20, 30};
  vec v(a, 3, 5);
  EXPECT_EQ(v[5], 10);
  EXPECT_EQ(v[6], 20);
  EXPECT_EQ(&v[7], &a[2]);
  EXPECT_EQ(*v.begin(), 10);
  EXPECT_EQ(v.end().pos, 3u);
  EXPECT_EQ(v.begin().index_base, 5u);
  unsigned visited = 0;
  for (auto it = v.begin(); zelt::not_at(it, v.end()); ++it) ++visited;
  EXPECT_EQ(visited, v.size());
}

#if !defined(ZELT_CHECKED)
TEST(ExternalVec, SubscriptsAreNotChecked) {
  double a[8] = {0, 1, 2, 3, 4, 5, 6, 7};
  vec v(a, 4, 0);
  EXPECT_EQ(v[7], 7);  // beyond the length, still inside the caller's array
  vec based(a, 4, 2);
  EXPECT_EQ(based[9], 7);
}
#endif

TEST(ExternalVec, CopiesShareTheCallersElements) {
  double a[3] = {1, 2, 3};
  vec v(a, 3, 0);
  vec w = v;
  w[1] = 7;
  EXPECT_EQ(v[1], 7);
  *v.begin() = 9;
  EXPECT_EQ(w[0], 9);
  EXPECT_EQ(a[0], 9);
  a[2] = -4;
  EXPECT_EQ(w[2], -4);
}

TEST(ExternalVec, MadeByMakeExternalHasStaticLength) {
  double a[4] = {1, 2, 3, 4};
  vec4 v = zelt::__make_external<4>()(a);
  EXPECT_EQ(v.size(), 4u);
  EXPECT_EQ(v.length, 4u);
  EXPECT_EQ(v.index_base, 0u);
  EXPECT_EQ(v.data_ptr, a);
  EXPECT_EQ(v.end().pos, 4u);
  v.length = 99;  // the static length wins over the stored one
  EXPECT_EQ(v.size(), 4u);
  EXPECT_EQ(v.end().pos, 4u);
  const vec4& cv = v;
  EXPECT_EQ(cv.size(), 4u);
  EXPECT_EQ(cv.end().pos, 4u);
  EXPECT_EQ(cv.end() - cv.begin(), 4);
}

TEST(ExternalVec, EmptyViewHasNothingToVisit) {
  vec v(nullptr, 0, 0);
  EXPECT_EQ(v.begin().pos, 0u);
  EXPECT_EQ(v.end().pos, 0u);
  EXPECT_FALSE(zelt::not_at(v.begin(), v.end()));
  EXPECT_EQ(text_of(v), "[]\n");
}

TEST(DenseIterator, PrefixAndPostfixIncrement) {
  double a[5] = {0, 1, 2, 3, 4};
  citer it(a, 2, 0);
  citer old = it++;
  EXPECT_EQ(old.pos, 2u);
  EXPECT_EQ(it.pos, 3u);
  EXPECT_EQ(*old, 2);
  EXPECT_EQ(*it, 3);
  iter m(a, 2, 0);
  EXPECT_EQ(&++m, &m);
  EXPECT_EQ(m.pos, 3u);
  *m = 30;
  EXPECT_EQ(a[3], 30);
}

TEST(DenseIterator, LessComparesPositionsOnly) {
  double a[4] = {}, b[4] = {};
  EXPECT_TRUE(iter(a, 2, 0) < iter(b, 3, 7));
  EXPECT_FALSE(iter(b, 3, 0) < iter(a, 2, 0));
  EXPECT_FALSE(iter(a, 2, 0) < iter(b, 2, 0));
  EXPECT_FALSE(iter(b, 2, 0) < iter(a, 2, 0));
  // unsigned positions: a huge position is not "negative"
  EXPECT_TRUE(iter(a, 0, 0) < iter(a, 0x80000000u, 0));
}

TEST(DenseIterator, ArithmeticMovesThePosition) {
  double a[6] = {0, 10, 20, 30, 40, 50};
  iter it(a, 1, 0);
  EXPECT_EQ((it + 3).pos, 4u);
  EXPECT_EQ((3 + it).pos, 4u);
  EXPECT_EQ(*(it + 3), 40);
  EXPECT_EQ(it[2], 30);
  EXPECT_EQ(it[-1], 0);
  it += 4;
  EXPECT_EQ(it.pos, 5u);
  it -= 2;
  EXPECT_EQ(*it, 30);
  EXPECT_EQ((it - 3).pos, 0u);
  EXPECT_EQ(it + (-2), it - 2);
  EXPECT_EQ(&*(--it), &a[2]);
  iter old = it--;
  EXPECT_EQ(old.pos, 2u);
  EXPECT_EQ(it.pos, 1u);
  EXPECT_EQ(iter(a, 5, 0) - iter(a, 2, 0), 3);
  EXPECT_EQ(iter(a, 2, 0) - iter(a, 5, 0), -3);
  struct pair_of {
    double first, second;
  } p[2] = {{1, 2}, {3, 4}};
  zelt::dense_iterator<pair_of*, 0, unsigned> pit(p, 1, 0);
  EXPECT_EQ(pit->second, 4);
}

TEST(DenseIterator, ComparisonsUsePositionsOnlyAcrossFlavours) {
  double a[4] = {}, b[4] = {};
  const iter m(a, 2, 0);
  const citer r(b, 2, 9);
  EXPECT_TRUE(m == r);
  EXPECT_FALSE(m != r);
  EXPECT_TRUE(m <= r && m >= r);
  EXPECT_FALSE(m < r || m > r);
  const citer later(a, 3, 0);
  EXPECT_TRUE(m < later && later > m && m <= later && later >= m && m != later);
  EXPECT_EQ(later - m, 1);
  const citer converted = m;  // mutable converts to read-only
  EXPECT_EQ(converted.data_ptr, a);
  EXPECT_EQ(converted.pos, 2u);
  EXPECT_EQ(iter(), iter());
  EXPECT_EQ(iter().data_ptr, nullptr);
}

TEST(NotAt, StopsAtOrBeyondTheEnd) {
  double a[4] = {};
  const iter end(a, 3, 0);
  EXPECT_TRUE(zelt::not_at(iter(a, 2, 0), end));
  EXPECT_FALSE(zelt::not_at(iter(a, 3, 0), end));
  EXPECT_FALSE(zelt::not_at(iter(a, 5, 0), end));  // an overshooting loop still stops
  unsigned steps = 0;
  for (iter it(a, 0, 0); zelt::not_at(it, end); ++it, ++it) ++steps;
  EXPECT_EQ(steps, 2u);
}

TEST(NotAt, WorksOnPointersAndOtherCategories) {
  double a[3] = {};
  EXPECT_TRUE(zelt::not_at(a + 1, a + 2));
  EXPECT_FALSE(zelt::not_at(a + 3, a + 2));
  std::list<int> l = {1, 2};
  EXPECT_TRUE(zelt::not_at(l.begin(), l.end()));
  EXPECT_FALSE(zelt::not_at(l.end(), l.end()));
}

TEST(PrintVector, WritesACommaAfterEveryElement) {
  double a[5] = {1, 2, 3, 4, 5};
  EXPECT_EQ(text_of(vec(a, 5, 0)), "[1,2,3,4,5,]\n");
  double one = 2.5;
  EXPECT_EQ(text_of(vec(&one, 1, 0)), "[2.5,]\n");
  EXPECT_EQ(text_of(zelt::__make_external<4>()(a + 1)), "[2,3,4,5,]\n");
  EXPECT_EQ(text_of(vec(a, 2, 9)), "[1,2,]\n");  // from the first stored element, whatever the base
}

TEST(PrintVector, UsesTheStreamsDefaultNumberFormat) {
  double a[7] = {0.1 + 0.2, 1e-5, 1234567.0, -0.0, 1.0 / 3.0, 100000.0, 0.0001};
  EXPECT_EQ(text_of(vec(a, 7, 0)), "[0.3,1e-05,1.23457e+06,-0,0.333333,100000,0.0001,]\n");
}

TEST(PrintVector, HonoursPrecisionAndFlagsButNotWidth) {
  double a[2] = {1.0 / 3.0, 2};
  std::ostringstream os;
  os << std::setprecision(3) << std::setw(20) << std::showpos;
  zelt::print_vector(vec(a, 2, 0), os);
  EXPECT_EQ(os.str(), "[+0.333,+2,]\n");
  std::ostringstream hex;
  hex << std::hexfloat << vec(a, 1, 0);
  EXPECT_EQ(hex.str(), "[0x1.5555555555555p-2,]");
}

TEST(StreamInsertion, WritesTheTextFormWithoutTheEndOfLine) {
  double a[3] = {1, 2, 3};
  std::ostringstream os;
  os << vec(a, 3, 0) << ";" << zelt::__make_external<2>()(a) << ";" << vec();
  EXPECT_EQ(os.str(), "[1,2,3,];[1,2,];[]");
}

TEST(PrintVector, EndsTheLineWithAFlush) {
  double a[2] = {1, 2};
  zelt_test::flush_counter out;
  zelt::print_vector(vec(a, 2, 0), out.stream());
  EXPECT_EQ(out.text(), "[1,2,]\n");
  EXPECT_EQ(out.flushes(), 1);
  out.stream() << vec(a, 2, 0);  // the stream form neither ends the line nor flushes
  EXPECT_EQ(out.flushes(), 1);
}

TEST(PrintVector, DefaultsToStandardOutput) {
  double a[2] = {1, -2};
  testing::internal::CaptureStdout();
  zelt::print_vector(vec(a, 2, 0));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "[1,-2,]\n");
}

}  // namespace
