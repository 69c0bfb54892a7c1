# What makes the page an installable app that plays offline: the game's icon
# at the sizes browsers ask for, the web app manifest, and a service worker
# whose cache is named by a hash of the files it keeps.

find_program(RSVG_CONVERT rsvg-convert REQUIRED)
set(web_icons "")
foreach(size 192 512)
    set(png "${DRIFTMOOR_WEB_FOLDER}/icon-${size}.png")
    add_custom_command(OUTPUT "${png}"
        COMMAND "${RSVG_CONVERT}" -w ${size} -h ${size} -o "${png}" "${PROJECT_SOURCE_DIR}/packaging/driftmoor.svg"
        DEPENDS "${PROJECT_SOURCE_DIR}/packaging/driftmoor.svg" VERBATIM)
    list(APPEND web_icons "${png}")
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/web/manifest.webmanifest" "${DRIFTMOOR_WEB_FOLDER}/manifest.webmanifest" COPYONLY)

# Every file of the folder but sw.js, listed here alone: sw.js lists them,
# and the release checks the zip against its list. The service worker keeps
# them all but the WebAssembly's copy that only a page opened from a file loads.
set(web_app_files index.html driftmoor.js driftmoor.wasm driftmoor-wasm.js manifest.webmanifest
    icon-192.png icon-512.png THIRD-PARTY-NOTICES.txt)
set(web_file_page_files driftmoor-wasm.js)
list(TRANSFORM web_app_files PREPEND "${DRIFTMOOR_WEB_FOLDER}/" OUTPUT_VARIABLE web_app_paths)
add_custom_command(OUTPUT "${DRIFTMOOR_WEB_FOLDER}/sw.js"
    COMMAND "${CMAKE_COMMAND}" "-DFOLDER=${DRIFTMOOR_WEB_FOLDER}" "-DFILES=${web_app_files}"
        "-DFILE_PAGE_FILES=${web_file_page_files}"
        "-DTEMPLATE=${PROJECT_SOURCE_DIR}/web/sw.js.in" -P "${PROJECT_SOURCE_DIR}/web/service_worker.cmake"
    DEPENDS driftmoor ${web_app_paths} "${PROJECT_SOURCE_DIR}/web/sw.js.in" "${PROJECT_SOURCE_DIR}/web/service_worker.cmake"
    VERBATIM)
# The one target that makes the folder as it is shipped.
add_custom_target(driftmoor_web ALL DEPENDS "${DRIFTMOOR_WEB_FOLDER}/sw.js")
