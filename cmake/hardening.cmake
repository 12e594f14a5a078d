# Debian's hardening flags, the way Debian builds its own packages: dpkg-buildflags with
# hardening=+all (stack protector, fortified functions, format checks, full RELRO with immediate
# binding). The build type keeps choosing the optimisation and the debugging data. The sanitizer
# and fuzz builds check the same calls in their own way, and fortified functions need the
# optimiser, so only the other builds of this machine's compiler take them.
if(ZUM32_SANITIZE OR ZUM32_FUZZ OR CMAKE_BUILD_TYPE STREQUAL "Debug")
  set(ZUM32_HARDENED OFF)
  return()
endif()
set(ZUM32_HARDENED ON)

find_program(ZUM32_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
function(zum32_buildflags out)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                          ${ZUM32_DPKG_BUILDFLAGS} ${ARGN}
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE text OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

foreach(kind CPPFLAGS CFLAGS CXXFLAGS LDFLAGS)
  zum32_buildflags(text --get ${kind})
  separate_arguments(flags UNIX_COMMAND "${text}")
  list(FILTER flags EXCLUDE REGEX "^(-g|-O[0-9sgz]?)$")
  set(${kind} ${flags})
endforeach()

# dpkg before 1.22 (Debian 12) leaves out two parts of hardening=+all: stack clash protection and
# the processor's branch protection. They are added here as later dpkg adds them.
zum32_buildflags(features --query-features hardening)
set(extra)
if(NOT features MATCHES "Feature: stackclash")
  list(APPEND extra -fstack-clash-protection)
endif()
if(NOT features MATCHES "Feature: branch")
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|i.86")
    list(APPEND extra -fcf-protection)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "aarch64|arm64")
    list(APPEND extra -mbranch-protection=standard)
  endif()
endif()

add_compile_options("$<$<COMPILE_LANGUAGE:C>:${CPPFLAGS};${CFLAGS};${extra}>"
                    "$<$<COMPILE_LANGUAGE:CXX>:${CPPFLAGS};${CXXFLAGS};${extra}>")
add_link_options(${LDFLAGS})
