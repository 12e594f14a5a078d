// The dialog glue's entry points for the Qt backend: modal dialogs from resource templates.
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

#include "../core/internal.h"

class QWidget;

namespace platform::qt {

INT_PTR RunDialog(HWND dialog);  // shows the dialog and runs its modal loop until EndDialog
void EndDialog(HWND dialog);     // ends the loop that RunDialog runs for it

// The widget that shows a running dialog (the dialog's HWND) or one of its controls; else null.
QWidget* DialogWidget(HWND window);

// The Windows Japanese fonts that templates name, mapped to the IPA fonts; idempotent.
void AddDialogFontSubstitutions();
// The template's font; a template without one gets the application's font.
QFont DialogFont(const rc::DialogTemplate& source);
// Windows' base units of a dialog font: (width of A-Z a-z / 26 + 1) / 2, and the font height.
QSize DialogBaseUnits(const QFont& font);
// A rectangle in dialog units in pixels: x by baseX / 4, y by baseY / 8, rounded as MulDiv.
QRect DialogUnitsToPixels(int x, int y, int cx, int cy, QSize baseUnits);

}  // namespace platform::qt
