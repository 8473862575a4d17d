# Compares the dynamic symbols libzelt_blas.so defines with those of the
# reference BLAS: -DNM=... -DREFERENCE=... -DLIBRARY=...
#
# Every name the reference defines must be defined by zelt too.
cmake_policy(SET CMP0057 NEW)  # IN_LIST

function(defined_names library out)
  execute_process(COMMAND ${NM} -D --defined-only ${library} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${library}")
  endif()
  string(REGEX MATCHALL "[^ \n]+\n" lines "${text}")
  set(names "")
  foreach(line IN LISTS lines)
    string(STRIP "${line}" name)
    list(APPEND names ${name})
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

defined_names(${REFERENCE} reference_names)
defined_names(${LIBRARY} zelt_names)
list(LENGTH reference_names count)
if(count LESS 300)
  message(FATAL_ERROR "only ${count} names read from ${REFERENCE}")
endif()
set(missing "")
foreach(name IN LISTS reference_names)
  if(NOT name IN_LIST zelt_names)
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "libzelt_blas.so lacks: ${missing}")
endif()
message("every one of the reference's ${count} names")
