// Where the help window opens: beside the game's window, never over it while the screen has room.
#pragma once

#include <QRect>
#include <QSize>

namespace platform::qt {

// The help window's frame for a game window whose frame is `game`, on a screen whose free area is
// `available`. The first side with room for the full `help` size wins, in the order right, left,
// below, above; when none has, the side with room for the largest help of at least `smallest`,
// shrunk to fit; when none has even that, the full size over the game. Always inside `available`.
QRect PlaceHelp(const QRect& available, const QRect& game, QSize help, QSize smallest);

}  // namespace platform::qt
