#!/usr/bin/env bash
# Installs the peers if needed, builds the benchmarks twice, as a user builds
# zelt (CMake's Release defaults, no -march: the kernels are chosen at run
# time) and with -march=native, runs them (on one core; the threaded Level 3
# cases on two) and writes docs/benchmarks.md: the views and norms first,
# then the BLAS operations, from the default build; the Level 3 section also
# shows the machine's ceilings, the kernel set in use and the -march=native
# build's figures.
#   benchmarks/run.sh [extra Google Benchmark flags]
#   ZELT_BENCH_PARTS=level3 benchmarks/run.sh   (only the Level 3 section)
#   ZELT_BENCH_PARTS=complex benchmarks/run.sh  (only the complex Level 3 section)
#   ZELT_BENCH_PARTS=report benchmarks/run.sh   (no runs: the document again
#     from the results of the last run, after an edit of their files)
set -euo pipefail
cd "$(dirname "$0")/.."

parts=${ZELT_BENCH_PARTS:-all}
build=build/bench
native=build/bench-native
cxx=${CXX:-g++}
if [ "$parts" != report ]; then

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

configure() {  # configure DIR FLAGS
  rm -f "$1/CMakeCache.txt"  # a fresh configuration, whatever the compiler before
  cmake -S . -B "$1" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$2" \
    -DZELT_BUILD_BENCHMARKS=ON -DZELT_BUILD_TESTS=OFF -DZELT_BUILD_EXAMPLES=OFF -DZELT_INSTALL=OFF
}
configure "$build" ""
configure "$native" "-march=native"
case $parts in
  level3) targets=(zelt_blas3_benchmarks) ;;
  complex) targets=(zelt_complex_blas3_benchmarks) ;;
  *) targets=(zelt_blas3_benchmarks zelt_complex_blas3_benchmarks zelt_benchmarks zelt_blas_benchmarks
    zelt_band_benchmarks) ;;
esac
cmake --build "$build" --target "${targets[@]}" -j 2
[ "$parts" = complex ] || cmake --build "$native" --target zelt_blas3_benchmarks -j 2

# OpenBLAS 0.3.21 falls back to its SSE3 (Prescott) kernels on CPUs newer than
# it knows; the comparison is with its best kernels, so name them.
if [ -z "${OPENBLAS_CORETYPE:-}" ] && grep -qw avx512f /proc/cpuinfo; then
  core=$(python3 -c "import ctypes; l = ctypes.CDLL('/usr/lib/x86_64-linux-gnu/openblas-pthread/libopenblas.so.0'); \
l.openblas_get_corename.restype = ctypes.c_char_p; print(l.openblas_get_corename().decode())" 2>/dev/null || true)
  if [ "$core" = Prescott ]; then
    export OPENBLAS_CORETYPE=SkylakeX
    echo "OpenBLAS does not know this CPU (it chose Prescott); OPENBLAS_CORETYPE=SkylakeX" >&2
  fi
fi

run() {  # run CORES BENCHMARK RESULTS [extra flags]
  local cores=$1 benchmark=$2 results=$3
  shift 3
  taskset -c "$cores" "${build}/benchmarks/$benchmark" --benchmark_repetitions=7 --benchmark_min_time=0.2 \
    --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$results" --benchmark_out_format=json "$@"
}
rm -f "$build/results.json" "$build/blas_results.json" "$build/band_results.json" "$build/blas3_results"*.json \
  "$native/blas3_results.json" "$build/complex_results.json"
if [ "$parts" = all ]; then
  run 0 zelt_benchmarks "$build/results.json" "$@"
  run 0 zelt_blas_benchmarks "$build/blas_results.json" "$@"
  run 0 zelt_band_benchmarks "$build/band_results.json" "$@"
fi
if [ "$parts" != level3 ]; then
  run 0 zelt_complex_blas3_benchmarks "$build/complex_results.json" --benchmark_repetitions=3 "$@"
fi
if [ "$parts" != complex ]; then
# Level 3: fewer repetitions (a call at n = 2000 takes a third of a second)
run 0 zelt_blas3_benchmarks "$build/blas3_results_1.json" --benchmark_filter='/1/' --benchmark_repetitions=5 "$@"
run 0,1 zelt_blas3_benchmarks "$build/blas3_results_2.json" --benchmark_filter='/2/' --benchmark_repetitions=5 "$@"
build="$native" run 0 zelt_blas3_benchmarks "$native/blas3_results.json" --benchmark_filter='/zelt/1/' \
  --benchmark_repetitions=5 "$@"
fi
python3 - "$build" <<'MERGE'
import json, sys, os
build = sys.argv[1]
parts = [os.path.join(build, f"blas3_results_{t}.json") for t in (1, 2)]
parts = [p for p in parts if os.path.exists(p) and os.path.getsize(p) > 0]
if parts:
    merged = json.load(open(parts[0]))
    for p in parts[1:]:
        merged["benchmarks"] += json.load(open(p))["benchmarks"]
    json.dump(merged, open(os.path.join(build, "blas3_results.json"), "w"))
MERGE

fi  # runs

compiler=$("$cxx" --version | head -n 1)
report_flags="-O3 -ffp-contract=off (CMake Release, zelt::zelt; no -march)"
level3() {
  python3 benchmarks/blas3_report.py "$build/blas3_results.json" --native "$native/blas3_results.json" \
    --compiler "$compiler" --flags "$report_flags"
}
complex() {
  python3 benchmarks/complex_report.py "$build/complex_results.json" --compiler "$compiler" --flags "$report_flags"
}
# splice FILE HEADING: FILE's text in place of docs/benchmarks.md's section
# "## HEADING" (up to the next "## "), or after the document's end.
splice() {
  python3 - "$1" "$2" <<'SPLICE'
import sys
doc, heading = open("docs/benchmarks.md").read(), "## " + sys.argv[2] + "\n"
new = open(sys.argv[1]).read()
if heading in doc:
    start = doc.index(heading)
    end = doc.find("\n## ", start + len(heading))
    doc = doc[:start] + new + (doc[end + 1:] if end >= 0 else "")
else:
    doc = doc.rstrip("\n") + "\n\n" + new
open("docs/benchmarks.md", "w").write(doc)
SPLICE
}
if [ "$parts" = level3 ]; then
  level3 >"$build/blas3_section.md"
  splice "$build/blas3_section.md" "Level 3 BLAS"
  echo "wrote the Level 3 section of docs/benchmarks.md"
  exit 0
fi
if [ "$parts" = complex ]; then
  complex >"$build/complex_section.md"
  splice "$build/complex_section.md" "Complex Level 3 BLAS"
  echo "wrote the complex Level 3 section of docs/benchmarks.md"
  exit 0
fi
python3 benchmarks/report.py "$build/results.json" --compiler "$compiler" --flags "$report_flags" >docs/benchmarks.md
if [ -s "$build/blas_results.json" ]; then  # absent when the extra flags filtered every BLAS benchmark out
  python3 benchmarks/blas_report.py "$build/blas_results.json" --compiler "$compiler" --flags "$report_flags" \
    >"$build/blas_section.md"
  {
    echo
    cat "$build/blas_section.md"
  } >>docs/benchmarks.md
fi
if [ -s "$build/band_results.json" ]; then
  python3 benchmarks/band_report.py "$build/band_results.json" >"$build/band_section.md"
  {
    echo
    cat "$build/band_section.md"
  } >>docs/benchmarks.md
fi
if [ -s "$build/blas3_results.json" ]; then
  level3 >"$build/blas3_section.md"
  {
    echo
    cat "$build/blas3_section.md"
  } >>docs/benchmarks.md
fi
if [ -s "$build/complex_results.json" ]; then
  complex >"$build/complex_section.md"
  {
    echo
    cat "$build/complex_section.md"
  } >>docs/benchmarks.md
fi
echo "wrote docs/benchmarks.md"
