// The one global game record and the level tables.
#include "game/game_state.h"

GameStateRecord GameState;
std::int8_t ScreenState = Title;

const std::int8_t kBoardSize[4] = {0, 10, 15, 20};
const std::int8_t kClueMargin[4] = {0, 5, 8, 10};
const std::int32_t kBombCount[4] = {0, 30, 60, 90};
const std::int32_t kCellCount[4] = {0, 100, 225, 400};
