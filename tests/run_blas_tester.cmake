# Runs one of the reference BLAS testers (xblat1d, xblat2d, xblat3d, xdcblat1,
# xdcblat2, xdcblat3) on libzelt_blas.so alone, in a scratch directory, and
# fails unless every routine passes: -DTESTER=... -DINPUT=... (optional, the
# tester's standard input) -DLIBRARY=... -DWORKDIR=... -DTHREADS=...
# (optional: ZELT_NUM_THREADS)
#
# The testers are linked against libblas.so.3: a directory whose libblas.so.3
# is a link to libzelt_blas.so, first on LD_LIBRARY_PATH, puts the library in
# its place, so that no routine can come from another BLAS.
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/lib")
file(CREATE_LINK "${LIBRARY}" "${WORKDIR}/lib/libblas.so.3" SYMBOLIC)
set(input_args "")
if(INPUT)
  set(input_args INPUT_FILE "${INPUT}")
endif()
set(thread_env "")
if(THREADS)
  set(thread_env "ZELT_NUM_THREADS=${THREADS}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_PRELOAD "LD_LIBRARY_PATH=${WORKDIR}/lib" ${thread_env}
  "${TESTER}" ${input_args}
  WORKING_DIRECTORY "${WORKDIR}" OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
set(report "${out}")
foreach(summary_file IN ITEMS dblat2.out dblat3.out sblat2.out sblat3.out cblat2.out cblat3.out zblat2.out zblat3.out)
  if(EXISTS "${WORKDIR}/${summary_file}")
    file(READ "${WORKDIR}/${summary_file}" summary)
    string(APPEND report "${summary}")
  endif()
endforeach()
message("${report}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TESTER} exited with ${rc}: ${err}")
endif()
# The Fortran testers' FAIL, FATAL ERROR, SUSPECT and ERROR EXITS NOT
# TESTED; the C ones' FAILED THE TESTS OF ERROR-EXITS, ILLEGAL VALUE ... NOT
# DETECTED and XERBLA WAS CALLED WITH ... INSTEAD OF (both start with *****).
if(report MATCHES "FAIL|FATAL|SUSPECT|ERROR EXITS NOT|NOT PASSED|NOT DETECTED|XERBLA WAS CALLED|\\*\\*\\*\\*\\*")
  message(FATAL_ERROR "${TESTER} reports a failure")
endif()
if(NOT report MATCHES "PASS")
  message(FATAL_ERROR "${TESTER} reported nothing")
endif()
# The Level 2 and 3 testers (those with an input) end with this line; a
# tester that stops early does not.
if(INPUT AND NOT report MATCHES "END OF TESTS")
  message(FATAL_ERROR "${TESTER} stopped before the end")
endif()
