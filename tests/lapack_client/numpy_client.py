"""numpy's operations that reach the BLAS, directly (matmul, inner, dot, vdot,
matrix-vector products) or through LAPACK (solve, eigh, eigvalsh), in double
and single precision, real and complex, on fixed data of order 300: prints
each result's first element and a hash of all its bytes."""
import hashlib

import numpy as np

n = 300
base_a = (np.arange(n * n) * 7919 % 1009 / 1009 - 0.5).reshape(n, n) + 4 * np.eye(n)
base_b = (np.arange(n * n) * 104729 % 997 / 997 - 0.5).reshape(n, n)
for dtype in (np.float64, np.float32, np.complex128, np.complex64):
    a = base_a.astype(dtype)
    b = base_b.astype(dtype)
    if np.iscomplexobj(a):
        a = a + 1j * base_b.T
        b = b - 1j * base_a.T
    results = (
        ("matmul", a @ b),
        ("dot", np.dot(a[0], b[:, 1])),
        ("vdot", np.vdot(a[1], b[2])),
        ("inner", np.inner(a, b)),
        ("matvec", a @ b[:, 0]),
        ("solve", np.linalg.solve(a, b[:, 0])),
        ("eigh", np.linalg.eigh(a + a.conj().T)[1]),
        ("eigvalsh", np.linalg.eigvalsh(a + a.conj().T)),
    )
    for name, r in results:
        r = np.asarray(r)
        print(name, r.dtype, r.flat[0].tobytes().hex(), hashlib.sha256(r.tobytes()).hexdigest()[:16])
