cmake_minimum_required(VERSION 3.25)

# Runs the generator into WORK_DIR and fails unless every file it writes is committed under
# SOURCE_DIR with the same bytes, and no committed image is left that it no longer writes.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "generator failed (${status})")
endif()

file(GLOB_RECURSE generated RELATIVE "${WORK_DIR}" "${WORK_DIR}/*")
list(LENGTH generated count)
if(count EQUAL 0)
  message(FATAL_ERROR "generator wrote no files")
endif()

set(problems "")
foreach(name IN LISTS generated)
  if(NOT EXISTS "${SOURCE_DIR}/${name}")
    list(APPEND problems "missing in the source tree: ${name}")
    continue()
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${name}" "${SOURCE_DIR}/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND problems "differs from the generator's output: ${name}")
  endif()
endforeach()

file(GLOB committed RELATIVE "${SOURCE_DIR}"
     "${SOURCE_DIR}/resources/*.bmp" "${SOURCE_DIR}/resources/*.ico" "${SOURCE_DIR}/resources/*.cur")
foreach(name IN LISTS committed)
  if(NOT name IN_LIST generated)
    list(APPEND problems "committed but no longer generated: ${name}")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "resources are not reproducible (run the target veltrane_regenerate_resources):\n  ${text}")
endif()
message(STATUS "${count} generated files match the committed ones")
