#!/usr/bin/env bash
# Installs the peers if needed, builds the benchmarks with -O3 -march=native,
# runs them on one core and writes docs/benchmarks.md: the views and norms
# first, then the BLAS operations.
#   benchmarks/run.sh [extra Google Benchmark flags]
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
for package in libbenchmark-dev libeigen3-dev libopenblas-dev libblas-dev libblis4-serial python3; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || need+=("$package")
done
if ((${#need[@]})); then
  if [ "$(id -u)" = 0 ]; then
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y "${need[@]}"
  else
    echo "missing packages (run as root to install): ${need[*]}" >&2
  fi
fi

build=build/bench
cxx=${CXX:-g++}
flags="-march=native"
rm -f "$build/CMakeCache.txt"  # a fresh configuration, whatever the compiler before
cmake -S . -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" \
  -DZELT_BUILD_BENCHMARKS=ON -DZELT_BUILD_TESTS=OFF -DZELT_BUILD_EXAMPLES=OFF -DZELT_INSTALL=OFF
cmake --build "$build" --target zelt_benchmarks zelt_blas_benchmarks -j 2

run() {  # run BENCHMARK RESULTS [extra flags]
  local benchmark=$1 results=$2
  shift 2
  taskset -c 0 "$build/benchmarks/$benchmark" --benchmark_repetitions=7 --benchmark_min_time=0.2 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$results" --benchmark_out_format=json "$@"
}
rm -f "$build/results.json" "$build/blas_results.json"  # never a stale section
run zelt_benchmarks "$build/results.json" "$@"
run zelt_blas_benchmarks "$build/blas_results.json" "$@"

compiler=$("$cxx" --version | head -n 1)
report_flags="-O3 $flags -ffp-contract=off (CMake Release, zelt::zelt)"
python3 benchmarks/report.py "$build/results.json" --compiler "$compiler" --flags "$report_flags" >docs/benchmarks.md
if [ -s "$build/blas_results.json" ]; then  # absent when the extra flags filtered every BLAS benchmark out
  python3 benchmarks/blas_report.py "$build/blas_results.json" --compiler "$compiler" --flags "$report_flags" \
    >"$build/blas_section.md"
  {
    echo
    cat "$build/blas_section.md"
  } >>docs/benchmarks.md
fi
echo "wrote docs/benchmarks.md"
