# Runs LAPACK's own testers (Debian: liblapack-test) on the reference LAPACK,
# once with the reference BLAS and once with libzelt_blas.so, and fails unless
# both runs print the same: -DRUNS=program:input,... (programs and inputs in
# TESTER_DIR, each input read on standard input) -DTESTER_DIR=... -DLAPACK=...
# (the reference liblapack.so.3) -DREFERENCE_BLAS=... -DLIBRARY=... -DWORKDIR=...
#
# The testers are linked against liblapack.so.3 and libblas.so.3: each run's
# directory has a lib/ of links by those names, first on LD_LIBRARY_PATH, so
# that LAPACK is always the reference's and the BLAS the one under test,
# whatever the system's alternatives say; the loader's log (LD_DEBUG=libs)
# shows that these two files, and no other BLAS or LAPACK, were loaded.
#
# The testers print the CPU time they took on their last line, "Total time
# used = ... seconds"; that line alone differs between two runs on the same
# libraries, and is left out of the comparison.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORKDIR}")
set(blas_reference "${REFERENCE_BLAS}")
set(blas_zelt "${LIBRARY}")
foreach(blas IN ITEMS reference zelt)
  file(MAKE_DIRECTORY "${WORKDIR}/${blas}/lib")
  file(CREATE_LINK "${LAPACK}" "${WORKDIR}/${blas}/lib/liblapack.so.3" SYMBOLIC)
  file(CREATE_LINK "${blas_${blas}}" "${WORKDIR}/${blas}/lib/libblas.so.3" SYMBOLIC)
endforeach()

# run(BLAS PROGRAM INPUT NAME): the tester's output, without its timing line,
# into WORKDIR/BLAS/NAME.out.
function(run blas program input name)
  set(dir "${WORKDIR}/${blas}")
  string(TIMESTAMP start "%s%f")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_PRELOAD "LD_LIBRARY_PATH=${dir}/lib"
      LD_DEBUG=libs "LD_DEBUG_OUTPUT=${dir}/${name}.libs" "${TESTER_DIR}/${program}"
    INPUT_FILE "${TESTER_DIR}/${input}" WORKING_DIRECTORY "${dir}"
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  string(TIMESTAMP end "%s%f")
  math(EXPR tenths "(${end} - ${start}) / 100000")
  math(EXPR seconds "${tenths} / 10")
  math(EXPR tenths "${tenths} % 10")
  message("${program} < ${input}, ${blas} BLAS: ${seconds}.${tenths} s")
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${program} < ${input} with the ${blas} BLAS exited with ${rc}: ${err}")
  endif()
  if(NOT out MATCHES "\n End of tests\n")
    message(FATAL_ERROR "${program} < ${input} with the ${blas} BLAS stopped before the end:\n${out}")
  endif()
  file(GLOB logs "${dir}/${name}.libs.*")
  set(loaded "")
  foreach(log IN LISTS logs)
    file(STRINGS "${log}" lines REGEX "calling init: .*/lib[^/]*(blas|lapack)[^/]*$")
    list(TRANSFORM lines REPLACE ".*calling init: " "")
    list(APPEND loaded ${lines})
  endforeach()
  list(REMOVE_DUPLICATES loaded)
  list(SORT loaded)
  if(NOT loaded STREQUAL "${dir}/lib/libblas.so.3;${dir}/lib/liblapack.so.3")
    message(FATAL_ERROR "${program} < ${input} with the ${blas} BLAS loaded ${loaded}")
  endif()
  file(REMOVE ${logs})
  string(REGEX REPLACE "\n Total time used = +[0-9.]+ seconds\n" "\n" out "${out}")
  file(WRITE "${dir}/${name}.out" "${out}${err}")
endfunction()

set(differing "")
string(REPLACE "," ";" RUNS "${RUNS}")
foreach(pair IN LISTS RUNS)
  string(REPLACE ":" ";" pair "${pair}")
  list(GET pair 0 program)
  list(GET pair 1 input)
  get_filename_component(name "${input}" NAME_WE)
  run(reference ${program} ${input} ${name})
  run(zelt ${program} ${input} ${name})
  file(READ "${WORKDIR}/reference/${name}.out" expected)
  file(READ "${WORKDIR}/zelt/${name}.out" got)
  if(got STREQUAL expected)
    continue()
  endif()
  # the differing lines, side by side (the first 20)
  list(APPEND differing "${program} < ${input}")
  file(STRINGS "${WORKDIR}/reference/${name}.out" expected)
  file(STRINGS "${WORKDIR}/zelt/${name}.out" got)
  list(LENGTH expected expected_count)
  list(LENGTH got got_count)
  set(shown 0)
  foreach(line RANGE 1 ${expected_count})
    math(EXPR index "${line} - 1")
    list(GET expected ${index} reference_line)
    set(zelt_line "(none)")
    if(index LESS got_count)
      list(GET got ${index} zelt_line)
    endif()
    if(NOT zelt_line STREQUAL reference_line)
      message("${program} < ${input}, line ${line}:\n  reference: ${reference_line}\n  zelt:      ${zelt_line}")
      math(EXPR shown "${shown} + 1")
      if(shown EQUAL 20)
        break()
      endif()
    endif()
  endforeach()
  if(got_count GREATER expected_count)
    message("${program} < ${input}: zelt's run prints ${got_count} lines, the reference's ${expected_count}")
  endif()
endforeach()
if(differing)
  list(JOIN differing "\n  " differing)
  message(FATAL_ERROR "${LIBRARY} changes what these testers print (outputs in ${WORKDIR}):\n  ${differing}")
endif()
