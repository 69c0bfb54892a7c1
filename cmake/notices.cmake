# Joins licence texts into one notices file for a download. The file is
# rewritten only when its text changes, so that nothing rebuilds for nothing.
function(write_notices output header)
    set(text "${header}")
    foreach(part IN LISTS ARGN)
        file(READ "${part}" part_text)
        string(APPEND text "${part_text}\n")
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ARGN})
    # Written beside the build, not in the output's folder, which may be shipped whole.
    string(MD5 key "${output}")
    set(draft "${CMAKE_BINARY_DIR}/CMakeFiles/notices-${key}.txt")
    file(WRITE "${draft}" "${text}")
    configure_file("${draft}" "${output}" COPYONLY)
endfunction()
