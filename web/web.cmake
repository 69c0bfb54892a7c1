# The browser build, included by the top CMakeLists.txt under emscripten: the
# game and our page in one folder a static host can serve.

import_raylib(raylib_web "${DRIFTMOOR_DEPS}/raylib-web")
target_include_directories(driftmoor_core PUBLIC "${DRIFTMOOR_DEPS}/raylib-web/include")

# Debian's emscripten runs its JavaScript passes with `node` and needs Debian's
# acorn; a node from elsewhere does not look in Debian's module folder.
find_path(DRIFTMOOR_NODE_MODULES acorn/package.json
    PATHS /usr/share/nodejs /usr/lib/nodejs NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT DRIFTMOOR_NODE_MODULES)
    message(FATAL_ERROR "acorn not found for emscripten: run scripts/setup first")
endif()
# The closure compiler for the page's --closure pass, pinned by
# web/closure/package-lock.json: the one Debian's emscripten names is from 2013.
set(DRIFTMOOR_CLOSURE_COMPILER "${PROJECT_SOURCE_DIR}/web/closure/node_modules/google-closure-compiler-linux/compiler")
if(NOT EXISTS "${DRIFTMOOR_CLOSURE_COMPILER}")
    message(FATAL_ERROR "the closure compiler is not installed: run scripts/setup web")
endif()
find_program(DRIFTMOOR_NODE node NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(CMAKE_CXX_LINKER_LAUNCHER "${CMAKE_COMMAND}" -E env "NODE_PATH=${DRIFTMOOR_NODE_MODULES}"
    "EM_CLOSURE_COMPILER=${DRIFTMOOR_CLOSURE_COMPILER}")

# Adds a program drawn on our page: driftmoor.js beside index.html in
# `folder`, under the name the page loads.
function(add_web_page_program target folder)
    add_executable(${target} ${ARGN})
    target_link_libraries(${target} PRIVATE raylib_web)
    # ASYNCIFY lets raylib's frame wait yield to the page, so the game's own
    # loops run unchanged. The page makes the WebGL context itself, opaque,
    # and starts main once everything has loaded.
    target_link_options(${target} PRIVATE -sASYNCIFY -sALLOW_MEMORY_GROWTH=1 -sENVIRONMENT=web
        -sGL_PREINITIALIZED_CONTEXT=1 -sEXPORTED_RUNTIME_METHODS=ccall)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME driftmoor RUNTIME_OUTPUT_DIRECTORY "${folder}")
    configure_file("${PROJECT_SOURCE_DIR}/web/index.html.in" "${folder}/index.html" @ONLY)
endfunction()

set(DRIFTMOOR_WEB_FOLDER "${CMAKE_BINARY_DIR}/web")
add_web_page_program(driftmoor "${DRIFTMOOR_WEB_FOLDER}" game/main.cpp game/window_check_none.cpp)
target_link_libraries(driftmoor PRIVATE driftmoor_core)
# As light as the page allows (docs/web.md says what each saves): the frame
# wait is reached by direct calls only, no file system, the small allocator,
# and the closure pass over the script, which must keep the names RGFW's
# JavaScript calls. The WebAssembly is a file of its own, compiled while it
# downloads.
# emcc splits --closure-args like a shell line: the path goes in single quotes.
string(REPLACE "'" "'\\''" closure_externs "${PROJECT_SOURCE_DIR}/web/closure/externs.js")
set(closure_externs "'${closure_externs}'")
target_link_options(driftmoor PRIVATE -sASYNCIFY_IGNORE_INDIRECT -sFILESYSTEM=0 -sMALLOC=emmalloc
    --closure 1 "--closure-args=--externs=${closure_externs}")
set_property(TARGET driftmoor APPEND PROPERTY LINK_DEPENDS "${PROJECT_SOURCE_DIR}/web/closure/externs.js")
# A page opened from a file may not fetch the WebAssembly: it gets a copy
# inside a script, which only that page loads.
add_custom_command(OUTPUT "${DRIFTMOOR_WEB_FOLDER}/driftmoor-wasm.js"
    COMMAND "${DRIFTMOOR_NODE}" "${PROJECT_SOURCE_DIR}/web/wasm_script.mjs"
        "${DRIFTMOOR_WEB_FOLDER}/driftmoor.wasm" "${DRIFTMOOR_WEB_FOLDER}/driftmoor-wasm.js"
    DEPENDS driftmoor "${PROJECT_SOURCE_DIR}/web/wasm_script.mjs" VERBATIM)
# What the link took in, beside the build, for the notices check.
target_link_options(driftmoor PRIVATE -Wl,--trace)
set_target_properties(driftmoor PROPERTIES CXX_LINKER_LAUNCHER
    "${CMAKE_CXX_LINKER_LAUNCHER};${PROJECT_SOURCE_DIR}/web/link-trace;${CMAKE_BINARY_DIR}/driftmoor.link-trace")
include(web/web_app.cmake)

# The page links the licences of what the linker keeps of raylib and of
# emscripten's runtime and libraries, with the Apache text libc++ is under.
include("${PROJECT_SOURCE_DIR}/cmake/notices.cmake")
write_notices("${DRIFTMOOR_WEB_FOLDER}/THIRD-PARTY-NOTICES.txt" ""
    "${PROJECT_SOURCE_DIR}/web/third-party-notices.txt" /usr/share/common-licenses/Apache-2.0)
