#ifndef ZELT_TESTS_KERNEL_SET_ENV_HPP_
#define ZELT_TESTS_KERNEL_SET_ENV_HPP_

// The harness programs run once per kernel set, ZELT_ARCH naming it (see
// CMakeLists.txt). Before any test, this checks that the named set is the
// one running, that a dispatched call reaches its kernels, and that
// libzelt_blas.so, when the program loads it, runs it too; or it skips every test when the set cannot run
// here: the run would only repeat the default one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "blas_api.hpp"
#include "zelt/detail/simd.hpp"
#include "zelt/kernel_set.hpp"

namespace zelt_test {

class kernel_set_environment : public testing::Environment {
 public:
  void SetUp() override {
    const char* wanted = std::getenv("ZELT_ARCH");
    if (wanted == nullptr || *wanted == '\0') return;
    const std::string want = wanted;
    bool runnable = false;
    for (const zelt::kernel_set set :
         {zelt::kernel_set::generic, zelt::kernel_set::avx2, zelt::kernel_set::avx512})
      if (want == zelt::name(set)) runnable = zelt::compiled_in(set) && zelt::cpu_supports(set);
    if (!runnable) GTEST_SKIP() << "kernel set " << want << " cannot run here";
    ASSERT_EQ(zelt::name(zelt::active_kernel_set()), want);
    ASSERT_EQ(zelt::name(ZELT_KERNEL_CALL(this_kernel_set())), want);
#if defined(ZELT_BLAS_LIBRARY)
    const shared_library library(ZELT_BLAS_LIBRARY);
    const auto config = library.symbol<const char* (*)()>("zelt_blas_get_config");
    ASSERT_NE(config, nullptr);
    ASSERT_NE(std::string(config()).find("kernels=" + want + " "), std::string::npos) << config();
#endif
  }
};

inline testing::Environment* const kernel_set_check =
    testing::AddGlobalTestEnvironment(new kernel_set_environment);

}  // namespace zelt_test

#endif  // ZELT_TESTS_KERNEL_SET_ENV_HPP_
