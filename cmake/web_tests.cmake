# The game's suites built by em++ and run under Node: the same code as the page, with the same
# results as the native suites. Left out: what needs another process, mounts, SDL, Qt or glibc's
# own converter, which the desktop suites cover.
set(gtest_root /usr/src/googletest)
add_library(gtest_web STATIC ${gtest_root}/googletest/src/gtest-all.cc ${gtest_root}/googlemock/src/gmock-all.cc)
target_include_directories(gtest_web SYSTEM PUBLIC ${gtest_root}/googletest/include ${gtest_root}/googlemock/include
                           PRIVATE ${gtest_root}/googletest ${gtest_root}/googlemock)

add_library(test_support_web STATIC tests/support/test_main.cpp)
target_link_libraries(test_support_web PUBLIC gtest_web)

# Node reaches the real files (the golden replays, the temporary folders) through NODERAWFS.
set(web_test_link_options -sENVIRONMENT=node -sNODERAWFS=1 -sALLOW_MEMORY_GROWTH -sEXIT_RUNTIME=1
    -sGLOBAL_BASE=65536 ${page_library_options})

# zum32_web_suite(<name> <folder> [LEAVE_OUT <files>...] [FILTER <gtest filter>])
function(zum32_web_suite name folder)
  cmake_parse_arguments(PARSE_ARGV 2 suite "" "FILTER" "LEAVE_OUT")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${folder}/*_test.cpp)
  foreach(left_out ${suite_LEAVE_OUT})
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/tests/${folder}/${left_out})
  endforeach()
  set(relative)
  foreach(source ${sources})
    file(RELATIVE_PATH r ${PROJECT_SOURCE_DIR} ${source})
    list(APPEND relative ${r})
  endforeach()
  add_executable(${name} ${relative})
  # The game's suites keep the game's Shift-JIS narrow strings, like the code they test.
  if(NOT folder STREQUAL "platform")
    zum32_game_target(${name})
  endif()
  target_sources(${name} PRIVATE $<TARGET_OBJECTS:platform_store_disk>)
  set_target_properties(${name} PROPERTIES SUFFIX .js LINK_DEPENDS "${page_libraries}")
  target_link_libraries(${name} PRIVATE test_support_web zum32_window platform_core platform_audio)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR}/platform/core)
  target_compile_definitions(${name} PRIVATE ZUM32_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                             ZUM32_BINARY_DIR="${PROJECT_BINARY_DIR}")
  target_link_options(${name} PRIVATE ${web_test_link_options})
  set(filter)
  if(suite_FILTER)
    set(filter --gtest_filter=${suite_FILTER})
  endif()
  add_test(NAME ${name} COMMAND node --no-experimental-fetch $<TARGET_FILE:${name}> ${filter})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

zum32_web_suite(game_tests_web game)
zum32_web_suite(render_tests_web render)
zum32_web_suite(records_tests_web records LEAVE_OUT two_copies_test.cpp unsaved_records_test.cpp)
zum32_web_suite(shell_tests_web shell LEAVE_OUT screenshots_test.cpp)
# The profile tests of the kernel's own file rules (a full or read-only disk in a child process,
# size limits, modification times, FIFOs and /proc) hold only for the desktop's disk; the rest of
# their files runs here. The Windows build's help text is checked natively.
zum32_web_suite(platform_tests_web platform
  LEAVE_OUT audio_test.cpp mutex_test.cpp profile_crash_test.cpp cp932_table_test.cpp help_text_test.cpp
  FILTER -ProfileFile.FullDisk*:ProfileFile.WritingTheSameValueLeavesTheFileAlone:ProfileBadInput.UnreadableFilesGiveDefaultsAndRefuseWrites)
