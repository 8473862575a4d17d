/* The client's three problems in one precision: included by lapack_client.c
 * once per precision, with REAL the element type, BITS the unsigned integer
 * of its size, HEX the format of BITS, NAME(x) x with the precision's
 * letter in front and PREFIX that letter as a string. */

static REAL *NAME(new_reals)(size_t count) {
  REAL *p = malloc(count * sizeof(REAL));
  if (p == NULL) {
    fprintf(stderr, "lapack_client: out of memory\n");
    exit(1);
  }
  return p;
}

static void NAME(print)(const char *name, const REAL *x, size_t count) {
  printf("%s %zu\n", name, count);
  for (size_t i = 0; i < count; ++i) {
    BITS bits;
    memcpy(&bits, &x[i], sizeof bits);
    printf(HEX "\n", bits);
  }
}

static void NAME(run)(void) {
  enum { n = 300, nrhs = 4, m = 320 };
  const int n_i = n, nrhs_i = nrhs, m_i = m, query = -1;
  int info = 0;

  /* gesv: A X = B, A with a heavier diagonal so that it is well conditioned. */
  REAL *a = NAME(new_reals)((size_t)n * n);
  REAL *b = NAME(new_reals)((size_t)n * nrhs);
  int ipiv[n];
  for (size_t i = 0; i < (size_t)n * n; ++i) a[i] = (REAL)next_value();
  for (size_t i = 0; i < (size_t)n; ++i) a[i * n + i] += 4;
  for (size_t i = 0; i < (size_t)n * nrhs; ++i) b[i] = (REAL)next_value();
  NAME(gesv_)(&n_i, &nrhs_i, a, &n_i, ipiv, b, &n_i, &info);
  check_info(PREFIX "gesv", info);
  NAME(print)(PREFIX "gesv.lu", a, (size_t)n * n);
  NAME(print)(PREFIX "gesv.x", b, (size_t)n * nrhs);
  printf(PREFIX "gesv.ipiv %d\n", n);
  for (int i = 0; i < n; ++i) printf("%d\n", ipiv[i]);
  free(b);
  free(a);

  /* geqrf: A = QR for a 320 x 300 matrix. */
  REAL work_size = 0;
  REAL *q = NAME(new_reals)((size_t)m * n);
  REAL *tau = NAME(new_reals)(n);
  for (size_t i = 0; i < (size_t)m * n; ++i) q[i] = (REAL)next_value();
  NAME(geqrf_)(&m_i, &n_i, q, &m_i, tau, &work_size, &query, &info);
  check_info(PREFIX "geqrf (workspace query)", info);
  int lwork = (int)work_size;
  REAL *work = NAME(new_reals)((size_t)lwork);
  NAME(geqrf_)(&m_i, &n_i, q, &m_i, tau, work, &lwork, &info);
  check_info(PREFIX "geqrf", info);
  NAME(print)(PREFIX "geqrf.qr", q, (size_t)m * n);
  NAME(print)(PREFIX "geqrf.tau", tau, n);
  free(work);
  free(tau);
  free(q);

  /* syev: the eigenvalues and eigenvectors of a symmetric matrix, given by
   * its lower triangle. */
  REAL *s = NAME(new_reals)((size_t)n * n);
  REAL *w = NAME(new_reals)(n);
  for (size_t j = 0; j < (size_t)n; ++j) {
    for (size_t i = 0; i < (size_t)n; ++i) s[j * n + i] = i >= j ? (REAL)next_value() : 0;
  }
  NAME(syev_)("V", "L", &n_i, s, &n_i, w, &work_size, &query, &info, 1, 1);
  check_info(PREFIX "syev (workspace query)", info);
  lwork = (int)work_size;
  work = NAME(new_reals)((size_t)lwork);
  NAME(syev_)("V", "L", &n_i, s, &n_i, w, work, &lwork, &info, 1, 1);
  check_info(PREFIX "syev", info);
  NAME(print)(PREFIX "syev.w", w, n);
  NAME(print)(PREFIX "syev.z", s, (size_t)n * n);
  free(work);
  free(w);
  free(s);
}
