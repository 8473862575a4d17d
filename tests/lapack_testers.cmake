# LAPACK's own testers (Debian: liblapack-test) on the reference LAPACK, with
# the reference BLAS and with libzelt_blas.so: both runs must print the same.
# Per precision p, two tests:
#   lapack_tester.lin.p  the linear equation tester, its RFP variant and, in
#                        d and z, the mixed-precision one, on their inputs;
#   lapack_tester.eig.p  the eigenproblem tester on every input LAPACK ships
#                        for it (those of lapack_testing.py, and the
#                        balancing ones LAPACK's own test run adds).
get_filename_component(lapack_dir ${ZELT_REFERENCE_LAPACK} DIRECTORY)
set(lapack_testers_missing "")
foreach(p IN ITEMS s d c z)
  set(lin xlintst${p}:${p}test.in xlintstrf${p}:${p}test_rfp.in)
  if(p STREQUAL "d")
    list(APPEND lin xlintstds:dstest.in)
  elseif(p STREQUAL "z")
    list(APPEND lin xlintstzc:zctest.in)
  endif()
  set(eig "")
  foreach(input IN ITEMS nep sep se2 svd ${p}ec ${p}ed ${p}gg ${p}gd ${p}sb ${p}sg ${p}bb glm gqr gsv csd lse
      ${p}bal ${p}bak ${p}gbal ${p}gbak)
    list(APPEND eig xeigtst${p}:${input}.in)
  endforeach()
  foreach(family IN ITEMS lin eig)
    foreach(pair IN LISTS ${family})
      string(REPLACE ":" ";" files "${pair}")
      foreach(file IN LISTS files)
        if(NOT EXISTS ${lapack_dir}/${file})
          list(APPEND lapack_testers_missing ${lapack_dir}/${file})
        endif()
      endforeach()
    endforeach()
    # the pairs, separated by commas, one argument
    string(REPLACE ";" "," runs "${${family}}")
    add_test(NAME lapack_tester.${family}.${p} COMMAND ${CMAKE_COMMAND} -DRUNS=${runs} -DTESTER_DIR=${lapack_dir}
      -DLAPACK=${ZELT_REFERENCE_LAPACK} -DREFERENCE_BLAS=${ZELT_REFERENCE_BLAS} -DLIBRARY=$<TARGET_FILE:zelt_blas>
      -DWORKDIR=${CMAKE_CURRENT_BINARY_DIR}/lapack_tester_${family}_${p}
      -P ${CMAKE_CURRENT_SOURCE_DIR}/run_lapack_tester.cmake)
    set_tests_properties(lapack_tester.${family}.${p} PROPERTIES LABELS long)
  endforeach()
endforeach()
if(lapack_testers_missing)
  list(REMOVE_DUPLICATES lapack_testers_missing)
  list(JOIN lapack_testers_missing "\n  " lapack_testers_missing)
  message(FATAL_ERROR "zelt tests need the reference LAPACK testers (Debian: liblapack-test); missing:\n  "
    "${lapack_testers_missing}")
endif()
