# Fails when a program, stripped, is larger than its budget.
# cmake -DSTRIP=<strip> -DPROGRAM=<exe> -DBUDGET_KIB=<n> -DCOPY=<scratch file> -P size_check.cmake
execute_process(COMMAND "${STRIP}" -s -o "${COPY}" "${PROGRAM}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot strip ${PROGRAM}")
endif()
file(SIZE "${COPY}" bytes)
math(EXPR budget "${BUDGET_KIB} * 1024")
math(EXPR kib "(${bytes} + 1023) / 1024")
message(STATUS "${PROGRAM}: ${kib} KiB stripped, budget ${BUDGET_KIB} KiB")
if(bytes GREATER budget)
  message(FATAL_ERROR "${PROGRAM} is ${kib} KiB stripped, over its budget of ${BUDGET_KIB} KiB")
endif()
