# Plays the route with the native route player and with another build's, and
# fails unless both print the same, byte for byte: the same level reached on
# the same frame, and the same final state.
#   cmake -DNATIVE=PLAYER "-DOTHER=COMMAND;ARGS" -DROUTE=FILE -P same_route.cmake
# OTHER is a list, so that paths with spaces or quotes stay whole.
set(other ${OTHER})
list(JOIN other " " OTHER)
# Standard input from /dev/null: the windowless platform reads it every frame.
execute_process(COMMAND "${NATIVE}" "${ROUTE}" INPUT_FILE /dev/null
    OUTPUT_VARIABLE native RESULT_VARIABLE native_status)
execute_process(COMMAND ${other} "${ROUTE}" INPUT_FILE /dev/null
    OUTPUT_VARIABLE candidate RESULT_VARIABLE candidate_status)
if(NOT native_status EQUAL 0 OR NOT native MATCHES "frame [0-9]+: level")
    message(FATAL_ERROR "the native route player failed (${native_status}):\n${native}")
endif()
if(NOT candidate_status EQUAL 0)
    message(FATAL_ERROR "${OTHER} failed (${candidate_status}):\n${candidate}")
endif()
if(NOT native STREQUAL candidate)
    message(FATAL_ERROR "the builds differ.\nNative:\n${native}\n${OTHER}:\n${candidate}")
endif()
message("${native}\nthe same from ${OTHER}")
