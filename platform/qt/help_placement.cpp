// The help window's placement beside the game's window, as a pure function of the geometry.
#include "help_placement.h"

#include <algorithm>
#include <array>

namespace platform::qt {
namespace {

constexpr int kGap = 8;  // between the two frames, where the room allows it

enum class Side { Right, Left, Below, Above };

// The part of the free area on one side of the game.
QRect RoomOn(Side side, const QRect& available, const QRect& game) {
    QRect room = available;
    switch (side) {
        case Side::Right: room.setLeft(std::max(room.left(), game.right() + 1)); break;
        case Side::Left: room.setRight(std::min(room.right(), game.left() - 1)); break;
        case Side::Below: room.setTop(std::max(room.top(), game.bottom() + 1)); break;
        case Side::Above: room.setBottom(std::min(room.bottom(), game.top() - 1)); break;
    }
    return room;
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

// A frame of that size in the room, against the game's side and lined up with its top or left.
QRect PutInRoom(Side side, const QRect& room, const QRect& game, QSize size) {
    const int spareX = room.width() - size.width(), spareY = room.height() - size.height();
    QPoint at(Clamp(game.left(), room.left(), room.left() + spareX),
              Clamp(game.top(), room.top(), room.top() + spareY));
    switch (side) {
        case Side::Right: at.setX(room.left() + std::min(kGap, spareX)); break;
        case Side::Left: at.setX(room.left() + spareX - std::min(kGap, spareX)); break;
        case Side::Below: at.setY(room.top() + std::min(kGap, spareY)); break;
        case Side::Above: at.setY(room.top() + spareY - std::min(kGap, spareY)); break;
    }
    return QRect(at, size);
}

}  // namespace

QRect PlaceHelp(const QRect& available, const QRect& game, QSize help, QSize smallest) {
    if (!available.isValid()) return QRect(game.topRight() + QPoint(1 + kGap, 0), help);
    constexpr std::array<Side, 4> kSides{Side::Right, Side::Left, Side::Below, Side::Above};
    for (Side side : kSides) {
        const QRect room = RoomOn(side, available, game);
        if (room.width() >= help.width() && room.height() >= help.height())
            return PutInRoom(side, room, game, help);
    }
    const QSize whole = help.boundedTo(available.size());
    QRect best;
    for (Side side : kSides) {
        const QRect room = RoomOn(side, available, game);
        const bool across = side == Side::Right || side == Side::Left;
        const QSize fits = whole.boundedTo(room.size() - QSize(across ? kGap : 0, across ? 0 : kGap));
        if (fits.width() < smallest.width() || fits.height() < smallest.height()) continue;
        if (best.isNull() || fits.width() * fits.height() > best.width() * best.height())
            best = PutInRoom(side, room, game, fits);
    }
    if (!best.isNull()) return best;
    // No side has room enough: right of the game as far as the screen lets it.
    return QRect(QPoint(Clamp(game.right() + 1 + kGap, available.left(),
                              available.right() + 1 - whole.width()),
                        Clamp(game.top(), available.top(), available.bottom() + 1 - whole.height())),
                 whole);
}

}  // namespace platform::qt
