# Runs numpy's own linalg test suite (PYTHON -m pytest --pyargs numpy.linalg)
# with libzelt_blas.so (LIBRARY) as the only libblas.so.3 and the reference
# LAPACK (LAPACK) as liblapack.so.3: a scratch directory WORKDIR of symlinks
# on LD_LIBRARY_PATH, whatever the system's alternatives say. Checks first
# that the loader takes both from there.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}/lib")
file(CREATE_LINK "${LIBRARY}" "${WORKDIR}/lib/libblas.so.3" SYMBOLIC)
file(CREATE_LINK "${LAPACK}" "${WORKDIR}/lib/liblapack.so.3" SYMBOLIC)
set(ENV{LD_LIBRARY_PATH} "${WORKDIR}/lib")
unset(ENV{LD_PRELOAD})

set(ENV{LD_DEBUG} libs)
execute_process(COMMAND "${PYTHON}" -c "import numpy.linalg" WORKING_DIRECTORY "${WORKDIR}"
  ERROR_VARIABLE loads RESULT_VARIABLE status)
unset(ENV{LD_DEBUG})
foreach(library IN ITEMS libblas.so.3 liblapack.so.3)
  if(NOT status EQUAL 0 OR NOT loads MATCHES "calling init: ${WORKDIR}/lib/${library}")
    message(FATAL_ERROR "numpy did not load ${WORKDIR}/lib/${library}:\n${loads}")
  endif()
endforeach()

execute_process(COMMAND "${PYTHON}" -m pytest -q -p no:cacheprovider --pyargs numpy.linalg
  WORKING_DIRECTORY "${WORKDIR}" OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE status)
string(REGEX MATCH "[^\n]*(passed|failed)[^\n]*" summary "${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "numpy's linalg tests failed on zelt:\n${out}")
endif()
message("numpy.linalg on libzelt_blas.so alone: ${summary}")
