# Run by cpack after it writes the zip: repacks it with scripts/pack-zip, so
# that the same commit gives the same bytes. Its files carry the commit's date.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C "${CPACK_DRIFTMOOR_SOURCE_DIR}" log -1 --format=%ct
        OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
    if(failed EQUAL 0 AND epoch)
        set(ENV{SOURCE_DATE_EPOCH} "${epoch}")
    endif()
endif()
foreach(zip IN LISTS CPACK_PACKAGE_FILES)
    execute_process(COMMAND "${CPACK_DRIFTMOOR_SOURCE_DIR}/scripts/pack-zip" "${zip}" "${zip}"
        RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "scripts/pack-zip could not normalise ${zip}")
    endif()
endforeach()
