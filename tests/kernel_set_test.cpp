// Which kernel set runs: the CPU's features against the kernel's own report
// of them, and ZELT_ARCH's choices and complaints.
#include "zelt/kernel_set.hpp"

#include "zelt/detail/simd.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr zelt::kernel_set all_sets[] = {zelt::kernel_set::generic, zelt::kernel_set::avx2,
                                         zelt::kernel_set::avx512};

// The chosen set with ZELT_ARCH set to `value` (unset for nullptr), and
// what the choice wrote to stderr.
std::pair<zelt::kernel_set, std::string> choose_with(const char* value) {
  const char* before = std::getenv("ZELT_ARCH");
  const std::string saved = before != nullptr ? before : "";
  if (value != nullptr) {
    setenv("ZELT_ARCH", value, 1);
  } else {
    unsetenv("ZELT_ARCH");
  }
  testing::internal::CaptureStderr();
  const zelt::kernel_set set = zelt::detail::choose_kernel_set();
  const std::string said = testing::internal::GetCapturedStderr();
  if (before != nullptr) {
    setenv("ZELT_ARCH", saved.c_str(), 1);
  } else {
    unsetenv("ZELT_ARCH");
  }
  return {set, said};
}

TEST(KernelSet, NamesAreTheOnesZeltArchTakes) {
  EXPECT_STREQ(zelt::name(zelt::kernel_set::generic), "generic");
  EXPECT_STREQ(zelt::name(zelt::kernel_set::avx2), "avx2");
  EXPECT_STREQ(zelt::name(zelt::kernel_set::avx512), "avx512");
}

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
// The kernel reads the same CPUID bits and XCR0 for its own use; its flags
// line is an independent account of what the CPU and the OS offer.
TEST(KernelSet, CpuSupportAgreesWithTheOperatingSystem) {
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::string line, flags;
  while (std::getline(cpuinfo, line))
    if (line.rfind("flags", 0) == 0) {
      flags = line.substr(line.find(':') + 1) + " ";
      break;
    }
  if (flags.empty()) GTEST_SKIP() << "no flags line in /proc/cpuinfo";
  EXPECT_TRUE(zelt::cpu_supports(zelt::kernel_set::generic));
#if ZELT_X86_KERNEL_SETS
  auto has = [&](const char* flag) { return flags.find(std::string(" ") + flag + " ") != std::string::npos; };
  EXPECT_EQ(zelt::cpu_supports(zelt::kernel_set::avx2), has("avx2"));
  EXPECT_EQ(zelt::cpu_supports(zelt::kernel_set::avx512),
            has("avx2") && has("avx512f") && has("avx512dq") && has("avx512bw") && has("avx512vl"));
#endif
}
#endif

TEST(KernelSet, WithoutZeltArchTheWidestSetThatRunsIsChosen) {
  const auto chosen = choose_with(nullptr);
  EXPECT_EQ(chosen.second, "");
  EXPECT_TRUE(zelt::compiled_in(chosen.first));
  for (const zelt::kernel_set set : all_sets) {
    if (set > chosen.first && zelt::compiled_in(set)) {
      EXPECT_FALSE(zelt::cpu_supports(set)) << zelt::name(set);
    }
  }
  EXPECT_EQ(choose_with("").first, chosen.first);
}

TEST(KernelSet, ZeltArchChoosesAnySetThatRunsAndNamesTheFallbackOtherwise) {
  const zelt::kernel_set best = choose_with(nullptr).first;
  for (const zelt::kernel_set set : all_sets) {
    const auto chosen = choose_with(zelt::name(set));
    if (zelt::compiled_in(set) && zelt::cpu_supports(set)) {
      EXPECT_EQ(chosen.first, set);
      EXPECT_EQ(chosen.second, "");
    } else {
      EXPECT_EQ(chosen.first, best);
      const std::string why =
          zelt::compiled_in(set) ? "cannot run on this CPU" : "is not compiled into this program";
      EXPECT_EQ(chosen.second, "zelt: ZELT_ARCH=" + std::string(zelt::name(set)) + " " + why + "; using " +
                                   zelt::name(best) + "\n");
    }
  }
  for (const char* bad : {"AVX512", "sse2", "avx512 ", "native"}) {
    const auto chosen = choose_with(bad);
    EXPECT_EQ(chosen.first, best);
    EXPECT_EQ(chosen.second, "zelt: ZELT_ARCH=" + std::string(bad) +
                                 " is not generic, avx2 or avx512; using " + zelt::name(best) + "\n");
  }
}

TEST(KernelSet, CallsReachTheActiveSetsKernels) {
  EXPECT_EQ(ZELT_KERNEL_CALL(this_kernel_set()), zelt::active_kernel_set());
  EXPECT_EQ(zelt::kernel_set_named("avx512"), zelt::kernel_set::avx512);
  EXPECT_EQ(zelt::kernel_set_named("avx2"), zelt::kernel_set::avx2);
  EXPECT_EQ(zelt::kernel_set_named("generic"), zelt::kernel_set::generic);
}

TEST(KernelSet, ConfigNamesTheActiveSetAndTheCompiledOnes) {
  const std::string config = zelt::config();
  EXPECT_EQ(
      config.rfind(std::string("zelt kernels=") + zelt::name(zelt::active_kernel_set()) + " (compiled: ", 0),
      0u)
      << config;
  for (const zelt::kernel_set set : all_sets) {
    const bool listed = config.find(std::string(" ") + zelt::name(set) + ")") != std::string::npos ||
                        config.find(std::string(" ") + zelt::name(set) + " ") != std::string::npos;
    EXPECT_EQ(listed, zelt::compiled_in(set)) << config;
  }
}

}  // namespace
