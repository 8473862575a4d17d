# Warnings for zelt's own tests and programs. Never attached to zelt::zelt,
# so consumers keep their own warning set.
add_library(zelt_warnings INTERFACE)
target_compile_options(zelt_warnings INTERFACE
  $<$<COMPILE_LANG_AND_ID:CXX,GNU,Clang,AppleClang>:-Wall -Wextra -Wpedantic -Wconversion -Wshadow>
  $<$<AND:$<BOOL:${ZELT_WERROR}>,$<COMPILE_LANG_AND_ID:CXX,GNU,Clang,AppleClang>>:-Werror>)
