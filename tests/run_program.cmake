# Runs PROGRAM with ARGS and fails unless its standard output equals the file
# EXPECTED byte for byte, its standard error is empty and it exits with 0.
# With -DKERNEL_LINE=ON standard error must be one line instead, naming the
# kernel set in zelt_blas_get_config()'s words (after the line that says a
# set ZELT_ARCH forces cannot run here, when it cannot).
execute_process(COMMAND ${PROGRAM} ${ARGS}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)

set(failures "")
if(NOT status STREQUAL "0")
  string(APPEND failures "exit status ${status}, want 0\n")
endif()
if(KERNEL_LINE)
  if(NOT err MATCHES "^(zelt: ZELT_ARCH=[a-z0-9]+ (cannot run on this CPU|is not compiled into this program); using [a-z0-9]+\n)?zelt kernels=(generic|avx2|avx512) \\(compiled:( generic)?( avx2)?( avx512)?\\)\n$")
    string(APPEND failures "standard error is not the kernel set's line:\n${err}\n")
  endif()
elseif(NOT err STREQUAL "")
  string(APPEND failures "standard error is not empty:\n${err}\n")
endif()
if(NOT out STREQUAL expected)
  string(APPEND failures "standard output differs.\n--- got:\n${out}--- want:\n${expected}---\n")
endif()
if(failures)
  message(FATAL_ERROR "${PROGRAM}: ${failures}")
endif()
