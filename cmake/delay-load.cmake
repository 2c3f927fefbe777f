# Delay-loaded system libraries of the launcher.
#
# Windows resolves a program's ordinary imports before its first line runs, looking in the program's
# own folder first; only the libraries on the system's known-library list are always taken from the
# system folder. A library of the same name as one of the others, placed beside the launcher (a
# downloads folder, a shared games folder), would run inside it. So the launcher imports at load time
# only known libraries; the others are delay-loaded (loaded at their first call), and the entry point
# restricts the library search to the system folder before anything else happens (startup/main.cpp).
#
# The delay-load import libraries are made from the toolchain's own import libraries with dlltool. A
# target that calls velkar_delay_load finds them first under the usual names (-lwinhttp and so on), so
# the layers keep naming their system libraries as always.
set(VELKAR_DELAY_LOADED winhttp bcrypt crypt32 version dwmapi d2d1 dwrite windowscodecs)
set(VELKAR_DELAY_LOAD_DIR ${CMAKE_BINARY_DIR}/delay-load)

find_program(VELKAR_DLLTOOL NAMES x86_64-w64-mingw32-dlltool REQUIRED)
find_program(VELKAR_NM NAMES x86_64-w64-mingw32-nm REQUIRED)
# Reads the import table of a built program for the tests.
find_program(VELKAR_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
file(MAKE_DIRECTORY ${VELKAR_DELAY_LOAD_DIR})
foreach(library IN LISTS VELKAR_DELAY_LOADED)
  find_library(VELKAR_IMPORT_LIBRARY_${library} NAMES ${library} REQUIRED)
  set(import ${VELKAR_IMPORT_LIBRARY_${library}})
  set(delayed ${VELKAR_DELAY_LOAD_DIR}/lib${library}.a)
  if(NOT EXISTS ${delayed} OR ${import} IS_NEWER_THAN ${delayed})
    # The functions of the import library: each has a thunk ("T name") beside its "__imp_name".
    execute_process(COMMAND ${VELKAR_NM} -g --defined-only ${import} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX MATCHALL "[0-9a-f]+ T [A-Za-z_][A-Za-z0-9_@]*" thunks "${symbols}")
    set(definition "LIBRARY ${library}.dll\nEXPORTS\n")
    foreach(thunk IN LISTS thunks)
      string(REGEX REPLACE "^[0-9a-f]+ T " "" name "${thunk}")
      string(APPEND definition "${name}\n")
    endforeach()
    file(WRITE ${VELKAR_DELAY_LOAD_DIR}/${library}.def "${definition}")
    execute_process(COMMAND ${VELKAR_DLLTOOL} --input-def ${VELKAR_DELAY_LOAD_DIR}/${library}.def
                            --dllname ${library}.dll --output-delaylib ${delayed}
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()

# velkar_delay_load(<target>): the target's imports of VELKAR_DELAY_LOADED become delay-loaded.
function(velkar_delay_load target)
  target_link_directories(${target} BEFORE PRIVATE ${VELKAR_DELAY_LOAD_DIR})
endfunction()
