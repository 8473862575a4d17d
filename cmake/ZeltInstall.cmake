# Installs the headers, libzelt_blas (shared, with its SONAME links, and
# static) when it is built, a CMake package and the pkg-config files.
#
# The CMake package holds two export sets: zeltTargets (zelt::zelt, the
# header library) always, zeltBlasTargets (zelt::blas, zelt::blas_static)
# only when libzelt_blas is built; zeltConfig.cmake includes the second when
# it is there. A package that may hold a compiled library is not
# architecture-independent, so it lives under the library directory.
# Included after src/ so that the library targets exist.
include(CMakePackageConfigHelpers)

set(ZELT_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/zelt")

install(TARGETS zelt EXPORT zeltTargets)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/zelt" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
install(EXPORT zeltTargets NAMESPACE zelt:: DESTINATION "${ZELT_CMAKE_DIR}")

if(TARGET zelt_blas)
  install(TARGETS zelt_blas zelt_blas_static EXPORT zeltBlasTargets
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}"
    ARCHIVE DESTINATION "${CMAKE_INSTALL_LIBDIR}"
    INCLUDES DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
  install(EXPORT zeltBlasTargets NAMESPACE zelt:: DESTINATION "${ZELT_CMAKE_DIR}")
endif()

configure_package_config_file(
  "${PROJECT_SOURCE_DIR}/cmake/zeltConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/zeltConfig.cmake"
  INSTALL_DESTINATION "${ZELT_CMAKE_DIR}")
write_basic_package_version_file(
  "${PROJECT_BINARY_DIR}/zeltConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/zeltConfig.cmake" "${PROJECT_BINARY_DIR}/zeltConfigVersion.cmake"
  DESTINATION "${ZELT_CMAKE_DIR}")

# zelt.pc describes the headers only and stays architecture-independent;
# zelt-blas.pc sits beside the library it names. Both find the prefix from
# their own place (${pcfiledir}), so an installed tree can be moved.
configure_file("${PROJECT_SOURCE_DIR}/cmake/zelt.pc.in" "${PROJECT_BINARY_DIR}/zelt.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/zelt.pc" DESTINATION "${CMAKE_INSTALL_DATADIR}/pkgconfig")

if(TARGET zelt_blas)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    message(FATAL_ERROR "zelt-blas.pc needs CMAKE_INSTALL_LIBDIR and CMAKE_INSTALL_INCLUDEDIR relative to the prefix")
  endif()
  # From <prefix>/<libdir>/pkgconfig back to <prefix>: "../.." for lib,
  # "../../.." for Debian's lib/x86_64-linux-gnu.
  file(RELATIVE_PATH ZELT_PC_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
  string(REGEX REPLACE "/$" "" ZELT_PC_TO_PREFIX "${ZELT_PC_TO_PREFIX}")
  configure_file("${PROJECT_SOURCE_DIR}/cmake/zelt-blas.pc.in" "${PROJECT_BINARY_DIR}/zelt-blas.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/zelt-blas.pc" DESTINATION "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
endif()
