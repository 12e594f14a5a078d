# The warnings of every build, the host tools' own included. The test builds (ZUM32_WERROR) stop
# at any warning, the linker's too: GNU ld, MinGW's ld and wasm-ld by --fatal-warnings, and
# emcc's own link-time warnings by -Werror.
option(ZUM32_WERROR "Treat compiler and linker warnings as errors (the test builds turn it on)" OFF)
add_compile_options(-Wall -Wextra -Wno-unused-parameter)
if(ZUM32_WERROR)
  add_compile_options(-Werror)
  add_link_options(-Wl,--fatal-warnings)
  if(EMSCRIPTEN)
    add_link_options(-Werror)
  endif()
endif()
