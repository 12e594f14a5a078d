# The browser build (make web): the game's own libraries compiled by em++ over platform/web, the
# page's layer, and laid out as a static site in ZUM32_WEB_SITE. The programs that run at build
# time come from a host build of tools/ (ZUM32_HOST_TOOLS).
set(ZUM32_HOST_TOOLS "" CACHE PATH "Build folder of tools/ for this machine (cmake -S tools)")
set(ZUM32_WEB_SITE ${PROJECT_BINARY_DIR}/site CACHE PATH "Where the static site is laid out")
if(NOT EXISTS ${ZUM32_HOST_TOOLS}/zum32rc)
  message(FATAL_ERROR "ZUM32_HOST_TOOLS must name a build of tools/ (make web makes one)")
endif()
foreach(tool zum32rc make_cp932_table cp932_literals)
  add_executable(${tool} IMPORTED)
  set_target_properties(${tool} PROPERTIES IMPORTED_LOCATION ${ZUM32_HOST_TOOLS}/${tool})
endforeach()

# clang has no CP932 execution character set: each game source is compiled from a copy whose
# narrow literals hold the CP932 bytes as escapes. Every header is copied too, since a header's
# literals would otherwise come in as UTF-8.
set(zum32_cp932_tree ${PROJECT_BINARY_DIR}/cp932)
file(GLOB_RECURSE zum32_game_headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}
  ${PROJECT_SOURCE_DIR}/shell/*.h ${PROJECT_SOURCE_DIR}/game/*.h ${PROJECT_SOURCE_DIR}/render/*.h
  ${PROJECT_SOURCE_DIR}/records/*.h)
function(zum32_cp932_copy relative out_var)
  set(output ${zum32_cp932_tree}/${relative})
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${zum32_cp932_tree}
    COMMAND cp932_literals ${PROJECT_SOURCE_DIR}/${relative} ${output}
    DEPENDS cp932_literals ${PROJECT_SOURCE_DIR}/${relative}
    VERBATIM)
  set(${out_var} ${output} PARENT_SCOPE)
endfunction()
set(zum32_cp932_headers)
foreach(header ${zum32_game_headers})
  zum32_cp932_copy(${header} copied)
  list(APPEND zum32_cp932_headers ${copied})
endforeach()
add_custom_target(zum32_cp932_headers DEPENDS ${zum32_cp932_headers})

function(zum32_game_target target)
  get_target_property(sources ${target} SOURCES)
  set(copies)
  foreach(source ${sources})
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${source})
    zum32_cp932_copy(${relative} copied)
    list(APPEND copies ${copied})
  endforeach()
  set_property(TARGET ${target} PROPERTY SOURCES ${copies})
  target_include_directories(${target} PUBLIC ${zum32_cp932_tree} ${PROJECT_SOURCE_DIR})
  add_dependencies(${target} zum32_cp932_headers)
endfunction()

include(cmake/embed_resources.cmake)
add_subdirectory(resources)
add_subdirectory(platform/cp932)

# Layer 1 for the page: the core as it stands, with its file store chosen by the program: the
# browser's storage on the page, emscripten's file system under Node for the test suites. The
# stores are object libraries, so that the program's link always takes the one it names.
set(core ${PROJECT_SOURCE_DIR}/platform/core)
set(disk_store ${core}/profile_disk.cpp ${core}/folder_lock.cpp ${core}/config_folder.cpp)
file(GLOB core_sources CONFIGURE_DEPENDS ${core}/*.cpp)
# The page reads the player's languages from the browser, not from the environment.
list(REMOVE_ITEM core_sources ${disk_store} ${core}/ui_language_env.cpp)
list(APPEND core_sources ${PROJECT_SOURCE_DIR}/platform/web/ui_language.cpp)
add_library(platform_core STATIC ${core_sources})
target_include_directories(platform_core PUBLIC platform/include PRIVATE platform/core)
target_link_libraries(platform_core PUBLIC zum32_resources PRIVATE platform_cp932)
add_library(platform_store_page OBJECT platform/web/storage.cpp)
target_include_directories(platform_store_page PRIVATE platform/include platform/core)
add_library(platform_store_disk OBJECT ${disk_store})
target_include_directories(platform_store_disk PRIVATE platform/include platform/core)

add_library(platform_audio STATIC platform/audio/wav.cpp platform/web/sound.cpp)
target_include_directories(platform_audio PRIVATE platform/core platform/audio)
target_link_libraries(platform_audio PUBLIC platform_core)

include(cmake/game_layers.cmake)

file(GLOB web_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/web/*.cpp)
list(REMOVE_ITEM web_sources ${PROJECT_SOURCE_DIR}/platform/web/storage.cpp
  ${PROJECT_SOURCE_DIR}/platform/web/sound.cpp ${PROJECT_SOURCE_DIR}/platform/web/ui_language.cpp)
add_executable(zum32 ${web_sources} $<TARGET_OBJECTS:platform_store_page>)
target_include_directories(zum32 PRIVATE platform/core)
target_link_libraries(zum32 PRIVATE zum32_window)
# The page's side, one library per concern; page_core.js, which alone defines ZP, comes first.
set(page_libraries)
foreach(concern core screen input touch menu modal dialog help sound records reader)
  list(APPEND page_libraries ${PROJECT_SOURCE_DIR}/platform/web/page_${concern}.js)
endforeach()
set(page_library_options)
foreach(library ${page_libraries})
  list(APPEND page_library_options "SHELL:--js-library ${library}")
endforeach()
# The program's JavaScript goes inside the site's page (below), its WebAssembly beside it.
set(program_dir ${PROJECT_BINARY_DIR}/program)
set_target_properties(zum32 PROPERTIES SUFFIX .js LINK_DEPENDS "${page_libraries}"
  RUNTIME_OUTPUT_DIRECTORY ${program_dir})
# ASYNCIFY lets GetMessage and the modal loops wait for the page's next event. Data starts at
# 64 KiB, so that no address of a resource name is taken for a numeric resource id.
set(zum32_page_link_options
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=262144
  -sASYNCIFY_IMPORTS=[zum_wait_event,zum_store_load,zum_store_save,zum_lock] -sGLOBAL_BASE=65536
  -sALLOW_MEMORY_GROWTH -sENVIRONMENT=web -sEXIT_RUNTIME=0 -sINVOKE_RUN=1
  -sEXPORTED_RUNTIME_METHODS=[])
target_link_options(zum32 PRIVATE ${zum32_page_link_options} ${page_library_options})

# make bench's baseline: a minimal page built with the same options that fills a canvas once.
if(ZUM32_BENCH)
  set(hello_site ${PROJECT_BINARY_DIR}/hello-site)
  add_executable(web_hello bench/web_hello.cpp)
  set_target_properties(web_hello PROPERTIES SUFFIX .js RUNTIME_OUTPUT_DIRECTORY ${hello_site})
  target_link_options(web_hello PRIVATE ${zum32_page_link_options})
  add_custom_command(TARGET web_hello POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/bench/web_hello.html ${hello_site}/index.html)
endif()

# The page and what it links to beside the program.
set(site_files
  platform/web/page.css platform/web/zum32.webmanifest
  resources/zum32.ico resources/zum32.cur resources/icons/zum32-maskable-512.png)
foreach(size 16 32 48 64 128 192 256 512)
  list(APPEND site_files resources/icons/zum32-${size}.png)
endforeach()
# The help book: the Japanese pages, and beside them a folder per other language (help/en/).
file(GLOB_RECURSE help_files CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/resources/help
  ${PROJECT_SOURCE_DIR}/resources/help/*)
set(site_outputs)
foreach(file ${site_files})
  get_filename_component(name ${file} NAME)
  list(APPEND site_outputs ${ZUM32_WEB_SITE}/${name})
  add_custom_command(OUTPUT ${ZUM32_WEB_SITE}/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/${file} ${ZUM32_WEB_SITE}/${name}
    DEPENDS ${PROJECT_SOURCE_DIR}/${file} VERBATIM)
endforeach()
list(APPEND site_outputs ${ZUM32_WEB_SITE}/index.html ${ZUM32_WEB_SITE}/zum32.wasm)
add_custom_command(OUTPUT ${ZUM32_WEB_SITE}/index.html ${ZUM32_WEB_SITE}/zum32.wasm
  COMMAND ${CMAKE_COMMAND} -DSITE=${ZUM32_WEB_SITE} -DTEMPLATE=${PROJECT_SOURCE_DIR}/platform/web/index.html
          -DPROGRAM=${program_dir}/zum32.js -P ${PROJECT_SOURCE_DIR}/cmake/site_page.cmake
  COMMAND ${CMAKE_COMMAND} -E copy ${program_dir}/zum32.wasm ${ZUM32_WEB_SITE}/zum32.wasm
  DEPENDS zum32 ${PROJECT_SOURCE_DIR}/platform/web/index.html ${PROJECT_SOURCE_DIR}/cmake/site_page.cmake
  VERBATIM)
foreach(name ${help_files})
  set(file ${PROJECT_SOURCE_DIR}/resources/help/${name})
  list(APPEND site_outputs ${ZUM32_WEB_SITE}/help/${name})
  add_custom_command(OUTPUT ${ZUM32_WEB_SITE}/help/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${file} ${ZUM32_WEB_SITE}/help/${name}
    DEPENDS ${file} VERBATIM)
endforeach()
# The service worker last, over every other file of the site, the program's included.
set(site_worker ${PROJECT_SOURCE_DIR}/platform/web/sw.js)
add_custom_command(OUTPUT ${ZUM32_WEB_SITE}/sw.js
  COMMAND ${CMAKE_COMMAND} -DSITE=${ZUM32_WEB_SITE} -DTEMPLATE=${site_worker}
          -P ${PROJECT_SOURCE_DIR}/cmake/site_worker.cmake
  DEPENDS ${site_outputs} zum32 ${site_worker} ${PROJECT_SOURCE_DIR}/cmake/site_worker.cmake VERBATIM)
add_custom_target(zum32_site ALL DEPENDS ${site_outputs} ${ZUM32_WEB_SITE}/sw.js)

# The game's test suites, built by em++ and run under Node (make test).
if(ZUM32_TESTS)
  enable_testing()
  include(cmake/web_tests.cmake)
endif()
