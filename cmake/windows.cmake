# The Windows build: the game's own libraries against the real Windows headers and libraries,
# the resource script through windres, and the few extras of platform/win32, in one zum32.exe.
enable_language(RC)

# Layer 1 is Windows itself: the game's libraries link its import libraries.
add_library(platform_core INTERFACE)
target_include_directories(platform_core INTERFACE ${PROJECT_SOURCE_DIR}/resources)
target_link_libraries(platform_core INTERFACE user32 gdi32 kernel32)
add_library(platform_audio INTERFACE)
target_link_libraries(platform_audio INTERFACE winmm)

include(cmake/game_layers.cmake)

# Our extras define the import pointers of the calls they stand in for, so they must be linked
# as objects ahead of the system's import libraries.
file(GLOB win32_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
file(GLOB resource_files CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/resources/*.bmp ${PROJECT_SOURCE_DIR}/resources/*.wav
  ${PROJECT_SOURCE_DIR}/resources/*.ico ${PROJECT_SOURCE_DIR}/resources/*.cur
  ${PROJECT_SOURCE_DIR}/resources/resource.h ${PROJECT_SOURCE_DIR}/resources/help/*.*
  ${PROJECT_SOURCE_DIR}/resources/en/*.bmp ${PROJECT_SOURCE_DIR}/resources/help/en/*)
set_source_files_properties(resources/zum32.rc PROPERTIES OBJECT_DEPENDS "${resource_files}")

add_executable(zum32 WIN32 ${win32_sources} resources/zum32.rc)
target_include_directories(zum32 PRIVATE ${PROJECT_SOURCE_DIR}/resources)
target_link_libraries(zum32 PRIVATE zum32_window)
# Screen readers' objects; uuid comes first, or IID_IAccessible resolves to oleacc's import thunk.
target_link_libraries(zum32 PRIVATE uuid oleacc ole32 oleaut32)
# The entry point is in the game's window library, which the C runtime's start-up code follows.
target_link_options(zum32 PRIVATE -Wl,--undefined=WinMain)
# One file that needs nothing beyond Windows' own libraries: the C++ and GCC runtimes inside,
# and no debugging data, which would nearly double it.
target_link_options(zum32 PRIVATE -static -static-libgcc -static-libstdc++ -s)
