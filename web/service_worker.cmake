# Writes FOLDER/sw.js from TEMPLATE: the list FILES, those of them only the
# page opened from a file loads (FILE_PAGE_FILES), and a cache name made
# from their bytes, so that every changed build gets a fresh cache (every
# development build has the same version) and the same files always give the same sw.js.
#   cmake -DFOLDER=... -DFILES=a;b -DFILE_PAGE_FILES=b -DTEMPLATE=sw.js.in -P service_worker.cmake
set(sums "")
set(quoted "")
foreach(file IN LISTS FILES)
    file(SHA256 "${FOLDER}/${file}" sum)
    string(APPEND sums "${sum}  ${file}\n")
    list(APPEND quoted "'${file}'")
endforeach()
string(SHA256 hash "${sums}")
string(SUBSTRING "${hash}" 0 16 DRIFTMOOR_WEB_HASH)
list(JOIN quoted ", " DRIFTMOOR_WEB_FILES)
list(TRANSFORM FILE_PAGE_FILES REPLACE "(.+)" "'\\1'" OUTPUT_VARIABLE quoted)
list(JOIN quoted ", " DRIFTMOOR_FILE_PAGE_FILES)
configure_file("${TEMPLATE}" "${FOLDER}/sw.js" @ONLY)
