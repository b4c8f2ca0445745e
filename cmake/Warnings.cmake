# Warnings for our own targets.
function(lumatrove_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Wcast-qual -Wformat=2)
  if(LUMATROVE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
