#!/usr/bin/env python3
"""Turns Google Benchmark JSON from zelt_band_benchmarks into the band and packed section of
docs/benchmarks.md, printed to standard output; run.sh appends it after the other BLAS sections."""
import argparse
import os
import sys
from collections import defaultdict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from blas_report import load  # noqa: E402  (the same JSON layout)
from report import fmt, ratio  # noqa: E402

COLUMNS = ["zelt", "zelt_so", "openblas", "blis", "netlib"]
RATIOS = [("zelt", "openblas"), ("zelt_so", "openblas"), ("zelt", "blis"), ("zelt", "netlib")]
OPERATIONS = [
    ("gbmv_n", "gbmv: y = alpha A x + beta y, band kl = ku = k", "band"),
    ("gbmv_t", "gbmv, transposed: y = alpha A^T x + beta y", "band"),
    ("sbmv", "sbmv: y = alpha A x + beta y, symmetric band from its upper triangle", "triangle"),
    ("tbmv_n", "tbmv: x = A x, upper triangular band", "triangle"),
    ("tbmv_t", "tbmv, transposed: x = A^T x", "triangle"),
    ("tbsv_n", "tbsv: solves A x = b, upper triangular band", "triangle"),
    ("tbsv_t", "tbsv, transposed: solves A^T x = b", "triangle"),
    ("spmv", "spmv: y = alpha A x + beta y, symmetric A from its packed upper triangle", "packed"),
    ("spr", "spr: A = alpha x x^T + A, packed upper triangle", "packed"),
    ("spr2", "spr2: A = alpha x y^T + alpha y x^T + A, packed upper triangle", "packed"),
    ("tpmv_n", "tpmv: x = A x, packed upper triangular", "packed"),
    ("tpmv_t", "tpmv, transposed: x = A^T x", "packed"),
    ("tpsv_n", "tpsv: solves A x = b, packed upper triangular", "packed"),
    ("tpsv_t", "tpsv, transposed: solves A^T x = b", "packed"),
]


def stored(kind, n, k):
    return {"band": n * (2 * k + 1), "triangle": n * (k + 1)}.get(kind, n * (n + 1) // 2)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("results")
    args = parser.parse_args()
    context, times = load(args.results)
    k = int(context.get("band_width", "32"))
    sizes = defaultdict(set)
    for operation, _, size in times:
        sizes[operation].add(size)

    out = ["## BLAS Level 2: band and packed storage", ""]
    out.append("Written by `benchmarks/run.sh` from `zelt_band_benchmarks`, on the same core as above.")
    out.append(f"Bands have k = {k} diagonals beside the main one (kl = ku = k for gbmv), triangles are")
    out.append("upper, column storage, increments 1, alpha = 0.5 and beta = 1 (1e-3 for spr and spr2).")
    out.append("Nanoseconds per stored element: n (2k + 1) for gbmv, n (k + 1) for the triangular and")
    out.append("symmetric bands, n (n + 1) / 2 for the packed triangles. The operations that overwrite x")
    out.append("restore it before every call (and spr, spr2 their A), in every implementation alike.")
    out.append("A ratio is the first implementation's time over the second's: below 1 means zelt is faster.")
    out.append(f"Run of {context.get('date', '?')}; peers {context.get('peers', '?')}.")
    out.append("")
    worst = []
    for operation, title, kind in OPERATIONS:
        if not sizes[operation]:
            continue
        out.append(f"### {title}")
        out.append("")
        out.append("| n | " + " | ".join(COLUMNS) + " | " + " | ".join(f"{a}/{b}" for a, b in RATIOS) + " |")
        out.append("|" + " --- |" * (1 + len(COLUMNS) + len(RATIOS)))
        slowest = None
        for size in sorted(sizes[operation]):
            per = {}
            for c in COLUMNS:
                t = times.get((operation, c, size))
                per[c] = None if t is None else t / stored(kind, size, k)
            out.append(f"| {size:,} | " + " | ".join(fmt(per[c]) for c in COLUMNS) + " | " +
                       " | ".join(ratio(per[a], per[b]) for a, b in RATIOS) + " |")
            if per["zelt"] is not None and per["openblas"] is not None:
                r = per["zelt"] / per["openblas"]
                slowest = r if slowest is None else max(slowest, r)
        out.append("")
        if slowest is not None:
            worst.append((operation, slowest))
    if worst:
        out.append("### Summary: zelt against OpenBLAS")
        out.append("")
        out.append("The largest time ratio zelt/openblas over the sizes above, and OpenBLAS's speed as a")
        out.append("fraction of it (zelt's speed relative to OpenBLAS's, at its worst size):")
        out.append("")
        out.append("| operation | largest zelt/openblas | zelt's speed, OpenBLAS = 1 |")
        out.append("| --- | --- | --- |")
        for operation, r in worst:
            out.append(f"| {operation} | {r:.2f} | {1 / r:.2f} |")
        out.append("")
    print("\n".join(out))


if __name__ == "__main__":
    main()
