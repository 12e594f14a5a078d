# The game's own code, in layers; each library links only the layers below it, so no cycle forms.
# None of them links Qt: the platform's Windows stand-in is all they see.

# 2. Game state, level tables, random source, generation.
add_library(zum32_state STATIC
  game/game_state.cpp
  game/random.cpp
  game/generate.cpp)
target_link_libraries(zum32_state PUBLIC platform_core)
zum32_game_target(zum32_state)

# 3. Media: palette, bitmaps and texts from resources, drawing contexts, sound cues.
add_library(zum32_media STATIC
  shell/media.cpp
  shell/texts.cpp)
target_link_libraries(zum32_media PUBLIC zum32_state platform_audio)
zum32_game_target(zum32_media)

# 4. Rendering: sprites, play screen, status displays, end screens.
add_library(zum32_render STATIC
  render/sprites.cpp
  render/status.cpp
  render/play_screen.cpp
  render/cell_cursor.cpp
  render/end_screens.cpp)
target_link_libraries(zum32_render PUBLIC zum32_media)
zum32_game_target(zum32_render)

# 5. Rules and records.
add_library(zum32_rules STATIC
  game/moves.cpp
  game/explosion.cpp)
target_link_libraries(zum32_rules PUBLIC zum32_render)
zum32_game_target(zum32_rules)

add_library(zum32_records STATIC
  records/settings.cpp
  records/best_five.cpp
  records/dialogs.cpp)
target_link_libraries(zum32_records PUBLIC zum32_render)
zum32_game_target(zum32_records)

# 6. Window: entry point, main window procedure, title screen.
add_library(zum32_window STATIC
  shell/main_window.cpp
  shell/keyboard.cpp
  shell/spoken.cpp
  shell/title.cpp
  shell/winmain.cpp)
target_link_libraries(zum32_window PUBLIC zum32_rules zum32_records)
zum32_game_target(zum32_window)

# The executable: the platform's entry creates the Qt application and calls WinMain.
if(NOT WIN32 AND NOT EMSCRIPTEN AND EXISTS ${PROJECT_SOURCE_DIR}/platform/entry/main.cpp)
  add_executable(zum32 platform/entry/main.cpp)
  target_link_libraries(zum32 PRIVATE zum32_window platform Qt6::Widgets)
  target_include_directories(zum32 PRIVATE platform/core platform/qt)
endif()
