# Fails when one of PROGRAMS (a list of executables) needs libclntsh to start.
foreach(program IN LISTS PROGRAMS)
    execute_process(COMMAND ldd ${program} RESULT_VARIABLE status OUTPUT_VARIABLE libraries
        ERROR_VARIABLE problem)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "ldd ${program} failed: ${problem}")
    endif()
    if(libraries MATCHES "libclntsh")
        message(FATAL_ERROR "${program} links the Oracle client library:\n${libraries}")
    endif()
    message(STATUS "${program} starts without the Oracle client library")
endforeach()
