# Runs PROGRAM with ARGS and fails unless its standard output equals the file
# EXPECTED byte for byte, its standard error is empty and it exits with 0.
execute_process(COMMAND ${PROGRAM} ${ARGS}
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)

set(failures "")
if(NOT status STREQUAL "0")
  string(APPEND failures "exit status ${status}, want 0\n")
endif()
if(NOT err STREQUAL "")
  string(APPEND failures "standard error is not empty:\n${err}\n")
endif()
if(NOT out STREQUAL expected)
  string(APPEND failures "standard output differs.\n--- got:\n${out}--- want:\n${expected}---\n")
endif()
if(failures)
  message(FATAL_ERROR "${PROGRAM}: ${failures}")
endif()
