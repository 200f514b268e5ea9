# Runs one script through kvscript and compares what it did with the files beside it:
#   NAME.pas   the script (run with the script's folder as working directory)
#   NAME.out   expected standard output (absent: no output expected)
#   NAME.err   expected standard error  (absent: no error output expected)
#   NAME.exit  expected exit code       (absent: 0)
#   NAME.args  extra command-line arguments placed before the file name (e.g. --check)
#   NAME.in    standard input           (absent: empty)
# Usage: cmake -DKVSCRIPT=... -DSCRIPT=.../NAME.pas -P RunScriptTest.cmake
get_filename_component(dir "${SCRIPT}" DIRECTORY)
get_filename_component(base "${SCRIPT}" NAME_WE)
set(stem "${dir}/${base}")

set(args "")
if(EXISTS "${stem}.args")
  file(READ "${stem}.args" args)
  string(STRIP "${args}" args)
  separate_arguments(args UNIX_COMMAND "${args}")
endif()
set(input_file /dev/null)
if(EXISTS "${stem}.in")
  set(input_file "${stem}.in")
endif()

execute_process(
  COMMAND "${KVSCRIPT}" ${args} "${base}.pas"
  WORKING_DIRECTORY "${dir}"
  INPUT_FILE "${input_file}"
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE code
  TIMEOUT 60)

function(expect_file suffix actual what)
  set(expected "")
  if(EXISTS "${stem}.${suffix}")
    file(READ "${stem}.${suffix}" expected)
  endif()
  if(NOT actual STREQUAL expected)
    message(SEND_ERROR "${what} differs.\n--- expected (${base}.${suffix})\n${expected}\n--- actual\n${actual}")
  endif()
endfunction()

expect_file(out "${out}" "Standard output")
expect_file(err "${err}" "Standard error")
set(expected_code 0)
if(EXISTS "${stem}.exit")
  file(READ "${stem}.exit" expected_code)
  string(STRIP "${expected_code}" expected_code)
endif()
if(NOT code STREQUAL expected_code)
  message(SEND_ERROR "Exit code ${code}, expected ${expected_code}")
endif()
