# Writes the site's service worker (SITE/sw.js) from TEMPLATE: the name and SHA-256 of every other
# file of the site, and the build's hash over them all, which names its cache.
# usage: cmake -DSITE=<site folder> -DTEMPLATE=<sw.js> -P site_worker.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(entries)
set(listing)
foreach(name ${files})
  file(SHA256 ${SITE}/${name} hash)
  string(APPEND entries "\n  '${name}': '${hash}',")
  string(APPEND listing "${name} ${hash}\n")
endforeach()
string(REGEX REPLACE ",$" "\n" ZUM32_SITE_FILES "${entries}")
string(SHA256 ZUM32_SITE_HASH "${listing}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
