# Warnings for the project's own targets (not for third-party code such as GoogleTest).
function(velkar_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  if(VELKAR_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
