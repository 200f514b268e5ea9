# Runs SCRIPT through KVSCRIPT with standard output on a full device (OUTPUT=full_device) or
# closed (OUTPUT=closed) and expects exit code 3 and a report on standard error.
if(OUTPUT STREQUAL "full_device")
  set(redirect "> /dev/full")
else()
  set(redirect ">&-")
endif()
execute_process(
  COMMAND sh -c "exec \"$0\" \"$1\" ${redirect}" "${KVSCRIPT}" "${SCRIPT}"
  INPUT_FILE /dev/null
  ERROR_VARIABLE err
  RESULT_VARIABLE code
  TIMEOUT 60)
if(NOT code STREQUAL "3")
  message(SEND_ERROR "Exit code ${code}, expected 3; standard error:\n${err}")
endif()
if(NOT err MATCHES "kvscript: cannot write standard output")
  message(SEND_ERROR "No report on standard error; it held:\n${err}")
endif()
