#!/usr/bin/env python3
"""Turns Google Benchmark JSON from zelt_blas3_benchmarks into the Level 3 section of docs/benchmarks.md.

The section is printed to standard output; run.sh appends it after the rest of the document.
"""
import argparse
import json
import os
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from report import cpu_model, fmt, package_version, ratio  # noqa: E402  (shared with the main report)

OPERATIONS = [
    ("gemm_nn", "gemm: C = A B + 0.5 C"),
    ("gemm_nt", "gemm: C = A B^T + 0.5 C (zelt: transposed(B))"),
    ("gemm_tn", "gemm: C = A^T B + 0.5 C (zelt: transposed(A))"),
    ("gemm_tt", "gemm: C = A^T B^T + 0.5 C"),
    ("symm", "symm: C = A B + 0.5 C, A symmetric from its upper triangle (left)"),
    ("syrk", "syrk: C = A A^T + 0.5 C, upper triangle"),
    ("syr2k", "syr2k: C = A B^T + B A^T + 0.5 C, upper triangle"),
    ("trmm", "trmm: B = A B, A upper triangular (left, 'N', non-unit)"),
    ("trsm", "trsm: solves A X = B, A lower triangular (left, 'N', non-unit)"),
    ("trsm_llt", "trsm: solves A^T X = B, A lower triangular (left, 'T', non-unit)"),
]
COLUMNS = ["zelt", "zelt_so", "openblas", "blis", "eigen"]


def load(path):
    """GFLOPS of each (operation, implementation, threads, n): the median of the repetitions
    when the run has aggregates, else the mean of the plain runs."""
    with open(path) as f:
        data = json.load(f)
    medians, plain = {}, defaultdict(list)
    for b in data["benchmarks"]:
        name = b.get("run_name", b["name"]).replace("/real_time", "")
        operation, implementation, threads, size = name.split("/")
        key = (operation, implementation, int(threads), int(size))
        gflops = b["flops"] / 1e9
        if b.get("run_type") == "aggregate":
            if b.get("aggregate_name") == "median":
                medians[key] = gflops
        else:
            plain[key].append(gflops)
    result = {k: sum(v) / len(v) for k, v in plain.items()}
    result.update(medians)
    return result, data.get("context", {})


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--compiler", default="")
    parser.add_argument("--flags", default="")
    args = parser.parse_args()
    g, context = load(args.results)
    kernel = g.get(("kernel", "zelt", 1, 256))
    fused = g.get(("kernel_fma", "probe", 1, 256))
    out = []
    out.append("## Level 3 BLAS")
    out.append("")
    out.append(
        "GFLOPS (10^9 floating-point operations per second, counting 2n^3 for gemm, symm and syr2k and n^3 for "
        "syrk, trmm and trsm on n x n operands), median of the repetitions. `zelt` is the C++ interface, "
        "`zelt_so` libzelt_blas's Fortran symbols; the peers are OpenBLAS "
        f"{package_version('libopenblas0-pthread')}, BLIS {package_version('libblis4-serial')} (serial) and "
        f"Eigen {package_version('libeigen3-dev')}'s product. The ratio is zelt / OpenBLAS. CPU: {cpu_model()}. "
        f"Compiler: {args.compiler}, {args.flags}."
    )
    out.append("")
    if kernel:
        out.append(
            f"The register-tile kernel alone, its operands in L1, runs at **{fmt(kernel, 1)} GFLOPS** on one core: the "
            "peak of a multiply followed by a separate addition on this machine, and the `% peak` column's "
            "reference."
            + (
                f" The same loop compiled with fused multiply-adds (benchmarks/fma_probe.cpp, which rounds once "
                f"where the reference rounds twice, so not zelt's bits) runs at **{fmt(fused, 1)} GFLOPS**: the "
                f"ceiling of the libraries that fuse, {fused / kernel:.2f} times zelt's (see docs/blas.md)."
                if fused
                else ""
            )
        )
        out.append("")
    for threads in (1, 2):
        present = [op for op in OPERATIONS if any(k[0] == op[0] and k[2] == threads for k in g)]
        if not present:
            continue
        out.append(f"### {'One thread' if threads == 1 else 'Two threads'}")
        out.append("")
        for op, title in present:
            sizes = sorted({k[3] for k in g if k[0] == op and k[2] == threads})
            columns = [c for c in COLUMNS if any((op, c, threads, n) in g for n in sizes)]
            out.append(f"**{title}**")
            out.append("")
            header = ["n"] + columns + ["zelt / openblas"]
            if threads == 1 and kernel:
                header.append("zelt % peak")
            out.append("| " + " | ".join(header) + " |")
            out.append("|" + "---|" * len(header))
            for n in sizes:
                row = [str(n)] + [fmt(g.get((op, c, threads, n)), 1) for c in columns]
                row.append(ratio(g.get((op, "zelt", threads, n)), g.get((op, "openblas", threads, n))))
                if threads == 1 and kernel:
                    z = g.get((op, "zelt", threads, n))
                    row.append(f"{100 * z / kernel:.0f}" if z else "")
                out.append("| " + " | ".join(row) + " |")
            out.append("")
    print("\n".join(out))


if __name__ == "__main__":
    main()
