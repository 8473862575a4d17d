# Builds the C program SOURCE with nothing but the C compiler CC and
# `pkg-config --cflags --libs zelt-blas` against the installed prefix PREFIX
# (library directory LIBDIR under it), then runs it with the library
# directory zelt-blas.pc names on LD_LIBRARY_PATH; the program must load
# libzelt_blas from there.
set(env ${CMAKE_COMMAND} -E env "PKG_CONFIG_PATH=${PREFIX}/${LIBDIR}/pkgconfig")
execute_process(COMMAND ${env} ${PKG_CONFIG} --cflags --libs zelt-blas
  OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pkg-config --cflags --libs zelt-blas failed")
endif()
execute_process(COMMAND ${env} ${PKG_CONFIG} --variable=libdir zelt-blas
  OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT IS_DIRECTORY "${libdir}")
  message(FATAL_ERROR "zelt-blas.pc names no library directory: '${libdir}'")
endif()
get_filename_component(libdir "${libdir}" REALPATH)
get_filename_component(want "${PREFIX}/${LIBDIR}" REALPATH)
if(NOT libdir STREQUAL want)
  message(FATAL_ERROR "zelt-blas.pc's libdir is ${libdir}, not the prefix's ${want}")
endif()

separate_arguments(flags UNIX_COMMAND "${flags}")
# dlsym and dladdr (libdl where the C library does not hold them).
foreach(library IN LISTS DL_LIBS)
  list(APPEND flags -l${library})
endforeach()
execute_process(COMMAND ${CC} -std=c99 ${SOURCE} ${flags} -o ${BINARY} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building ${SOURCE} with ${flags} failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env "LD_LIBRARY_PATH=${libdir}" ${BINARY} ${libdir}
  OUTPUT_VARIABLE out RESULT_VARIABLE status)
message("${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${BINARY} failed")
endif()
