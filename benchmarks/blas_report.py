#!/usr/bin/env python3
"""Turns Google Benchmark JSON from zelt_blas_benchmarks into the BLAS section of docs/benchmarks.md.

The section is printed to standard output; run.sh appends it after the rest of the document.
"""
import argparse
import json
import os
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import cpu_model, fmt, package_version, ratio  # noqa: E402  (shared with the main report)

IMPLEMENTATIONS = ["zelt", "zelt_so"]
PEERS = ["openblas", "blis", "netlib"]

LEVEL1 = [
    ("axpy", "axpy: y = y + alpha x (alpha = 0.5)"),
    ("scal", "scal: x = alpha x (alpha = 1.0000001)"),
    ("copy", "copy: y = x"),
    ("swap", "swap: x <-> y (zelt::swap_elements)"),
    ("rot", "rot: plane rotation, c = 0.6, s = 0.8"),
    ("dot", "dot (strict: zelt keeps the reference's order of additions)"),
]
LEVEL2 = [
    ("gemv_n", "gemv_n: y = alpha A x + beta y"),
    ("gemv_t", "gemv_t: y = alpha A^T x + beta y (zelt: gemv on zelt::transposed(A))"),
    ("ger", "ger: A = A + alpha x y^T"),
    ("symv", "symv: y = alpha A x + beta y, A symmetric from its upper triangle"),
    ("trmv", "trmv: x = A x, A upper triangular, non-unit diagonal"),
    ("trsv", "trsv: solves A x = b in place, A upper triangular, non-unit diagonal"),
]
# Level 2 operations that read only a triangle: n (n + 1) / 2 elements.
TRIANGLE = {"symv", "trmv", "trsv"}
# The sizes at which the Level 2 bandwidth is given: the largest ones.
BANDWIDTH_SIZES = 2


def matrix_elements(operation, n):
    return n * (n + 1) // 2 if operation in TRIANGLE else n * n


def load(path):
    """The time per call in ns of each (operation, implementation, n): the median of the
    repetitions when the run has aggregates, else the mean of the plain runs."""
    with open(path) as f:
        data = json.load(f)
    medians, plain = {}, defaultdict(list)
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"])
        operation, implementation, size = name.split("/")
        key = (operation, implementation, int(size))
        scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[b.get("time_unit", "ns")]
        time = b["real_time"] * scale
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[key] = time
        else:
            plain[key].append(time)
    times = {key: sum(v) / len(v) for key, v in plain.items()}
    times.update(medians)
    return data["context"], times


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--compiler", default="unknown")
    parser.add_argument("--flags", default="unknown")
    args = parser.parse_args()
    context, times = load(args.results)
    sizes = defaultdict(set)
    for operation, _, size in times:
        sizes[operation].add(size)

    def per_element(operation, implementation, size):
        t = times.get((operation, implementation, size))
        if t is None:
            return None
        # a single-precision name is the double one with an "s" in front
        name = operation if operation in dict(LEVEL1 + LEVEL2) else operation[1:]
        elements = matrix_elements(name, size) if name in dict(LEVEL2) else size
        return t / elements

    out = ["## BLAS operations", ""]
    out.append("Written by `benchmarks/run.sh` from `zelt_blas_benchmarks` (do not edit by hand), with the")
    out.append("same repetitions, core and compiler as above. `zelt` is the C++ interface")
    out.append("(`zelt::external_vec<double, 0, unsigned>` and `zelt::col_major_matrix<double>` views),")
    out.append("`zelt_so` the same operations through the Fortran symbols of `libzelt_blas.so`; both give the")
    out.append("netlib reference BLAS's bits. OpenBLAS and BLIS reorder and fuse the arithmetic, so their")
    out.append("results differ in the last bits; they are here for speed only. Every library is opened with")
    out.append("`dlopen` and called through its Fortran symbols (`ddot_`, `dgemv_`, ...), unit increments.")
    out.append("A ratio is the first implementation's time over the second's: below 1 means zelt is faster.")
    out.append("")
    out.append("| | |")
    out.append("| --- | --- |")
    out.append(f"| CPU | {cpu_model()}, {context.get('num_cpus', '?')} cores, {context.get('mhz_per_cpu', '?')} MHz |")
    out.append(f"| Compiler | {args.compiler} |")
    out.append(f"| Flags | `{args.flags}` |")
    out.append(f"| OpenBLAS | libopenblas0-pthread {package_version('libopenblas0-pthread')}, kernel "
               f"`{context.get('openblas_corename', 'missing')}`, 1 thread |")
    out.append(f"| BLIS | libblis4-serial {package_version('libblis4-serial')}, version "
               f"{context.get('blis_version', 'missing')}, configuration `{context.get('blis_arch', 'missing')}` |")
    out.append(f"| netlib BLAS | libblas3 {package_version('libblas3')} |")
    out.append(f"| libzelt_blas | `{context.get('zelt_so_path', '?') or 'not built'}` |")
    out.append(f"| Peers | {context.get('peers', '?')} |")
    out.append(f"| Date | {context.get('date', '?')} |")
    out.append("")

    def table(title, operation, unit):
        out.append(f"### {title}")
        out.append("")
        columns = IMPLEMENTATIONS + PEERS
        ratios = [(z, p) for z in IMPLEMENTATIONS for p in PEERS]
        out.append("| n | " + " | ".join(columns) + " | " + " | ".join(f"{z}/{p}" for z, p in ratios) + " |")
        out.append("|" + " --- |" * (1 + len(columns) + len(ratios)))
        for size in sorted(sizes[operation]):
            t = {c: per_element(operation, c, size) for c in columns}
            out.append(f"| {size:,} | " + " | ".join(fmt(t[c]) for c in columns) + " | " +
                       " | ".join(ratio(t[z], t[p]) for z, p in ratios) + " |")
        out.append("")
        if unit:
            out.append(unit)
            out.append("")

    out.append("## BLAS Level 1")
    out.append("")
    out.append("Nanoseconds per element (per index i: one element of each vector), vectors of n doubles,")
    out.append("x 64-byte aligned and y half a 4 KiB page after it modulo 4 KiB.")
    out.append("")
    for operation, title in LEVEL1:
        table(title, operation, None)

    out.append("### The strict dot against the latency of an addition")
    out.append("")
    out.append("`add_chain` is the loop `s = s + p[i]` (built with `-ffp-contract=off`): one addition per")
    out.append("element, each waiting for the one before, the lower bound of any dot that keeps the")
    out.append("reference's single chain of additions.")
    out.append("")
    out.append("| n | add_chain | dot zelt | dot zelt_so | dot netlib | zelt/add_chain | zelt_so/add_chain | netlib/add_chain |")
    out.append("|" + " --- |" * 8)
    sentences = []
    for size in sorted(sizes["add_chain"]):
        chain = per_element("add_chain", "loop", size)
        dots = [per_element("dot", i, size) for i in ("zelt", "zelt_so", "netlib")]
        out.append(f"| {size:,} | {fmt(chain)} | " + " | ".join(fmt(d) for d in dots) + " | " +
                   " | ".join(ratio(d, chain) for d in dots) + " |")
        if chain is not None and dots[0] is not None:
            sentences.append(f"- n = {size:,}: {dots[0]:.3f} ns against {chain:.3f} ns, "
                             f"{dots[0] / chain:.2f} times add_chain")
    out.append("")
    if sentences:
        out.append("The strict `zelt::dot` per element, over `add_chain`'s:")
        out.append("")
        out.extend(sentences)
        out.append("")

    out.append("### dot(x, y, zelt::lanes) against the peers' dot")
    out.append("")
    out.append("The fixed 16-lane order: vectorised, the same bits everywhere, not those of the strict dot.")
    out.append("")
    bases = [("dot", "zelt")] + [("dot", p) for p in PEERS]
    labels = ["dot zelt (strict)"] + [f"dot {p}" for p in PEERS]
    out.append("| n | dot_lanes zelt | " + " | ".join(labels) + " | " +
               " | ".join(f"lanes/{l}" for l in labels) + " |")
    out.append("|" + " --- |" * (2 + 2 * len(labels)))
    for size in sorted(sizes["dot_lanes"]):
        z = per_element("dot_lanes", "zelt", size)
        t = [per_element(o, i, size) for o, i in bases]
        out.append(f"| {size:,} | {fmt(z)} | " + " | ".join(fmt(x) for x in t) + " | " +
                   " | ".join(ratio(z, x) for x in t) + " |")
    out.append("")

    out.append("## BLAS Level 2")
    out.append("")
    out.append("Square n x n column-major A with lda = n, unit increments. Nanoseconds per matrix element")
    out.append("read: n^2 for gemv and ger, n (n + 1) / 2 (the triangle) for symv, trmv and trsv. alpha = 0.5 and")
    out.append("beta = 1 for gemv and symv, alpha = 0.001 for ger. A has 2n on its diagonal so that trsv's")
    out.append("solution stays finite; trmv and trsv restore x (n copies) before every call, in every")
    out.append("implementation alike.")
    out.append("")
    for operation, title in LEVEL2:
        table(title, operation, None)

    out.append("### Level 2 bandwidth")
    out.append("")
    out.append("GB/s of the matrix: bytes of A read per call (8 per element counted above) over the time per")
    out.append("call, at the largest sizes, where A no longer fits in the caches closest to the core. ger")
    out.append("also writes A back, so its memory traffic is twice the figure shown.")
    out.append("")
    columns = IMPLEMENTATIONS + PEERS
    out.append("| operation | n | " + " | ".join(columns) + " |")
    out.append("|" + " --- |" * (2 + len(columns)))
    for operation, _ in LEVEL2:
        for size in sorted(sizes[operation])[-BANDWIDTH_SIZES:]:
            cells = []
            for c in columns:
                t = times.get((operation, c, size))
                cells.append(fmt(None if t is None else 8 * matrix_elements(operation, size) / t, 1))
            out.append(f"| {operation} | {size:,} | " + " | ".join(cells) + " |")
    out.append("")

    out.append("## Single against double precision")
    out.append("")
    out.append("zelt's C++ interface on `float` views (`saxpy`, ..., `strsv`'s bits) against the same")
    out.append("operation on `double` views, on the same n: nanoseconds per element as above, and the cost per")
    out.append("byte moved of `float` over `double` (2 t_float / t_double, as a `float` is half the bytes):")
    out.append("at or below 1, single precision is no slower per byte.")
    out.append("")
    out.append("| operation | n | double | float | float / double per byte |")
    out.append("| --- | --- | --- | --- | --- |")
    for operation, _ in LEVEL1 + LEVEL2:
        for size in sorted(sizes["s" + operation]):
            d = per_element(operation, "zelt", size)
            f = per_element("s" + operation, "zelt", size)
            per_byte = f"{2 * f / d:.2f}" if d and f else "—"
            out.append(f"| {operation} | {size:,} | {fmt(d)} | {fmt(f)} | {per_byte} |")
    out.append("")
    print("\n".join(out))


if __name__ == "__main__":
    main()
