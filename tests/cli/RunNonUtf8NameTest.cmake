# Copies SCRIPT and the unit it uses into a folder of WORK whose name is not UTF-8 (the byte
# 0xE9, "é" in a single-byte locale), gives the script such a name too, runs it there
# through KVSCRIPT by an absolute path and expects "49": the file and the unit beside it
# must both be found under their byte names.
get_filename_component(source_dir "${SCRIPT}" DIRECTORY)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(
  COMMAND sh -c [[
    set -e
    dir="$0/$(printf 'caf\351')"
    mkdir "$dir"
    cp "$1" "$dir/$(printf 'm\351in\377.pas')"
    cp "$2" "$dir/non_utf8_unit.pas"
    exec "$3" "$dir/$(printf 'm\351in\377.pas')"
  ]] "${WORK}" "${SCRIPT}" "${source_dir}/non_utf8_unit.pas" "${KVSCRIPT}"
  INPUT_FILE /dev/null
  OUTPUT_VARIABLE out
  ERROR_VARIABLE err
  RESULT_VARIABLE code
  TIMEOUT 60)
file(REMOVE_RECURSE "${WORK}")
if(NOT code STREQUAL "0" OR NOT out STREQUAL "49\n")
  message(SEND_ERROR "Exit code ${code}, output \"${out}\", expected 0 and \"49\"; "
                     "standard error:\n${err}")
endif()
