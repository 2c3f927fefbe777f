# The layers of src/ and the rule between them: a layer sees its own headers and those of the
# layers it links, never those above it.
#
# Each layer's headers are reached through an include root of their own, build/layers/<layer>,
# which holds one link, <layer> -> src/<layer>. A source that includes "ui/..." therefore only
# compiles in a target that links the ui layer; an upward include fails with "No such file".

# velkar_layer_root(<folder>): the include root that exposes src/<folder> as "<folder>/...".
function(velkar_layer_root folder out_var)
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  set(${out_var} ${root} PARENT_SCOPE)
endfunction()

# velkar_layer(<name> FOLDER <folder> [SOURCES <glob>...] [EXCLUDE <file>...] [LINKS <target>...]
#              [SYSTEM <library>...]): the static library velkar_<name> of the sources in src/<folder>
#              (every .cpp by default, so new files join their layer without a CMake change).
function(velkar_layer name)
  cmake_parse_arguments(LAYER "" "FOLDER" "SOURCES;EXCLUDE;LINKS;SYSTEM" ${ARGN})
  if(NOT LAYER_SOURCES)
    set(LAYER_SOURCES *.cpp)
  endif()
  set(folder ${CMAKE_SOURCE_DIR}/src/${LAYER_FOLDER})
  list(TRANSFORM LAYER_SOURCES PREPEND ${folder}/)
  file(GLOB sources CONFIGURE_DEPENDS ${LAYER_SOURCES})
  foreach(excluded IN LISTS LAYER_EXCLUDE)
    list(REMOVE_ITEM sources ${folder}/${excluded})
  endforeach()
  velkar_layer_root(${LAYER_FOLDER} root)
  add_library(velkar_${name} STATIC ${sources})
  target_include_directories(velkar_${name} PUBLIC ${root})
  target_link_libraries(velkar_${name} PUBLIC ${LAYER_LINKS} ${LAYER_SYSTEM})
  velkar_warnings(velkar_${name})
endfunction()
