#!/usr/bin/env python3
"""Turns Google Benchmark JSON from zelt_benchmarks into docs/benchmarks.md."""
import argparse
import json
import subprocess
from collections import defaultdict

OPERATIONS = [
    ("one_norm", "one_norm (strict)", ["loop", "eigen", "openblas", "netlib"]),
    ("two_norm", "two_norm (strict)", ["loop", "eigen", "openblas", "netlib"]),
    ("accumulate", "accumulate (strict sum)", ["loop", "eigen"]),
    ("apply", "givens_rotation::apply", ["loop", "eigen", "openblas", "netlib"]),
    ("matrix_sum", "row_matrix sum through operator()", ["loop"]),
]
# Views: zero cost means within a few percent of the raw loop.
VIEWS = [
    ("one_norm_strided", "one_norm over a strided_vec (stride 3)", ["loop", "openblas", "netlib"]),
    ("two_norm_strided", "two_norm over a strided_vec (stride 3)", ["loop", "openblas", "netlib"]),
    ("one_norm_lanes_strided", "one_norm(v, lanes) over a strided_vec (stride 3)", ["loop"]),
    ("two_norm_lanes_strided", "two_norm(v, lanes) over a strided_vec (stride 3)", ["loop"]),
    ("col_matrix_sum", "col_major_matrix sum through operator(), column by column", ["loop"]),
    ("transposed_sum", "transposed(row_major_matrix) sum through operator(), in storage order", ["loop"]),
    ("sub_matrix_sum", "sub_matrix (n x n block of an (n+2) x (n+2) array) sum, row by row", ["loop"]),
]
# The fixed-order reductions are compared with the peers of the strict ones.
LANES = [
    ("one_norm_lanes", "one_norm(v, lanes)", "one_norm", ["eigen", "openblas"]),
    ("two_norm_lanes", "two_norm(v, lanes)", "two_norm", ["eigen", "openblas"]),
    ("stable_two_norm", "stable_two_norm", "two_norm", ["zelt"]),
]


def package_version(name):
    try:
        out = subprocess.run(["dpkg-query", "-W", "-f=${Version}", name], capture_output=True, text=True)
        return out.stdout.strip() or "not installed"
    except OSError:
        return "unknown"


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown"


def load(path):
    with open(path) as f:
        data = json.load(f)
    medians = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b.get("run_name", b["name"])
        operation, implementation, size = name.split("/")
        size = int(size)
        elements = size * size if operation.endswith("_sum") else size
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        medians[(operation, implementation, size)] = b["real_time"] * scale / elements
    return data["context"], medians


def fmt(x, digits=3):
    return "—" if x is None else f"{x:.{digits}f}"


def ratio(a, b):
    return "—" if a is None or b is None else f"{a / b:.2f}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--compiler", default="unknown")
    parser.add_argument("--flags", default="unknown")
    args = parser.parse_args()
    context, t = load(args.results)
    sizes = defaultdict(set)
    for operation, _, size in t:
        sizes[operation].add(size)

    out = ["# Benchmarks", ""]
    out.append("Written by `benchmarks/run.sh` (do not edit by hand). Medians of 7 randomly interleaved repetitions, one core")
    out.append("(`taskset -c 0`), in nanoseconds per element (per matrix element for the matrix sum). A ratio")
    out.append("is zelt's time over the peer's: below 1 means zelt is faster.")
    out.append("")
    out.append("| | |")
    out.append("| --- | --- |")
    out.append(f"| CPU | {cpu_model()}, {context.get('num_cpus', '?')} cores, {context.get('mhz_per_cpu', '?')} MHz |")
    out.append(f"| Compiler | {args.compiler} |")
    out.append(f"| Flags | `{args.flags}` |")
    out.append(f"| Eigen | {context.get('eigen_version', 'missing')} (libeigen3-dev {package_version('libeigen3-dev')}) |")
    out.append(f"| OpenBLAS | libopenblas0-pthread {package_version('libopenblas0-pthread')}, kernel "
               f"`{context.get('openblas_corename', 'missing')}`, 1 thread |")
    out.append(f"| netlib BLAS | libblas3 {package_version('libblas3')} |")
    out.append(f"| Google Benchmark | libbenchmark-dev {package_version('libbenchmark-dev')} |")
    out.append(f"| Peers | {context.get('peers', '?')} |")
    out.append(f"| Date | {context.get('date', '?')} |")
    out.append("")

    def table(title, operation, base, peers, labels):
        """One table: zelt's `operation` against `peers` of operation `base`."""
        out.append(f"### {title}")
        out.append("")
        out.append("| n | zelt | " + " | ".join(labels) + " | " + " | ".join(f"zelt/{l}" for l in labels) + " |")
        out.append("|" + " --- |" * (2 + 2 * len(peers)))
        for size in sorted(sizes[operation]):
            z = t.get((operation, "zelt", size))
            cells = [fmt(t.get((base, p, size))) for p in peers]
            ratios = [ratio(z, t.get((base, p, size))) for p in peers]
            out.append(f"| {size:,} | {fmt(z)} | " + " | ".join(cells) + " | " + " | ".join(ratios) + " |")
        out.append("")

    out.append("## Strict operations")
    out.append("")
    out.append("`loop` is the hand-written loop with the same arithmetic in the same order: the")
    out.append("zero-cost limit. The peers reassociate (Eigen, OpenBLAS) or scale (`dnrm2`), so their")
    out.append("results differ in the last bits; they are here for speed only.")
    out.append("")
    for operation, title, peers in OPERATIONS:
        table(title, operation, operation, peers, peers)

    out.append("## Views")
    out.append("")
    out.append("Strided vectors and matrix views against the same loop written by hand over the raw")
    out.append("array (`loop`, the zero-cost limit). OpenBLAS and netlib get the same stride as `incx`.")
    out.append("")
    for operation, title, peers in VIEWS:
        table(title, operation, operation, peers, peers)

    out.append("## Fixed-order reductions")
    out.append("")
    out.append("`one_norm(v, zelt::lanes)` and `two_norm(v, zelt::lanes)` fix a 16-lane order in the source,")
    out.append("so they vectorise and still give the same bits everywhere; `stable_two_norm` is compared")
    out.append("with the strict `two_norm`, whose bits it keeps for in-range data.")
    out.append("")
    for operation, title, base, peers in LANES:
        table(title, operation, base, peers, [f"{base} {p}" for p in peers])
    print("\n".join(out))


if __name__ == "__main__":
    main()
