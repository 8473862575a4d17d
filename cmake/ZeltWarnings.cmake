# Warnings for zelt's own tests and programs. Never attached to zelt::zelt,
# so consumers keep their own warning set.
add_library(zelt_warnings INTERFACE)
target_compile_options(zelt_warnings INTERFACE
  $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic -Wconversion -Wshadow>
  $<$<AND:$<BOOL:${ZELT_WERROR}>,$<COMPILE_LANG_AND_ID:CXX,GNU,Clang,AppleClang>>:-Werror>
  # the C programs of the tests
  $<$<COMPILE_LANG_AND_ID:C,GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic -Wconversion -Wshadow>
  $<$<AND:$<BOOL:${ZELT_WERROR}>,$<COMPILE_LANG_AND_ID:C,GNU,Clang,AppleClang>>:-Werror>)

# Clang 19 on CPUs with AVX10 warns about its own -march=native feature list
# ("invalid feature combination: +avx10.1-256"), a complaint about the host,
# not about the code; it must not fail a -Werror build.
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-Winvalid-feature-combination ZELT_HAVE_WINVALID_FEATURE_COMBINATION)
if(ZELT_HAVE_WINVALID_FEATURE_COMBINATION)
  target_compile_options(zelt_warnings INTERFACE -Wno-invalid-feature-combination)
endif()
