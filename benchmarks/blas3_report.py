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


def ceiling_table(g, prefix):
    """The ceilings and register tiles of every kernel set measured, in one precision."""
    out = ["| set | multiply-then-add ceiling | FMA ceiling | register tile | tile / ceiling |", "|---|---|---|---|---|"]
    for s in ("generic", "avx2", "avx512"):
        m = g.get((prefix + "ceiling_muladd", s, 1, 0))
        if m is None:
            continue
        f, t = g.get((prefix + "ceiling_fma", s, 1, 0)), g.get((prefix + "kernel", s, 1, 256))
        share = f"{100 * t / m:.0f} %" if t else ""
        out.append(f"| {s} | {fmt(m, 1)} | {fmt(f, 1) if f else '-'} | {fmt(t, 1)} | {share} |")
    out.append("")
    return out


def operation_table(g, native, op, title, threads, ceiling, kernel, prefix="", compare=None):
    """One operation's GFLOPS by size and implementation, with the ratios. `compare`, when given, is the
    double-precision ceiling: the table then repeats the double-precision operation's share of it."""
    name = prefix + op
    sizes = sorted({k[3] for k in g if k[0] == name and k[2] == threads})
    columns = [c for c in COLUMNS if any((name, c, threads, n) in g for n in sizes)]
    out = [f"**{title}**", ""]
    header = ["n"] + columns
    if threads == 1 and native:
        header.append("zelt, -march=native")
    header += ["zelt / openblas", "zelt / blis"]
    if threads == 1 and ceiling:
        header += ["% ceiling", "% tile"]
    if compare:
        header.append("dgemm % ceiling")
    out.append("| " + " | ".join(header) + " |")
    out.append("|" + "---|" * len(header))
    for n in sizes:
        z = g.get((name, "zelt", threads, n))
        row = [str(n)] + [fmt(g.get((name, c, threads, n)), 1) for c in columns]
        if threads == 1 and native:
            row.append(fmt(native.get((name, "zelt", threads, n)), 1))
        row.append(ratio(z, g.get((name, "openblas", threads, n))))
        row.append(ratio(z, g.get((name, "blis", threads, n))))
        if threads == 1 and ceiling:
            row.append(f"{100 * z / ceiling:.0f}" if z else "")
            row.append(f"{100 * z / kernel:.0f}" if z and kernel else "")
        if compare:
            d = g.get((op, "zelt", threads, n))
            row.append(f"{100 * d / compare:.0f}" if d else "")
        out.append("| " + " | ".join(row) + " |")
    out.append("")
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--compiler", default="")
    parser.add_argument("--flags", default="")
    parser.add_argument("--native", help="results of the same benchmarks built with -march=native")
    args = parser.parse_args()
    g, context = load(args.results)
    native = load(args.native)[0] if args.native else {}
    kernel_set = context.get("kernel_set", "")
    active = kernel_set.split("kernels=")[1].split()[0] if "kernels=" in kernel_set else ""
    kernel = g.get(("kernel", active, 1, 256))
    ceiling = g.get(("ceiling_muladd", active, 1, 0))
    fused = g.get(("ceiling_fma", active, 1, 0))
    out = []
    out.append("## Level 3 BLAS")
    out.append("")
    out.append(
        "GFLOPS (10^9 floating-point operations per second, counting 2n^3 for gemm, symm and syr2k and n^3 for "
        "syrk, trmm and trsm on n x n operands), median of the repetitions. `zelt` is the C++ interface, "
        "`zelt_so` libzelt_blas's Fortran symbols, both built with CMake's default flags (no `-march`: the kernels "
        "are chosen at run time); the peers are OpenBLAS "
        f"{package_version('libopenblas0-pthread')}, BLIS {package_version('libblis4-serial')} (serial) and "
        f"Eigen {package_version('libeigen3-dev')}'s product. The ratios are zelt's GFLOPS over the peer's "
        f"(above 1: zelt faster). CPU: {cpu_model()}. "
        f"Compiler: {args.compiler}, {args.flags}."
    )
    if context.get("openblas_coretype"):
        out.append("")
        out.append(
            f"OpenBLAS ran with `OPENBLAS_CORETYPE={context['openblas_coretype']}`: this release does not know "
            "this CPU and would otherwise fall back to its SSE3 (Prescott) kernels."
        )
    out.append("")
    if any(k[0] == "ceiling_muladd" for k in g):
        out.append(
            f"Kernel set in use: `{kernel_set}`. The ceilings, measured in the same run "
            "(benchmarks/ceiling_probe_loops.inc: twelve independent chains acc = acc + x y in registers), and "
            "each set's register tile alone, its operands in L1, one core:"
        )
        out.append("")
        out += ceiling_table(g, "")
        if ceiling and fused:
            out.append(
                f"A multiply followed by a separate addition (the reference's two roundings, zelt's bits) peaks at "
                f"{fmt(ceiling, 1)} GFLOPS here, a fused multiply-add (one rounding: the libraries that fuse) at "
                f"{fmt(fused, 1)}: {fused / ceiling:.2f} times as much. `% ceiling` below is zelt's GFLOPS over "
                "the multiply-then-add ceiling, `% tile` over the register tile's."
            )
            out.append("")
    for threads in (1, 2):
        present = [op for op in OPERATIONS if any(k[0] == op[0] and k[2] == threads for k in g)]
        if not present:
            continue
        out.append(f"### {'One thread' if threads == 1 else 'Two threads'}")
        out.append("")
        for op, title in present:
            out += operation_table(g, native, op, title, threads, ceiling, kernel)

    single = [(op, title) for op, title in OPERATIONS if any(k[0] == "s" + op for k in g)]
    if single:
        s_ceiling = g.get(("sceiling_muladd", active, 1, 0))
        s_fused = g.get(("sceiling_fma", active, 1, 0))
        s_kernel = g.get(("skernel", active, 1, 256))
        out.append("### Single precision, one thread")
        out.append("")
        out.append(
            "The same probes and tiles on `float` vectors (twice the lanes of `double`), then `sgemm` as above, "
            "its `% ceiling` and `% tile` over these. `dgemm % ceiling` repeats the double-precision figure of the "
            "same case and size for comparison."
        )
        out.append("")
        out += ceiling_table(g, "s")
        if s_ceiling and s_fused and ceiling:
            out.append(
                f"In single precision the multiply-then-add ceiling is {fmt(s_ceiling, 1)} GFLOPS "
                f"({s_ceiling / ceiling:.2f} times the double one), the fused one {fmt(s_fused, 1)}."
            )
            out.append("")
        for op, title in single:
            title = "s" + title.replace("gemm:", "gemm (float):", 1)
            out += operation_table(g, native, op, title, 1, s_ceiling, s_kernel, prefix="s", compare=ceiling)
    print("\n".join(out))


if __name__ == "__main__":
    main()
