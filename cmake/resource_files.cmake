# veltrane.rc embeds the files that resources/resource_ids.h lists, and the resource compiler's
# dependency scan does not see them: tell the build, so that a changed picture or table is
# compiled in again. Call in each folder that compiles veltrane.rc.
function(veltrane_rc_depends)
  set(table ${CMAKE_SOURCE_DIR}/resources/resource_ids.h)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${table})
  file(READ ${table} text)
  # Each row's file is the one quoted name in it.
  string(REGEX MATCHALL "ROW\\([^\"\n]*\"[^\"]+\"" rows "${text}")
  set(files ${table} ${CMAKE_SOURCE_DIR}/resources/veltrane.manifest)
  foreach(row ${rows})
    string(REGEX REPLACE ".*\"([^\"]+)\"$" "\\1" name "${row}")
    list(APPEND files ${CMAKE_SOURCE_DIR}/resources/${name})
  endforeach()
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/resources/veltrane.rc APPEND PROPERTY OBJECT_DEPENDS ${files})
endfunction()
