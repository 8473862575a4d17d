#ifndef ZELT_TESTS_BLAS_API_HPP_
#define ZELT_TESTS_BLAS_API_HPP_

// One calling convention for every BLAS implementation the differential
// harness compares: the CBLAS one (layout, flags as enums, int sizes and
// increments, increments < 0 walking backwards from the far end), for one
// element type T, double (the d routines) or float (the s routines). The
// reference is libblas3's CBLAS, loaded by path; zelt is reached through its
// C++ interface (blas_cpp.hpp) or through libzelt_blas.so's Fortran symbols.
#include <dlfcn.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

namespace zelt_test {

/// True for float, the single-precision element type; false for double.
template <class T>
constexpr bool is_single = std::is_same_v<T, float>;

/// The letter of T in the BLAS names: 'd' for double, 's' for float.
template <class T>
constexpr char blas_letter = is_single<T> ? 's' : 'd';

/// The BLAS name for T: `pattern` with its '?' replaced by T's letter
/// ("cblas_?dot" is cblas_ddot or cblas_sdot, "i?amax_" idamax_ or isamax_).
template <class T>
std::string blas_name(const char* pattern) {
  static_assert(std::is_same_v<T, double> || std::is_same_v<T, float>, "the BLAS has d and s routines only");
  std::string name = pattern;
  const auto mark = name.find('?');
  if (mark != std::string::npos) name[mark] = blas_letter<T>;
  return name;
}

/// The name of T's mixed-precision dot (see blas_api::mixed_dot), between
/// `prefix` and `suffix`: dsdot for double, sdsdot for float.
template <class T>
std::string mixed_dot_name(const char* prefix = "", const char* suffix = "") {
  return std::string(prefix) + (is_single<T> ? "sdsdot" : "dsdot") + suffix;
}

/// The same bits, or both NaN.
template <class R>
bool same_part(R a, R b) {
  if (std::isnan(a) && std::isnan(b)) return true;
  std::conditional_t<sizeof(R) == 4, std::uint32_t, std::uint64_t> x, y;
  static_assert(sizeof x == sizeof a);
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}

/// Room for n elements with increment inc, plus two guard elements on each
/// side that must never change.
inline std::size_t span(int n, int inc) {
  const auto a = static_cast<std::size_t>(inc < 0 ? -inc : inc);
  return (n <= 0 ? 0 : static_cast<std::size_t>(n - 1) * a + 1) + 4;
}

/// "name(arg,arg,...,)": a call, to name a difference.
template <class... Args>
std::string describe(const char* name, Args... args) {
  std::ostringstream os;
  os << name << "(";
  ((os << args << ","), ...);
  os << ")";
  return os.str();
}

/// The count of compared calls and the first differences.
struct tally {
  long calls = 0;
  long differing = 0;
  std::vector<std::string> first;  // descriptions of the first differences
  void record(bool same, const std::string& what) {
    ++calls;
    if (same) return;
    ++differing;
    if (first.size() < 20) first.push_back(what);
  }
};

enum layout { row_major = 101, col_major = 102 };
enum transpose { no_trans = 111, trans = 112 };
enum triangle { upper = 121, lower = 122 };
enum diagonal { non_unit = 131, unit = 132 };
enum side { left_side = 141, right_side = 142 };

template <class T>
struct blas_api {
  virtual ~blas_api() = default;
  /// False when the implementation cannot take row-major data.
  virtual bool has_row_major() const { return true; }

  virtual T dot(int n, const T* x, int incx, const T* y, int incy) const = 0;
  virtual void axpy(int n, T alpha, const T* x, int incx, T* y, int incy) const = 0;
  virtual void scal(int n, T alpha, T* x, int incx) const = 0;
  virtual void copy(int n, const T* x, int incx, T* y, int incy) const = 0;
  virtual void swap(int n, T* x, int incx, T* y, int incy) const = 0;
  virtual int iamax(int n, const T* x, int incx) const = 0;  // 0-based, "none" 0, as CBLAS
  virtual T asum(int n, const T* x, int incx) const = 0;
  virtual T nrm2(int n, const T* x, int incx) const = 0;
  virtual void rot(int n, T* x, int incx, T* y, int incy, T c, T s) const = 0;
  virtual void rotg(T* a, T* b, T* c, T* s) const = 0;
  virtual void rotm(int n, T* x, int incx, T* y, int incy, const T* param) const = 0;
  virtual void rotmg(T* d1, T* d2, T* x1, T y1, T* param) const = 0;
  // The dot product of float vectors accumulated in double, the mixed
  // operation of the element type: dsdot (the double sum) for double, sdsdot
  // (sb plus the sum, rounded to float at the end) for float. dsdot has no
  // sb: the double implementations ignore it.
  virtual T mixed_dot(int n, T sb, const float* x, int incx, const float* y, int incy) const = 0;

  virtual void gemv(layout o, transpose t, int m, int n, T alpha, const T* a, int lda, const T* x, int incx,
                    T beta, T* y, int incy) const = 0;
  virtual void ger(layout o, int m, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
                   int lda) const = 0;
  virtual void symv(layout o, triangle u, int n, T alpha, const T* a, int lda, const T* x, int incx, T beta,
                    T* y, int incy) const = 0;
  virtual void syr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* a, int lda) const = 0;
  virtual void syr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy, T* a,
                    int lda) const = 0;
  virtual void trmv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
                    int incx) const = 0;
  virtual void trsv(layout o, triangle u, transpose t, diagonal d, int n, const T* a, int lda, T* x,
                    int incx) const = 0;

  // band and packed storage
  virtual void gbmv(layout o, transpose t, int m, int n, int kl, int ku, T alpha, const T* a, int lda,
                    const T* x, int incx, T beta, T* y, int incy) const = 0;
  virtual void sbmv(layout o, triangle u, int n, int k, T alpha, const T* a, int lda, const T* x, int incx,
                    T beta, T* y, int incy) const = 0;
  virtual void spmv(layout o, triangle u, int n, T alpha, const T* ap, const T* x, int incx, T beta, T* y,
                    int incy) const = 0;
  virtual void spr(layout o, triangle u, int n, T alpha, const T* x, int incx, T* ap) const = 0;
  virtual void spr2(layout o, triangle u, int n, T alpha, const T* x, int incx, const T* y, int incy,
                    T* ap) const = 0;
  virtual void tbmv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
                    int incx) const = 0;
  virtual void tbsv(layout o, triangle u, transpose t, diagonal d, int n, int k, const T* a, int lda, T* x,
                    int incx) const = 0;
  virtual void tpmv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
                    int incx) const = 0;
  virtual void tpsv(layout o, triangle u, transpose t, diagonal d, int n, const T* ap, T* x,
                    int incx) const = 0;

  virtual void gemm(layout o, transpose ta, transpose tb, int m, int n, int k, T alpha, const T* a, int lda,
                    const T* b, int ldb, T beta, T* c, int ldc) const = 0;
  virtual void symm(layout o, side s, triangle u, int m, int n, T alpha, const T* a, int lda, const T* b,
                    int ldb, T beta, T* c, int ldc) const = 0;
  virtual void syrk(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda, T beta,
                    T* c, int ldc) const = 0;
  virtual void syr2k(layout o, triangle u, transpose t, int n, int k, T alpha, const T* a, int lda,
                     const T* b, int ldb, T beta, T* c, int ldc) const = 0;
  virtual void trmm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a,
                    int lda, T* b, int ldb) const = 0;
  virtual void trsm(layout o, side s, triangle u, transpose t, diagonal d, int m, int n, T alpha, const T* a,
                    int lda, T* b, int ldb) const = 0;
};

/// A shared library opened by path, with its own symbol scope, so that two
/// libraries exporting the same names can be compared in one process.
class shared_library {
 public:
  explicit shared_library(const std::string& path)
      : handle_(path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {}
  ~shared_library() {
    if (handle_ != nullptr) dlclose(handle_);
  }
  shared_library(const shared_library&) = delete;
  shared_library& operator=(const shared_library&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  template <class F>
  F symbol(const std::string& name) const {
    return handle_ == nullptr ? nullptr : reinterpret_cast<F>(dlsym(handle_, name.c_str()));
  }

 private:
  void* handle_;
};

}  // namespace zelt_test

#endif  // ZELT_TESTS_BLAS_API_HPP_
