# The route player and the gtest-free support it needs, for any build:
# `raylib` names that build's windowless raylib.
function(add_route_player raylib)
    set(here "${PROJECT_SOURCE_DIR}/tests")
    add_library(route_support STATIC
        "${here}/support/input.cpp" "${here}/support/state_text.cpp" "${here}/support/replay.cpp")
    target_link_libraries(route_support PUBLIC driftmoor_core ${raylib})
    add_executable(driftmoor_route_player "${here}/route_player.cpp")
    target_link_libraries(driftmoor_route_player PRIVATE route_support)
endfunction()
