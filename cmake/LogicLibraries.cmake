# qz_logic_library(NAME FOLDER folder [USES libraries...] [SOURCES files...] [HEADERS files...]): one
# folder of the logic as a library. Its headers are found as "folder/Name.h" through a folder of its own
# in the build tree holding one link to the source folder, never through the repository root: a library
# sees its own folder and those of the libraries it uses, nothing else. Without sources it is headers
# only. With HEADERS the build-tree folder links those files alone, for a folder that holds another
# library's folder (platform/ holds platform/qt/).
function(qz_logic_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "USES;SOURCES;HEADERS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/logic-include/${ARG_FOLDER})
  qz_link_headers(${root} ${ARG_FOLDER} "${ARG_HEADERS}")
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${ARG_USES})
    if(QZ_FUZZ)
      # The fuzz targets see coverage of the code they drive, not only of their own file.
      target_compile_options(${name} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${root})
    target_link_libraries(${name} INTERFACE ${ARG_USES})
  endif()
endfunction()

# Makes root/folder name the source folder: one link to it, or with headers, a folder of links to
# those files alone.
function(qz_link_headers root folder headers)
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT headers)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    return()
  endif()
  if(IS_SYMLINK ${root}/${folder})
    file(REMOVE ${root}/${folder})
  endif()
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header ${headers})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
endfunction()
