// The Level 1 kernels that run in vector lanes: one element per lane, each
// computed exactly as the reference's scalar loop computes it. The loops over
// any access take complex elements too, through mul's complex forms.
// Included once per kernel set by zelt/blas1.hpp (see
// detail/for_each_kernel_set.hpp).

namespace zelt::detail::ZELT_KERNEL_SET {

template <class T, class X, class Y>
ZELT_EXACT_LOOP void axpy_kernel(T alpha, X x, Y y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t i = 0; i < n; ++i) y[i] = y[i] + mul(alpha, x[i]);
}

template <class T, class X>
ZELT_EXACT_LOOP void scal_kernel(T alpha, X x, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t i = 0; i < n; ++i) x[i] = mul(alpha, x[i]);
}

#if ZELT_HAVE_VECTORS
// The same three loops over contiguous vectors, written with full-width
// vectors: lane l is element i + l, computed exactly as the scalar loop does.
template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
ZELT_EXACT_LOOP void axpy_kernel(T alpha, unit_access<const T> x, unit_access<T> y, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t L = lanes<T>;
  const vec<T> a = broadcast(alpha);
  std::size_t i = 0;
  for (; i + 2 * L <= n; i += 2 * L) {
    const vec<T> y0 = load(y.p + i) + a * load(x.p + i);
    const vec<T> y1 = load(y.p + i + L) + a * load(x.p + i + L);
    store(y.p + i, y0);
    store(y.p + i + L, y1);
  }
  for (; i < n; ++i) y.p[i] = y.p[i] + mul(alpha, x.p[i]);
}

template <class T, std::enable_if_t<std::is_floating_point_v<T>, int> = 0>
ZELT_EXACT_LOOP void scal_kernel(T alpha, unit_access<T> x, std::size_t n) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t L = lanes<T>;
  const vec<T> a = broadcast(alpha);
  std::size_t i = 0;
  for (; i + 2 * L <= n; i += 2 * L) {
    const vec<T> x0 = a * load(x.p + i);
    const vec<T> x1 = a * load(x.p + i + L);
    store(x.p + i, x0);
    store(x.p + i + L, x1);
  }
  for (; i < n; ++i) x.p[i] = alpha * x.p[i];
}

template <class T>
ZELT_EXACT_LOOP void rot_kernel(unit_access<T> x, unit_access<T> y, std::size_t n, T c, T s) {
  ZELT_EXACT_ARITHMETIC
  constexpr std::size_t L = lanes<T>;
  const vec<T> cv = broadcast(c), sv = broadcast(s);
  std::size_t i = 0;
  for (; i + L <= n; i += L) {
    const vec<T> xi = load(x.p + i), yi = load(y.p + i);
    const vec<T> t = cv * xi + sv * yi;
    store(y.p + i, cv * yi - sv * xi);
    store(x.p + i, t);
  }
  for (; i < n; ++i) {
    const T xi = x.p[i], yi = y.p[i];
    const T t = mul(c, xi) + mul(s, yi);
    y.p[i] = mul(c, yi) - mul(s, xi);
    x.p[i] = t;
  }
}
#endif

template <class X, class Y>
void copy_kernel(X x, Y y, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) y[i] = x[i];
}

template <class X, class Y>
void swap_kernel(X x, Y y, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    const auto t = x[i];
    x[i] = y[i];
    y[i] = t;
  }
}

// A real rotation, of real or complex pairs.
template <class T, class X, class Y>
ZELT_EXACT_LOOP void rot_kernel(X x, Y y, std::size_t n, T c, T s) {
  ZELT_EXACT_ARITHMETIC
  for (std::size_t i = 0; i < n; ++i) {
    const auto xi = x[i];
    const auto yi = y[i];
    const auto t = mul(c, xi) + mul(s, yi);
    y[i] = mul(c, yi) - mul(s, xi);
    x[i] = t;
  }
}

// The modified rotation H applied to (x[i], y[i]) for each i. `flag` -1: H is
// full, 0: its diagonal is 1, 1: its off-diagonal is (1, -1).
template <class T, class X, class Y>
ZELT_EXACT_LOOP void rotm_kernel(X x, Y y, std::size_t n, const T* param) {
  ZELT_EXACT_ARITHMETIC
  const T flag = param[0];
  if (flag < 0) {
    const T h11 = param[1], h21 = param[2], h12 = param[3], h22 = param[4];
    for (std::size_t i = 0; i < n; ++i) {
      const T w = x[i], z = y[i];
      x[i] = mul(w, h11) + mul(z, h12);
      y[i] = mul(w, h21) + mul(z, h22);
    }
  } else if (flag == 0) {
    const T h21 = param[2], h12 = param[3];
    for (std::size_t i = 0; i < n; ++i) {
      const T w = x[i], z = y[i];
      x[i] = w + mul(z, h12);
      y[i] = mul(w, h21) + z;
    }
  } else {
    const T h11 = param[1], h22 = param[4];
    for (std::size_t i = 0; i < n; ++i) {
      const T w = x[i], z = y[i];
      x[i] = mul(w, h11) + z;
      y[i] = -w + mul(h22, z);
    }
  }
}
}  // namespace zelt::detail::ZELT_KERNEL_SET
