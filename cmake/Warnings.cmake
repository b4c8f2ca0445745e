# Warnings for our own targets.
function(lumatrove_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                           -Wnon-virtual-dtor -Wcast-qual -Wformat=2
                                           -Wno-missing-field-initializers)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC 12 reports -Wrestrict false positives inside libstdc++'s string concatenation at -O3.
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(LUMATROVE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
