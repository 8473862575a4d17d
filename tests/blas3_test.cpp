// zelt's Level 3 operations, through the C++ interface, against the reference
// BLAS (libblas3, loaded by path): every bit must agree, in both layouts and
// on any number of threads. Built twice: with the real block sizes, and with
// tiny ones, so that every block boundary of the engine, of the triangular
// splitting and of the solves is crossed by small matrices.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <random>
#include <thread>
#include <vector>

#include "bits.hpp"
#include "blas_harness.hpp"
#include "blas_impls.hpp"
#include "refusing_allocator.hpp"
#include "zelt/blas3.hpp"
#include "zelt/matrix_views.hpp"

namespace {

const zelt_test::shared_library& reference_library() {
  static const zelt_test::shared_library lib(ZELT_REFERENCE_BLAS);
  return lib;
}

void expect_no_differences(const zelt_test::tally& t, long at_least) {
  EXPECT_GE(t.calls, at_least);
  EXPECT_EQ(t.differing, 0) << "of " << t.calls << " calls";
  for (const auto& what : t.first) ADD_FAILURE() << "differs: " << what;
}

// The harness's Level 3 operations on zelt's C++ interface over views of T.
template <class T>
void run(unsigned threads, int trials, std::uint64_t seed) {
  ASSERT_TRUE(reference_library().loaded()) << "reference BLAS not found at " << ZELT_REFERENCE_BLAS;
  const zelt_test::reference_cblas<T> ref(reference_library());
  ASSERT_TRUE(ref.complete());
  zelt_test::harness_options options;
  options.seed = seed;
  expect_no_differences(
      zelt_test::harness<T>(ref, zelt_test::zelt_cpp<T>(false, threads), options).run_level3(trials),
      12L * trials);
}

// Short of memory (a new thread, whose requests above 4 KiB fail), every
// operation packs into the workspace's own small buffers and sums its chains
// in a few columns or rows at a time: slower, the same bits.
template <class T>
void run_short_of_memory(int trials, std::uint64_t seed) {
  zelt_test::short_of_memory([=] { run<T>(1, trials, seed); });
}

TEST(ReferenceBlas3, OneThreadGivesTheReferenceBitsInBothLayouts) { run<double>(1, 1500, 31); }
TEST(ReferenceBlas3, LittleMemoryGivesTheSameBits) { run_short_of_memory<double>(300, 34); }
TEST(ReferenceBlas3, TwoThreadsGiveTheSameBits) { run<double>(2, 600, 32); }
TEST(ReferenceBlas3, ThreeThreadsGiveTheSameBits) { run<double>(3, 600, 33); }
TEST(ReferenceBlas3, SingleOneThreadGivesTheReferenceBitsInBothLayouts) { run<float>(1, 1500, 31); }
TEST(ReferenceBlas3, SingleLittleMemoryGivesTheSameBits) { run_short_of_memory<float>(300, 34); }
TEST(ReferenceBlas3, SingleTwoThreadsGiveTheSameBits) { run<float>(2, 600, 32); }
TEST(ReferenceBlas3, SingleThreeThreadsGiveTheSameBits) { run<float>(3, 600, 33); }

// Shapes past the real block sizes (k beyond one k-block, m beyond one
// m-block, several thread slabs), one call of each kind per shape.
template <class T>
void large_shapes() {
  ASSERT_TRUE(reference_library().loaded());
  const zelt_test::reference_cblas<T> ref(reference_library());
  std::mt19937_64 gen(7);
  std::uniform_real_distribution<double> dist(-2, 2);
  struct shape {
    int m, n, k;
  };
  for (const shape s : {shape{333, 70, 300}, shape{70, 333, 257}, shape{300, 300, 40}}) {
    for (unsigned threads : {1u, 2u}) {
      const zelt_test::zelt_cpp<T> impl(false, threads);
      const int big = s.m > s.n ? (s.m > s.k ? s.m : s.k) : (s.n > s.k ? s.n : s.k);
      const auto order = static_cast<std::size_t>(big);
      std::vector<T> a(order * order), b = a, c = a;
      for (auto* v : {&a, &b, &c})
        for (T& e : *v) e = static_cast<T>(dist(gen));
      for (std::size_t k = 0; k < order; ++k) a[k * (order + 1)] += 8;
      auto check = [&](const char* what, auto call) {
        auto cr = c, ci = c;
        call(ref, cr.data());
        call(impl, ci.data());
        bool same = true;
        for (std::size_t i = 0; i < cr.size(); ++i) same = same && zelt_test::same_bits(cr[i], ci[i]);
        EXPECT_TRUE(same) << what << " " << s.m << "x" << s.n << "x" << s.k << " threads " << threads;
      };
      using namespace zelt_test;
      for (transpose t : {no_trans, trans}) {
        check("gemm", [&](const blas_api<T>& x, T* out) {
          x.gemm(col_major, t, no_trans, s.m, s.n, s.k, T(0.5), a.data(), big, b.data(), big, T(1.5), out,
                 big);
        });
        check("syrk", [&](const blas_api<T>& x, T* out) {
          x.syrk(col_major, upper, t, s.n, s.k, T(-1), a.data(), big, T(0.5), out, big);
        });
        check("trsm", [&](const blas_api<T>& x, T* out) {
          x.trsm(col_major, left_side, lower, t, non_unit, s.m, s.n, T(2), a.data(), big, out, big);
        });
        check("trmm", [&](const blas_api<T>& x, T* out) {
          x.trmm(col_major, right_side, upper, t, non_unit, s.m, s.n, T(2), a.data(), big, out, big);
        });
      }
      check("symm", [&](const blas_api<T>& x, T* out) {
        x.symm(col_major, left_side, lower, s.m, s.n, T(1), a.data(), big, b.data(), big, T(0), out, big);
      });
    }
  }
}

TEST(ReferenceBlas3, LargeShapesCrossTheRealBlocks) { large_shapes<double>(); }
TEST(ReferenceBlas3, SingleLargeShapesCrossTheRealBlocks) { large_shapes<float>(); }

// A row-major output is the reference CBLAS's row-major call, whatever the
// operands' layouts: mixed layouts against the same call on copies.
template <class T>
void mixed_layouts() {
  ASSERT_TRUE(reference_library().loaded());
  const zelt_test::reference_cblas<T> ref(reference_library());
  std::mt19937_64 gen(9);
  std::uniform_real_distribution<double> dist(-2, 2);
  const unsigned m = 19, n = 23, k = 17;
  const std::size_t mk = std::size_t{m} * k, kn = std::size_t{k} * n, mn = std::size_t{m} * n;
  std::vector<T> a(mk), b(kn), c(mn);
  for (auto* v : {&a, &b, &c})
    for (T& e : *v) e = static_cast<T>(dist(gen));
  // The column-major reference call, with B given row-major to zelt: B is
  // read by logical element, so the result is gemm('N', 'N').
  std::vector<T> bt(kn);
  for (unsigned l = 0; l < k; ++l)
    for (unsigned j = 0; j < n; ++j) bt[l * n + j] = b[l + j * k];
  auto cr = c, cz = c;
  ref.gemm(zelt_test::col_major, zelt_test::no_trans, zelt_test::no_trans, m, n, k, T(0.75), a.data(), m,
           b.data(), k, T(-1), cr.data(), m);
  zelt::gemm(T(0.75), zelt::col_major_matrix<const T>(a.data(), m, k),
             zelt::row_major_matrix<const T>(bt.data(), k, n), T(-1),
             zelt::col_major_matrix<T>(cz.data(), m, n));
  for (std::size_t i = 0; i < cr.size(); ++i) ASSERT_TRUE(zelt_test::same_bits(cr[i], cz[i])) << i;
}

TEST(ReferenceBlas3, MixedLayoutsAreTheReferenceCallOnTheLogicalMatrices) { mixed_layouts<double>(); }
TEST(ReferenceBlas3, SingleMixedLayoutsAreTheReferenceCallOnTheLogicalMatrices) { mixed_layouts<float>(); }

// n elements of T that end where the process's memory ends: the page after
// the last one cannot be read or written, so an access past the end stops
// the program.
template <class T>
class guarded_elements {
 public:
  explicit guarded_elements(std::size_t n) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    usable_ = (n * sizeof(T) + page - 1) / page * page;
    base_ = mmap(nullptr, usable_ + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base_ == MAP_FAILED || mprotect(static_cast<char*>(base_) + usable_, page, PROT_NONE) != 0) {
      base_ = nullptr;
      return;
    }
    data_ = static_cast<T*>(static_cast<void*>(static_cast<char*>(base_) + usable_)) - n;
  }
  ~guarded_elements() {
    if (base_ != nullptr) munmap(base_, usable_ + static_cast<std::size_t>(sysconf(_SC_PAGESIZE)));
  }
  guarded_elements(const guarded_elements&) = delete;
  guarded_elements& operator=(const guarded_elements&) = delete;
  T* data() const noexcept { return data_; }

 private:
  void* base_ = nullptr;
  std::size_t usable_ = 0;
  T* data_ = nullptr;
};

// Tiles cut by the edge of a matrix read and write only its elements: every
// operand of these products (leading dimension = rows) ends where memory
// ends, for row counts on both sides of each vector width and tile height,
// through the small-product path and the engine (whose a is read in place).
template <class T>
void edge_tiles() {
  ASSERT_TRUE(reference_library().loaded());
  const zelt_test::reference_cblas<T> ref(reference_library());
  const zelt_test::zelt_cpp<T> impl(false, 1);
  std::mt19937_64 gen(11);
  std::uniform_real_distribution<double> dist(-2, 2);
  auto draw = [&] { return static_cast<T>(dist(gen)); };
  struct shape {
    int m, n, k;
  };
  std::vector<shape> shapes;
  for (int m = 1; m <= 19; ++m)
    for (int n : {1, 3, 9})
      for (int k : {1, 5}) shapes.push_back({m, n, k});
  for (int m : {3, 13, 17}) shapes.push_back({m, 300, 70});
  using namespace zelt_test;
  for (const shape s : shapes) {
    for (transpose ta : {no_trans, trans}) {
      for (transpose tb : {no_trans, trans}) {
        const int ar = ta == trans ? s.k : s.m, br = tb == trans ? s.n : s.k;
        const auto a_size = static_cast<std::size_t>(s.m) * static_cast<std::size_t>(s.k),
                   b_size = static_cast<std::size_t>(s.k) * static_cast<std::size_t>(s.n),
                   c_size = static_cast<std::size_t>(s.m) * static_cast<std::size_t>(s.n);
        const guarded_elements<T> a(a_size), b(b_size), c(c_size);
        ASSERT_NE(a.data(), nullptr);
        ASSERT_NE(b.data(), nullptr);
        ASSERT_NE(c.data(), nullptr);
        std::generate(a.data(), a.data() + a_size, draw);
        std::generate(b.data(), b.data() + b_size, draw);
        std::generate(c.data(), c.data() + c_size, draw);
        std::vector<T> expected(c.data(), c.data() + c_size);
        ref.gemm(col_major, ta, tb, s.m, s.n, s.k, T(0.75), a.data(), ar, b.data(), br, T(-0.5),
                 expected.data(), s.m);
        impl.gemm(col_major, ta, tb, s.m, s.n, s.k, T(0.75), a.data(), ar, b.data(), br, T(-0.5), c.data(),
                  s.m);
        for (std::size_t i = 0; i < c_size; ++i)
          ASSERT_TRUE(same_bits(expected[i], c.data()[i])) << s.m << "x" << s.n << "x" << s.k << " at " << i;
      }
    }
  }
}

TEST(ReferenceBlas3, EdgeTilesStayInsideTheirOperands) { edge_tiles<double>(); }
TEST(ReferenceBlas3, SingleEdgeTilesStayInsideTheirOperands) { edge_tiles<float>(); }

}  // namespace
