// The game's client area for a screen reader: the window's own name, the board's cells as a table
// and the announcements, all texts asked of the game; and the events that the game notifies.
#pragma once

#include "../core/internal.h"

class QObject;
class QWidget;

namespace platform::qt {

// Lets Qt's accessibility make the client area's interface; idempotent.
void InstallBoardAccessible();
// NotifyWinEvent on the window that view shows.
void BoardAccessibleEvent(QWidget* view, DWORD event, LONG child);
// The client area has the keyboard: the reader's attention goes to the child that had it last.
void BoardFocused(QWidget* view);

}  // namespace platform::qt
