// Modal dialogs of the core: the records behind a dialog and its controls, and the user's actions
// that whatever shows the dialog reports back.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "internal.h"

namespace platform {

// What presents a running dialog; told of every change that the program makes to it.
class DialogView {
public:
    virtual ~DialogView() = default;
    virtual void TextChanged(HWND window) = 0;  // the dialog's caption or a control's text
    virtual void CheckChanged(HWND control) = 0;
    virtual void FocusChanged(HWND control) = 0;
    virtual void Ended(INT_PTR result) = 0;  // EndDialog: close, the modal run returns
};

enum class ControlKind {
    PushButton,
    DefPushButton,
    AutoRadioButton,
    GroupBox,
    Text,         // static text; SS_LEFT, SS_CENTER or SS_RIGHT in the style
    Icon,         // static icon; the control's text names the icon resource
    EtchedFrame,
    Edit,         // single-line edit
    Other,        // shown as nothing and inert
};

// The default limit of an edit control, and the one EM_LIMITTEXT with 0 gives, in bytes.
constexpr std::size_t kDefaultEditLimit = 32767;
constexpr std::size_t kMaximumEditLimit = 0x7FFFFFFE;

// Kept in the control's HWND__::extra.
struct DialogControlRecord {
    const rc::DialogControl* source = nullptr;
    ControlKind kind = ControlKind::Other;
    bool checked = false;
    std::size_t limit = kDefaultEditLimit;  // edit: the most bytes the user may enter
};

// Kept in the dialog's HWND__::extra.
struct DialogRecord {
    const rc::DialogTemplate* source = nullptr;
    HWND owner = nullptr;
    std::vector<HWND> controls;  // template order, which is also the tab order
    HWND focus = nullptr;        // the control with the keyboard focus, if any
    bool ended = false;
    INT_PTR result = 0;
    bool ownerDisabled = false;  // WS_DISABLED was set on the owner for the run
    DialogView* view = nullptr;  // set while something shows the dialog
    LRESULT messageResult = 0;   // DWLP_MSGRESULT
};

// The records of a dialog or of one of its controls; null for any other window.
DialogRecord* DialogOf(HWND dialog);
DialogControlRecord* ControlOf(HWND control);

// DialogBoxParamA with the template in hand: builds the windows, sends WM_INITDIALOG, runs the
// backend's modal loop until EndDialog and returns its result; -1 when no window could be made.
INT_PTR DialogBoxFromTemplate(const rc::DialogTemplate& source, HWND owner, DLGPROC proc,
                              LPARAM initParam);

// The user's actions, reported by the view (or a test). Each reaches the dialog procedure as
// Windows' dialog manager would deliver it.
// A click on a button: it takes the focus, an automatic radio button is checked and the others
// of its group unchecked, then WM_COMMAND (id, BN_CLICKED) goes to the procedure. False when id
// names no button.
bool ClickDialogButton(HWND dialog, int id);
// The user changed an edit control's text (CP932); the view has already checked the limit.
void DialogEditChanged(HWND control, const std::string& cp932);
// Enter: WM_COMMAND of the push button with the focus, else of the default push button, else IDOK.
void DialogDefaultButton(HWND dialog);
// Escape: WM_COMMAND IDCANCEL.
void DialogCancel(HWND dialog);
// An arrow key on a button: the focus moves to the next button of its group, wrapping; an
// automatic radio button that gets it is clicked. False when the focus is not on a button.
bool DialogArrowKey(HWND dialog, bool forward);
// Tab (forward) or Shift+Tab: the focus moves to the next enabled, visible control with
// WS_TABSTOP in template order, wrapping. False when there is none.
bool DialogTabKey(HWND dialog, bool forward);
// The user moved the focus to control (null: to nothing); the view already shows it.
void DialogFocusMoved(HWND control);
// SetWindowTextA changed the text of a dialog or of one of its controls: the view shows it.
// The backend calls this from WindowTextChanged; other windows are ignored.
void DialogTextChanged(HWND window);

// What a screen reader is told a control is called, in CP932: the dialog procedure's answer to
// WM_ACC_CHILDTEXT; else, as Windows names controls, its own text, or for an edit the text of the
// nearest static before it in the template; "&" markers removed as the text shows them.
std::string AccessibleControlName(HWND control);
// The group box drawn around a control: the nearest before it in the template whose rectangle
// holds the control's; null when there is none.
HWND GroupBoxAround(HWND control);

// Windows' base units of a dialog font from the width of "A".."Z""a".."z" and the font's height:
// ((width / 26) + 1) / 2 across, the height down.
SIZE DialogBaseUnits(int alphabetWidth, int fontHeight);
// A rectangle in dialog units in pixels, as {x, y, width, height}: x by base.cx / 4, y by
// base.cy / 8, each of the four numbers rounded on its own as MulDiv rounds.
RECT DialogUnitsToPixels(int x, int y, int cx, int cy, SIZE base);

// Whether b starts a double-byte character of CP932.
inline bool IsCp932LeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// The length of the longest prefix of a CP932 text within maxBytes that ends on a whole character.
std::size_t Cp932Prefix(const std::string& cp932, std::size_t maxBytes);

}  // namespace platform
