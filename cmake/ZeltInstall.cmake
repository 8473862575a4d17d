# Installs the headers, a CMake package exporting zelt::zelt and a pkg-config
# file. zelt is header-only, so everything is architecture-independent and
# goes under the data directory.
include(CMakePackageConfigHelpers)

set(ZELT_CMAKE_DIR "${CMAKE_INSTALL_DATADIR}/cmake/zelt")

install(TARGETS zelt EXPORT zeltTargets)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/include/zelt" DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}")
install(EXPORT zeltTargets NAMESPACE zelt:: DESTINATION "${ZELT_CMAKE_DIR}")

configure_package_config_file(
  "${PROJECT_SOURCE_DIR}/cmake/zeltConfig.cmake.in"
  "${PROJECT_BINARY_DIR}/zeltConfig.cmake"
  INSTALL_DESTINATION "${ZELT_CMAKE_DIR}")
write_basic_package_version_file(
  "${PROJECT_BINARY_DIR}/zeltConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion
  ARCH_INDEPENDENT)
install(FILES "${PROJECT_BINARY_DIR}/zeltConfig.cmake" "${PROJECT_BINARY_DIR}/zeltConfigVersion.cmake"
  DESTINATION "${ZELT_CMAKE_DIR}")

configure_file("${PROJECT_SOURCE_DIR}/cmake/zelt.pc.in" "${PROJECT_BINARY_DIR}/zelt.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/zelt.pc" DESTINATION "${CMAKE_INSTALL_DATADIR}/pkgconfig")
