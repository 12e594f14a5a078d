# Writes the site's page (SITE/index.html) from TEMPLATE: the program's script (PROGRAM, em++'s
# JavaScript) in place of @ZUM32_PROGRAM@, which saves the browser a request before the game can
# start, and in the Content-Security-Policy the SHA-256 of each of the page's inline scripts, so
# that no other inline script can run.
# usage: cmake -DSITE=<site folder> -DTEMPLATE=<index.html> -DPROGRAM=<zum32.js> -P site_page.cmake
cmake_policy(VERSION 3.25)
file(READ ${TEMPLATE} page)
file(READ ${PROGRAM} program)
# Either would end the script element early, or change how the browser reads its text.
foreach(marker "</script" "<!--" "<script")
  string(FIND "${program}" "${marker}" found)
  if(NOT found EQUAL -1)
    message(FATAL_ERROR "${PROGRAM} holds \"${marker}\": it cannot go inside the page")
  endif()
endforeach()
string(REPLACE "@ZUM32_PROGRAM@" "${program}" page "${page}")

# A policy names a script by its digest in base64: three bytes make four digits, and the 32 bytes
# end in two, padded with a zero byte shown as '='.
set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
set(hashes "")
set(rest "${page}")
while(TRUE)
  string(FIND "${rest}" "<script>" start)
  if(start EQUAL -1)
    break()
  endif()
  math(EXPR start "${start} + 8")
  string(SUBSTRING "${rest}" ${start} -1 rest)
  string(FIND "${rest}" "</script>" end)
  string(SUBSTRING "${rest}" 0 ${end} script)
  string(SUBSTRING "${rest}" ${end} -1 rest)
  string(SHA256 digest "${script}")
  set(hash "")
  foreach(at RANGE 0 60 6)
    string(SUBSTRING "${digest}00" ${at} 6 group)
    math(EXPR value "0x${group}")
    foreach(shift 18 12 6 0)
      math(EXPR index "(${value} >> ${shift}) & 63")
      string(SUBSTRING "${alphabet}" ${index} 1 digit)
      string(APPEND hash "${digit}")
    endforeach()
  endforeach()
  string(REGEX REPLACE ".$" "=" hash "${hash}")
  string(APPEND hashes " 'sha256-${hash}'")
endwhile()
string(REPLACE " @ZUM32_SCRIPT_HASHES@" "${hashes}" page "${page}")
file(WRITE ${SITE}/index.html "${page}")
