# Runs a LAPACK client (CLIENT: a program built against the reference LAPACK
# only, or a command such as python3;script) on three BLAS libraries and
# compares the bits it prints:
#   reference  libblas.so.3 is the reference BLAS (REFERENCE_BLAS);
#   zelt.N     the same, with LIBRARY (libzelt_blas.so) preloaded and
#              ZELT_NUM_THREADS=N, for N in THREADS: every BLAS call goes to
#              zelt (the reference BLAS stays loaded under it);
#   openblas   libblas.so.3 is OpenBLAS (OPENBLAS_BLAS), if that is given.
# Each run gets a scratch directory of symlinks on LD_LIBRARY_PATH, so that
# liblapack.so.3 is always the reference LAPACK (LAPACK) and libblas.so.3 the
# chosen BLAS, whatever the system's alternatives say. The loader's record of
# its symbol bindings (LD_DEBUG=bindings) proves which library served each
# call: CALLER (a regular expression ending the caller's file name) must have
# taken CALLER_SYMBOL from the scratch directory's LAPACK, and LAPACK every
# routine of LEVEL3 from the BLAS under test, and so must DIRECT_CALLER (a
# caller that calls the BLAS itself) every routine of DIRECT_SYMBOLS. Fails unless every zelt run
# prints exactly the reference's bytes; reports how many values OpenBLAS
# changes, through COUNTER (count_differences) when given, or else how many
# lines.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORKDIR}")
file(MAKE_DIRECTORY "${WORKDIR}")

if(NOT DEFINED CALLER)
  set(CALLER /lapack_client)
  set(CALLER_SYMBOL dgesv_)
endif()
# Routines LAPACK's blocked code calls in the client, and so must be bound.
if(NOT DEFINED LEVEL3)
  set(LEVEL3 dgemm_ dtrsm_ dtrmm_ dsyr2k_ sgemm_ strsm_ strmm_ ssyr2k_)
endif()

# libraries(NAME BLAS [MORE...]): the scratch directory WORKDIR/NAME.lib with
# liblapack.so.3 and libblas.so.3 (and further files, linked by name).
function(libraries name blas)
  set(dir "${WORKDIR}/${name}.lib")
  file(MAKE_DIRECTORY "${dir}")
  file(CREATE_LINK "${LAPACK}" "${dir}/liblapack.so.3" SYMBOLIC)
  file(CREATE_LINK "${blas}" "${dir}/libblas.so.3" SYMBOLIC)
  foreach(extra IN LISTS ARGN)
    get_filename_component(extra_name "${extra}" NAME)
    file(CREATE_LINK "${extra}" "${dir}/${extra_name}" SYMBOLIC)
  endforeach()
endfunction()

# bound_to(RUN SYMBOL FROM VAR): the file that served SYMBOL to the library
# whose name ends in FROM, in run RUN's bindings.
function(bound_to run symbol from var)
  file(GLOB records "${WORKDIR}/${run}.bindings.*")
  set(found "")
  foreach(record IN LISTS records)
    file(STRINGS "${record}" lines REGEX "binding file [^ ]*${from} \\[0\\] to .* \\[0\\]: normal symbol `${symbol}'")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE ".* to (.*) \\[0\\]: normal symbol.*" "\\1" target "${line}")
      list(APPEND found "${target}")
    endforeach()
  endforeach()
  list(REMOVE_DUPLICATES found)
  set(${var} "${found}" PARENT_SCOPE)
endfunction()

# run(NAME LIBDIR [ENV...]): runs the client, its output into WORKDIR/NAME.txt,
# and checks that it took CALLER_SYMBOL from LIBDIR's liblapack.so.3.
function(run name libdir)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_PRELOAD "LD_LIBRARY_PATH=${libdir}"
      LD_DEBUG=bindings "LD_DEBUG_OUTPUT=${WORKDIR}/${name}.bindings" ${ARGN} ${CLIENT}
    OUTPUT_FILE "${WORKDIR}/${name}.txt" ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT err STREQUAL "")
    message(FATAL_ERROR "${name}: the client exited with ${status}: ${err}")
  endif()
  bound_to(${name} ${CALLER_SYMBOL} "${CALLER}" lapack)
  if(NOT lapack STREQUAL "${libdir}/liblapack.so.3")
    message(FATAL_ERROR "${name}: ${CALLER_SYMBOL} came from '${lapack}', not from ${libdir}/liblapack.so.3")
  endif()
endfunction()

# expect_bound(RUN FILE): every Level 3 call of LAPACK, and every direct
# call, went to FILE.
function(expect_bound run file)
  foreach(caller IN ITEMS "LAPACK|/liblapack\\.so\\.3|LEVEL3" "the client|${DIRECT_CALLER}|DIRECT_SYMBOLS")
    string(REPLACE "|" ";" caller "${caller}")
    list(GET caller 0 who)
    list(GET caller 1 from)
    list(GET caller 2 symbols)
    foreach(symbol IN LISTS ${symbols})
      bound_to(${run} ${symbol} "${from}" target)
      if(NOT target STREQUAL "${file}")
        message(FATAL_ERROR "${run}: ${who}'s ${symbol} was bound to '${target}', not to ${file}")
      endif()
    endforeach()
  endforeach()
endfunction()

# count_differences(RUN VAR): what RUN changes of the reference's output.
function(count_differences run var)
  if(COUNTER)
    execute_process(COMMAND "${COUNTER}" "${WORKDIR}/reference.txt" "${WORKDIR}/${run}.txt"
      OUTPUT_VARIABLE counts RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "the ${run} run printed other blocks than the reference's")
    endif()
  else()
    file(STRINGS "${WORKDIR}/reference.txt" expected)
    file(STRINGS "${WORKDIR}/${run}.txt" got)
    set(changed "")
    foreach(line IN LISTS got)
      if(NOT line IN_LIST expected)
        list(APPEND changed "${line}")
      endif()
    endforeach()
    list(LENGTH changed count)
    list(JOIN changed "\n" changed)
    set(counts "${count} lines differ:\n${changed}")
  endif()
  set(${var} "${counts}" PARENT_SCOPE)
endfunction()

libraries(reference "${REFERENCE_BLAS}")
run(reference "${WORKDIR}/reference.lib")
expect_bound(reference "${WORKDIR}/reference.lib/libblas.so.3")

foreach(threads IN LISTS THREADS)
  run(zelt.${threads} "${WORKDIR}/reference.lib" "LD_PRELOAD=${LIBRARY}" ZELT_NUM_THREADS=${threads})
  expect_bound(zelt.${threads} "${LIBRARY}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORKDIR}/reference.txt" "${WORKDIR}/zelt.${threads}.txt"
    RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    count_differences(zelt.${threads} counts)
    message(FATAL_ERROR "zelt on ${threads} thread(s) changes LAPACK's results:\n${counts}")
  endif()
  message("zelt on ${threads} thread(s): every bit as with the reference BLAS")
endforeach()

if(OPENBLAS_BLAS AND EXISTS "${OPENBLAS_BLAS}")
  # OpenBLAS's libblas.so.3 finds libopenblas.so.0 beside itself ($ORIGIN).
  get_filename_component(openblas_dir "${OPENBLAS_BLAS}" DIRECTORY)
  libraries(openblas "${OPENBLAS_BLAS}" "${openblas_dir}/libopenblas.so.0")
  run(openblas "${WORKDIR}/openblas.lib" OPENBLAS_NUM_THREADS=1)
  expect_bound(openblas "${WORKDIR}/openblas.lib/libblas.so.3")
  count_differences(openblas counts)
  message("OpenBLAS against the reference BLAS (for information):\n${counts}")
else()
  message("OpenBLAS is not installed: no comparison with it")
endif()
