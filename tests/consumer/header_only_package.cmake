# Configures zelt from SOURCE_DIR without libzelt_blas, installs it into
# WORKDIR/prefix, and builds and runs the C++ consumer (CONSUMER_DIR)
# against that package: the header-only package must work on its own.
file(REMOVE_RECURSE "${WORKDIR}")
set(prefix "${WORKDIR}/prefix")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORKDIR}/zelt -G ${GENERATOR}
    -DCMAKE_CXX_COMPILER=${CXX} -DZELT_BUILD_BLAS=OFF -DZELT_BUILD_TESTS=OFF -DZELT_BUILD_EXAMPLES=OFF
    -DZELT_INSTALL=ON
  OUTPUT_QUIET RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring zelt without libzelt_blas failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --install ${WORKDIR}/zelt --prefix ${prefix} OUTPUT_QUIET
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "installing zelt without libzelt_blas failed")
endif()
file(GLOB_RECURSE libraries "${prefix}/*zelt_blas*" "${prefix}/*Blas*" "${prefix}/*zelt-blas*")
if(libraries)
  message(FATAL_ERROR "the header-only install holds library files: ${libraries}")
endif()
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --build-and-test ${CONSUMER_DIR} ${WORKDIR}/consumer
    --build-generator ${GENERATOR}
    --build-options -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_PREFIX_PATH=${prefix}
    --test-command ${WORKDIR}/consumer/consumer
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the consumer of the header-only package failed")
endif()
