#ifndef ZELT_THREADS_HPP_
#define ZELT_THREADS_HPP_

// How many threads a Level 3 operation may use. A policy object passed as the
// first argument, in the manner of the standard's execution policies:
//
//     zelt::gemm(zelt::threads(4), alpha, A, B, beta, C);
//
// Without it an operation runs on the calling thread. The work is split by
// blocks of the output only, never along the summation, so every thread count
// gives the same bits.

#include <algorithm>  // std::min
#include <cstddef>    // std::size_t
#include <exception>  // std::exception_ptr
#include <thread>     // std::thread
#include <vector>     // std::vector

namespace zelt {

/// Up to `count` threads (at least one) for one call.
struct threads {
  explicit threads(unsigned n = 1) noexcept : count(n == 0 ? 1 : n) {}
  /// One thread per core the system reports.
  static threads all() noexcept { return threads(std::thread::hardware_concurrency()); }
  unsigned count;
};

namespace detail {

/// Splits [0, extent) into up to `parts` consecutive slabs whose boundaries
/// are multiples of `align` and whose costs are about equal, where `cost(x)`
/// is the cost of [0, x) (nondecreasing), and runs `task(lo, hi)` for each,
/// the first on the calling thread. A thread that cannot be started runs its
/// slab on the calling thread instead; an exception from any slab is rethrown
/// after all have finished.
template <class Cost, class Task>
void run_slabs(unsigned parts, std::size_t extent, std::size_t align, const Cost& cost, const Task& task) {
  if (parts <= 1) {  // one slab: no split to find, nothing to allocate
    task(std::size_t{0}, extent);
    return;
  }
  std::vector<std::size_t> cut{0};
  const double total = cost(extent);
  for (unsigned q = 1; q < parts; ++q) {
    const double goal = total * q / parts;
    std::size_t lo = cut.back(), hi = extent;
    while (lo < hi) {  // the first x with cost(x) >= goal
      const std::size_t x = lo + (hi - lo) / 2;
      if (cost(x) < goal) {
        lo = x + 1;
      } else {
        hi = x;
      }
    }
    const std::size_t x = std::min(extent, (lo + align / 2) / align * align);
    if (x > cut.back() && x < extent) cut.push_back(x);
  }
  cut.push_back(extent);

  std::vector<std::exception_ptr> errors(cut.size() - 1);
  auto run = [&](std::size_t s) {
    try {
      task(cut[s], cut[s + 1]);
    } catch (...) {
      errors[s] = std::current_exception();
    }
  };
  std::vector<std::thread> pool;
  for (std::size_t s = 1; s + 1 < cut.size(); ++s) {
    try {
      pool.emplace_back(run, s);
    } catch (...) {
      run(s);
    }
  }
  run(0);
  for (auto& t : pool) t.join();
  for (auto& e : errors)
    if (e) std::rethrow_exception(e);
}

/// The number of threads worth starting for `flops` floating-point
/// operations: starting a thread costs about as much as a few hundred
/// thousand of them. (Tests set the threshold to 0 to split every call.)
#if !defined(ZELT_MIN_FLOPS_PER_THREAD)
#define ZELT_MIN_FLOPS_PER_THREAD 4000000
#endif
inline unsigned useful_threads(const threads& policy, double flops) noexcept {
#if ZELT_MIN_FLOPS_PER_THREAD <= 0
  (void)flops;
  return policy.count;
#else
  const double per_thread = ZELT_MIN_FLOPS_PER_THREAD;
  const double most = flops / per_thread;
  return most < 2 ? 1 : (most < policy.count ? static_cast<unsigned>(most) : policy.count);
#endif
}

}  // namespace detail
}  // namespace zelt

#endif  // ZELT_THREADS_HPP_
