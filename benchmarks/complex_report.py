#!/usr/bin/env python3
"""Turns Google Benchmark JSON from zelt_complex_blas3_benchmarks into the complex Level 3 section of
docs/benchmarks.md, printed to standard output."""
import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from blas3_report import load  # noqa: E402  (the same result names)
from report import cpu_model, fmt, package_version, ratio  # noqa: E402

OPERATIONS = [
    ("gemm_nn", "gemm: C = alpha A B + beta C"),
    ("gemm_cn", "gemm: C = alpha A^H B + beta C (zelt: adjoint(A))"),
    ("symm", "symm: A symmetric from its upper triangle (left)"),
    ("hemm", "hemm: A Hermitian from its upper triangle (left)"),
    ("syrk", "syrk: C = alpha A A^T + beta C, upper triangle"),
    ("herk", "herk: C = alpha A A^H + beta C, upper triangle (real alpha, beta)"),
    ("syr2k", "syr2k: C = alpha A B^T + alpha B A^T + beta C, upper triangle"),
    ("her2k", "her2k: C = alpha A B^H + conj(alpha) B A^H + beta C, upper triangle"),
    ("trmm", "trmm: B = alpha A B, A upper triangular (left, 'N', non-unit)"),
    ("trsm", "trsm: solves A X = alpha B, A lower triangular (left, 'N', non-unit)"),
]
PEERS = ["openblas", "blis"]


def cpu_family():
    """The x86 family and model numbers, which tell the generations apart where the model name does not
    (AMD's family 25 is Zen 3 and Zen 4, family 26 Zen 5)."""
    fields = {}
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                key, _, value = line.partition(":")
                if key.strip() in ("cpu family", "model") and key.strip() not in fields:
                    fields[key.strip()] = value.strip()
    except OSError:
        pass
    return f"family {fields.get('cpu family', '?')}, model {fields.get('model', '?')}"


def table(g, letter, op, title):
    name = letter + op
    sizes = sorted({k[3] for k in g if k[0] == name})
    if not sizes:
        return []
    real = {"z": "dgemm_nn", "c": "sgemm_nn"}[letter] if op == "gemm_nn" else None
    header = ["n", "zelt"] + PEERS + ["zelt / openblas", "zelt / blis"]
    if real:
        header += [f"zelt {real[:5]}", f"{letter}gemm / {real[:5]}"]
    out = [f"**{letter}{title}**", "", "| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    for n in sizes:
        z = g.get((name, "zelt", 1, n))
        row = [str(n), fmt(z, 1)] + [fmt(g.get((name, p, 1, n)), 1) for p in PEERS]
        row += [ratio(z, g.get((name, p, 1, n))) for p in PEERS]
        if real:
            d = g.get((real, "zelt", 1, n))
            row += [fmt(d, 1), ratio(z, d)]
        out.append("| " + " | ".join(row) + " |")
    out.append("")
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    parser.add_argument("--compiler", default="")
    parser.add_argument("--flags", default="")
    args = parser.parse_args()
    g, context = load(args.results)
    out = [
        "## Complex Level 3 BLAS",
        "",
        "GFLOPS on one core, counting 8 floating-point operations per complex multiply-add (8n^3 for gemm, symm, "
        "hemm, syr2k and her2k, 4n^3 for syrk, herk, trmm and trsm on n x n operands), median of the "
        "repetitions. `zelt` is the C++ interface, built with CMake's default flags (no `-march`); the peers are "
        f"OpenBLAS {package_version('libopenblas0-pthread')} and BLIS {package_version('libblis4-serial')} "
        "(serial). The ratios are zelt's GFLOPS over the peer's (above 1: zelt faster); the last two columns "
        "of the products hold them to zelt's real product of the same precision, measured in the same run. "
        f"Kernel set: `{context.get('kernel_set', '')}`. CPU: {cpu_model()} ({cpu_family()}). "
        f"Compiler: {args.compiler}, {args.flags}.",
        "",
        "`gemm`, `symm`, `hemm`, `syrk`, `herk`, `syr2k`, `her2k` and `trmm` run on the complex engine; "
        "`trsm` still runs the reference's loops, one element at a time.",
        "",
    ]
    active = context.get("kernel_set", "").split("kernels=")[-1].split()[0] if "kernels=" in context.get(
        "kernel_set", "") else ""
    rows = []
    for prefix, kernel, label in (("", "zkernel", "double"), ("s", "ckernel", "float")):
        m, f = g.get((prefix + "ceiling_muladd", active, 1, 0)), g.get((prefix + "ceiling_fma", active, 1, 0))
        t = g.get((kernel, active, 1, 128))
        if m:
            share = f"{100 * t / m:.0f} %" if t else ""
            rows.append(f"| {label} | {fmt(m, 1)} | {fmt(f, 1)} | {fmt(t, 1)} | {share} |")
    if rows:
        out += [
            "The machine's ceilings in the same run (benchmarks/ceiling_probe_loops.inc) and the complex register "
            "tile alone, its operands in L1 (128 steps):",
            "",
            "| precision | multiply-then-add ceiling | FMA ceiling | complex tile | tile / ceiling |",
            "|---|---|---|---|---|",
        ] + rows + [""]
    if context.get("openblas_coretype"):
        out += [f"OpenBLAS ran with `OPENBLAS_CORETYPE={context['openblas_coretype']}`.", ""]
    for letter, heading in (("z", "Double precision (`complex<double>`)"), ("c", "Single precision (`complex<float>`)")):
        out += [f"### {heading}", ""]
        for op, title in OPERATIONS:
            out += table(g, letter, op, title)
    print("\n".join(out))


if __name__ == "__main__":
    main()
