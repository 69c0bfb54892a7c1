# Brings another build folder up to date before the tests that read it, so that
# no subset of the tests checks a stale build. Configures it from its preset
# when it has never been configured.
#   cmake -DSOURCE=... -DDIR=... -DPRESET=... -DTARGET=... -P build_first.cmake
if(NOT EXISTS "${DIR}/CMakeCache.txt")
    execute_process(COMMAND "${CMAKE_COMMAND}" --preset "${PRESET}" -B "${DIR}"
        WORKING_DIRECTORY "${SOURCE}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "configuring ${DIR} from the ${PRESET} preset failed")
    endif()
endif()
cmake_host_system_information(RESULT cores QUERY NUMBER_OF_LOGICAL_CORES)
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${DIR}" -j ${cores} --target ${TARGET}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "building ${TARGET} in ${DIR} failed")
endif()
