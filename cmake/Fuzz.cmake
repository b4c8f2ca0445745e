# Builds the libFuzzer targets with clang as an external project and registers a short run
# of each over its seed corpus as a test.
find_program(LUMATROVE_CLANGXX NAMES clang++ clang++-14)
if(NOT LUMATROVE_CLANGXX)
  message(STATUS "clang++ not found: fuzz targets skipped")
  return()
endif()
include(ExternalProject)
ExternalProject_Add(lumatrove_fuzz
  SOURCE_DIR ${PROJECT_SOURCE_DIR}/fuzz
  BINARY_DIR ${CMAKE_BINARY_DIR}/fuzz
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${LUMATROVE_CLANGXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
             -DLUMATROVE_SOURCE=${PROJECT_SOURCE_DIR}
  BUILD_ALWAYS ON
  INSTALL_COMMAND "")
set(LUMATROVE_FUZZ_SECONDS 60 CACHE STRING "Length of the fuzz test run")
if(LUMATROVE_TESTS)
  # New inputs go to a work folder; the committed seeds stay as they are.
  foreach(target xml store)
    set(work "${CMAKE_BINARY_DIR}/fuzz/work-${target}")
    add_test(NAME fuzz.${target}
      COMMAND sh -c "mkdir -p '${work}' && exec '${CMAKE_BINARY_DIR}/fuzz/${target}_fuzz' -max_total_time=${LUMATROVE_FUZZ_SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 '${work}' '${PROJECT_SOURCE_DIR}/fuzz/corpus/${target}'")
    set_tests_properties(fuzz.${target} PROPERTIES TIMEOUT 600)
  endforeach()
endif()
