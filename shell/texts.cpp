// The game's words from the string table: read once per use, so they follow the table alone.
#include "shell/texts.h"

#include <cstdarg>
#include <cstdio>

#include "game/game_state.h"

std::string LoadText(UINT id) {
    char text[512];
    const int length = LoadStringA(GameState.instanceHandle, id, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string FormatText(UINT id, ...) {
    const std::string format = LoadText(id);
    char text[512];
    va_list args;
    va_start(args, id);
    std::vsnprintf(text, sizeof text, format.c_str(), args);
    va_end(args);
    return text;
}
