# Writes the service worker: the list of the site's files, and a cache name
# made from their content.
#   cmake -DSITE=<folder> -DTEMPLATE=<sw.js.in> -P make_sw.cmake
set(files index.html corvatta.js corvatta.wasm corvatta.css banner.jpg banner@2x.jpg
    favicon.ico
    manifest.webmanifest icon-192.png icon-512.png)
set(digests "")
set(list "")
foreach(file ${files})
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests ${digest})
    string(APPEND list "    './${file}',\n")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING ${digest} 0 16 CACHE_VERSION)
set(SITE_FILES "${list}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
