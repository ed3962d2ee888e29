# qz_logic_library(NAME FOLDER folder [USES libraries...] [SOURCES files...]): one folder of the logic as
# a library. Its headers are found as "folder/Name.h" through a folder of its own in the build tree
# holding one link to the source folder, never through the repository root: a library sees its own
# folder and those of the libraries it uses, nothing else. Without sources it is headers only.
function(qz_logic_library name)
  cmake_parse_arguments(ARG "" "FOLDER" "USES;SOURCES" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/logic-include/${ARG_FOLDER})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${ARG_FOLDER} ${root}/${ARG_FOLDER} SYMBOLIC)
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
