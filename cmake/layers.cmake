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

# velkar_layer_headers(<name> FOLDER <folder> HEADERS <header>...): an interface library
# velkar_<name> that exposes only the given headers of src/<folder>, as "<folder>/<header>", for a
# layer that may use a few value records of another but nothing else of it.
function(velkar_layer_headers name)
  cmake_parse_arguments(SUBSET "" "FOLDER" "HEADERS" ${ARGN})
  set(root ${CMAKE_BINARY_DIR}/layers/${name})
  file(MAKE_DIRECTORY ${root}/${SUBSET_FOLDER})
  foreach(header IN LISTS SUBSET_HEADERS)
    if(NOT EXISTS ${root}/${SUBSET_FOLDER}/${header})
      file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${SUBSET_FOLDER}/${header} ${root}/${SUBSET_FOLDER}/${header} SYMBOLIC)
    endif()
  endforeach()
  add_library(velkar_${name} INTERFACE)
  target_include_directories(velkar_${name} INTERFACE ${root})
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

# velkar_layer_rule(<library> sees|refuses <header>): a test that compiles one include of the
# header with exactly the include roots <library> compiles with, and passes when the header is
# found (sees) or when the compiler reports it missing (refuses).
function(velkar_layer_rule library expectation header)
  string(MAKE_C_IDENTIFIER "${header}" id)
  set(probe ${CMAKE_BINARY_DIR}/layer-probes/${library}-${id}.cpp)
  file(WRITE ${probe} "#include \"${header}\"\n")
  set(includes "$<TARGET_PROPERTY:${library},INCLUDE_DIRECTORIES>")
  add_test(NAME layers.${library}.${expectation}.${header}
           COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only "-I$<JOIN:${includes},;-I>" ${probe}
           COMMAND_EXPAND_LISTS)
  if(expectation STREQUAL "refuses")
    set_tests_properties(layers.${library}.${expectation}.${header} PROPERTIES
      PASS_REGULAR_EXPRESSION "${header}: No such file or directory")
  endif()
endfunction()
