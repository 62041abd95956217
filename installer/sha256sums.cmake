# cmake -DOUTPUT=FILE -P sha256sums.cmake FILE...: writes the SHA-256 of each file, by its bare
# name, in the form sha256sum prints and checks.
set(text "")
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(i RANGE 4 ${last})
  set(file "${CMAKE_ARGV${i}}")
  file(SHA256 "${file}" hash)
  get_filename_component(name "${file}" NAME)
  string(APPEND text "${hash}  ${name}\n")
endforeach()
file(WRITE "${OUTPUT}" "${text}")
