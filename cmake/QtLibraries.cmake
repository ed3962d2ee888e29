# qz_qt_library(NAME FOLDER folder [USES libraries...] [HEADERS files...] SOURCES files...): one folder of
# platform/qt/ as a library. Its headers are found as "platform/qt/folder/Name.h" through a folder of its
# own in the build tree, never through the repository root, so it sees its own folder and those of the
# libraries it uses, nothing else. A folder of the layer it uses must have been declared already: the
# folders' direction can have no circle. FOLDER . is the layer's own top folder, whose HEADERS alone
# are linked.
function(qz_qt_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "USES;HEADERS;SOURCES" ${ARGN})
  foreach(used ${ARG_USES})
    if(used MATCHES "^qz_qt_" AND NOT TARGET ${used})
      message(FATAL_ERROR "${name} uses ${used}, which is declared after it: the folders of platform/qt/ "
        "use only folders below them (platform/qt/CMakeLists.txt)")
    endif()
  endforeach()
  if(ARG_FOLDER STREQUAL ".")
    set(root ${CMAKE_BINARY_DIR}/qt-include/shared)
    qz_link_headers(${root} platform/qt "${ARG_HEADERS}")
  else()
    set(root ${CMAKE_BINARY_DIR}/qt-include/${ARG_FOLDER})
    qz_link_headers(${root} platform/qt/${ARG_FOLDER} "")
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${root})
  target_link_libraries(${name} PUBLIC ${ARG_USES})
endfunction()
