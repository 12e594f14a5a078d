// Modal dialogs from the resource script's templates: windows, controls, focus, radio groups and
// the dialog manager's keyboard rules, without any toolkit.
#include <algorithm>
#include <cstring>

#include "dialog_internal.h"
#include "platform_test_dialogs.h"

namespace platform {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr WORD kBnClicked = 0;

HWND focusWindow = nullptr;  // the window that SetFocus last gave the keyboard focus

LRESULT DialogClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // Messages sent or posted to a dialog reach its procedure here, as DefDlgProc hands them on:
    // a procedure that handles one answers through DWLP_MSGRESULT, WM_INITDIALOG by its return.
    DialogRecord* record = DialogOf(hwnd);
    if (record) record->messageResult = 0;
    if (hwnd->dialogProc)
        if (INT_PTR handled = hwnd->dialogProc(hwnd, msg, wParam, lParam)) {
            if (msg == WM_INITDIALOG || !(record = DialogOf(hwnd))) return handled;
            return record->messageResult;
        }
    if (msg == WM_CLOSE) {
        DialogCancel(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT ControlClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == EM_LIMITTEXT) {
        if (DialogControlRecord* c = ControlOf(hwnd); c && c->kind == ControlKind::Edit)
            c->limit = wParam ? static_cast<std::size_t>(wParam) : kMaximumEditLimit;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The classes live in the core's class table, which a test reset empties: register on each use.
void RegisterClasses(const rc::DialogTemplate& source) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DialogClassProc;
    wc.lpszClassName = kDialogClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = ControlClassProc;
    for (int i = 0; i < source.controlCount; ++i) {
        std::string name = Utf16ToCp932(source.controls[i].className);
        wc.lpszClassName = name.c_str();
        RegisterClassA(&wc);
    }
}

ControlKind KindOf(const rc::DialogControl& c) {
    std::u16string cls = c.className ? c.className : u"";
    if (cls == u"BUTTON") {
        switch (c.style & 0x0F) {
            case BS_PUSHBUTTON: return ControlKind::PushButton;
            case BS_DEFPUSHBUTTON: return ControlKind::DefPushButton;
            case BS_GROUPBOX: return ControlKind::GroupBox;
            case BS_AUTORADIOBUTTON: return ControlKind::AutoRadioButton;
            default: return ControlKind::Other;
        }
    }
    if (cls == u"STATIC") {
        switch (c.style & 0x1F) {
            case SS_LEFT:
            case SS_CENTER:
            case SS_RIGHT: return ControlKind::Text;
            case SS_ICON: return ControlKind::Icon;
            case SS_ETCHEDFRAME: return ControlKind::EtchedFrame;
            default: return ControlKind::Other;
        }
    }
    return cls == u"EDIT" ? ControlKind::Edit : ControlKind::Other;
}

bool IsButton(ControlKind k) {
    return k == ControlKind::PushButton || k == ControlKind::DefPushButton ||
           k == ControlKind::AutoRadioButton;
}

bool CanTakeFocus(HWND control) {
    const DialogControlRecord* c = ControlOf(control);
    return c && (IsButton(c->kind) || c->kind == ControlKind::Edit) &&
           !(control->style & WS_DISABLED);
}

std::size_t IndexOf(const DialogRecord& r, HWND control) {
    return static_cast<std::size_t>(std::find(r.controls.begin(), r.controls.end(), control) -
                                    r.controls.begin());
}

// A group runs from a WS_GROUP control (or the first control) up to the next WS_GROUP control.
std::pair<std::size_t, std::size_t> GroupOf(const DialogRecord& r, std::size_t i) {
    std::size_t begin = i;
    while (begin > 0 && !(r.controls[begin]->style & WS_GROUP)) --begin;
    std::size_t end = i + 1;
    while (end < r.controls.size() && !(r.controls[end]->style & WS_GROUP)) ++end;
    return {begin, end};
}

// As BM_SETCHECK does, a radio button is a tab stop exactly while it is checked: Tab enters its
// group at the checked button, whatever the template said.
void SetChecked(const DialogRecord& r, HWND control, bool checked) {
    DialogControlRecord* c = ControlOf(control);
    if (!c) return;
    control->style = checked ? control->style | WS_TABSTOP : control->style & ~WS_TABSTOP;
    if (c->checked == checked) return;
    c->checked = checked;
    if (r.view) r.view->CheckChanged(control);
}

// An automatic radio button checks itself and unchecks the other ones of its group.
void CheckInGroup(const DialogRecord& r, HWND control) {
    auto [begin, end] = GroupOf(r, IndexOf(r, control));
    for (std::size_t i = begin; i < end; ++i) {
        HWND other = r.controls[i];
        if (other != control && ControlOf(other)->kind == ControlKind::AutoRadioButton)
            SetChecked(r, other, false);
    }
    SetChecked(r, control, true);
}

void MoveFocus(DialogRecord& r, HWND control, bool tellView) {
    focusWindow = control;
    if (r.focus == control) return;
    r.focus = control;
    if (tellView && r.view) r.view->FocusChanged(control);
}

void SendClicked(HWND dialog, int id, HWND control) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), kBnClicked),
                 reinterpret_cast<LPARAM>(control));
}

}  // namespace

DialogRecord* DialogOf(HWND dialog) {
    if (!IsLiveWindow(dialog) || dialog->proc != DialogClassProc || !dialog->extra) return nullptr;
    return static_cast<DialogRecord*>(dialog->extra.get());
}

DialogControlRecord* ControlOf(HWND control) {
    if (!IsLiveWindow(control) || control->proc != ControlClassProc || !control->extra)
        return nullptr;
    return static_cast<DialogControlRecord*>(control->extra.get());
}

namespace {

// MulDiv: the product over the divisor, rounded half away from zero.
int MulDiv(int number, int numerator, int denominator) {
    long long product = static_cast<long long>(number) * numerator;
    long long half = denominator / 2;
    return static_cast<int>((product >= 0 ? product + half : product - half) / denominator);
}

}  // namespace

SIZE DialogBaseUnits(int alphabetWidth, int fontHeight) {
    return SIZE{(alphabetWidth / 26 + 1) / 2, fontHeight};
}

RECT DialogUnitsToPixels(int x, int y, int cx, int cy, SIZE base) {
    // Each number is converted on its own, so a right edge may round apart from x + cx.
    return RECT{MulDiv(x, base.cx, 4), MulDiv(y, base.cy, 8), MulDiv(cx, base.cx, 4),
                MulDiv(cy, base.cy, 8)};
}

std::size_t Cp932Prefix(const std::string& cp932, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < cp932.size()) {
        std::size_t length =
            IsCp932LeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
        if (i + length > maxBytes) break;
        i += length;
    }
    return i;
}

namespace {

constexpr DWORD kSsNoPrefix = 0x0080;

// The text as a control shows it: "&x" underlines x and "&&" is one "&", unless a static says
// SS_NOPREFIX. A trail byte of CP932 is never "&", yet a pair is copied whole.
std::string ShownText(HWND control) {
    const DialogControlRecord* c = ControlOf(control);
    const std::string& text = control->text;
    if (c->kind == ControlKind::Icon) return std::string();  // its text names a resource
    if (c->kind == ControlKind::Text && (control->style & kSsNoPrefix)) return text;
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
        if (IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            shown += text[++i];
    }
    return shown;
}

// Windows' label of a control: walking back through the template, the first static (a group
// box counts as one); a hidden tab stop or group start ends the search.
HWND LabelBefore(const DialogRecord& r, HWND control) {
    for (std::size_t i = IndexOf(r, control); i-- > 0;) {
        HWND peer = r.controls[i];
        const ControlKind k = ControlOf(peer)->kind;
        if (k == ControlKind::Text || k == ControlKind::Icon || k == ControlKind::EtchedFrame ||
            k == ControlKind::GroupBox)
            return peer;
        if (!(peer->style & WS_VISIBLE) && (peer->style & (WS_GROUP | WS_TABSTOP))) break;
    }
    return nullptr;
}

}  // namespace

std::string AccessibleControlName(HWND control) {
    const DialogControlRecord* c = ControlOf(control);
    const DialogRecord* r = c ? DialogOf(control->parent) : nullptr;
    if (!r) return std::string();
    std::string named = AccessibleChildText(control->parent, static_cast<WORD>(control->id));
    if (!named.empty()) return named;
    // The procedure may have ended the dialog meanwhile.
    if (!(c = ControlOf(control)) || !(r = DialogOf(control->parent))) return std::string();
    if (c->kind != ControlKind::Edit) return ShownText(control);
    HWND label = LabelBefore(*r, control);
    return label ? ShownText(label) : std::string();
}

HWND GroupBoxAround(HWND control) {
    const DialogControlRecord* c = ControlOf(control);
    const DialogRecord* r = c ? DialogOf(control->parent) : nullptr;
    if (!r) return nullptr;
    const rc::DialogControl& in = *c->source;
    for (std::size_t i = IndexOf(*r, control); i-- > 0;) {
        const DialogControlRecord* box = ControlOf(r->controls[i]);
        const rc::DialogControl& b = *box->source;
        if (box->kind == ControlKind::GroupBox && in.x >= b.x && in.y >= b.y &&
            in.x + in.cx <= b.x + b.cx && in.y + in.cy <= b.y + b.cy)
            return r->controls[i];
    }
    return nullptr;
}

INT_PTR DialogBoxFromTemplate(const rc::DialogTemplate& source, HWND owner, DLGPROC proc,
                              LPARAM initParam) {
    RegisterClasses(source);
    std::string caption = source.caption ? Utf16ToCp932(source.caption) : std::string();
    // Created hidden: the dialog is shown by the backend's modal run, not as a window of its own.
    HWND dialog = CreateWindowExA(source.exStyle, kDialogClass, caption.c_str(),
                                  source.style & ~WS_VISIBLE, 0, 0, 0, 0, owner, nullptr, nullptr,
                                  nullptr);
    if (!dialog) return -1;
    dialog->style = source.style;
    auto record = std::make_shared<DialogRecord>();
    record->source = &source;
    record->owner = owner;
    dialog->extra = record;
    for (int i = 0; i < source.controlCount; ++i) {
        const rc::DialogControl& src = source.controls[i];
        std::string cls = Utf16ToCp932(src.className);
        std::string text = src.text ? Utf16ToCp932(src.text) : std::string();
        HWND control = CreateWindowExA(src.exStyle, cls.c_str(), text.c_str(),
                                       src.style & ~WS_VISIBLE, 0, 0, 0, 0, dialog, nullptr,
                                       nullptr, nullptr);
        if (!control) continue;
        control->style = src.style;
        control->id = src.id;
        auto c = std::make_shared<DialogControlRecord>();
        c->source = &src;
        c->kind = KindOf(src);
        control->extra = c;
        record->controls.push_back(control);
    }
    dialog->dialogProc = proc;

    HWND focusBefore = focusWindow;
    // wParam names the control that gets the focus when the procedure returns nonzero.
    HWND firstTabStop = nullptr;
    for (HWND c : record->controls)
        if ((c->style & WS_TABSTOP) && !(c->style & WS_DISABLED)) {
            firstTabStop = c;
            break;
        }
    INT_PTR setFocus = proc ? proc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(firstTabStop),
                                   initParam)
                            : 1;
    if (setFocus && firstTabStop && !record->ended) SetFocus(firstTabStop);

    INT_PTR result = record->result;
    if (!record->ended) {
        // The owner takes no input while the dialog runs.
        if (IsLiveWindow(owner) && !(owner->style & WS_DISABLED)) {
            owner->style |= WS_DISABLED;
            record->ownerDisabled = true;
        }
        INT_PTR ran = CurrentBackend().RunDialog(dialog);
        result = record->ended ? record->result : ran;
    }
    if (record->ownerDisabled && IsLiveWindow(owner)) owner->style &= ~WS_DISABLED;
    record->ownerDisabled = false;

    std::vector<HWND> controls = record->controls;
    DestroyWindow(dialog);
    for (HWND c : controls) DestroyWindow(c);
    focusWindow = IsLiveWindow(focusBefore) ? focusBefore : owner;
    return result;
}

bool ClickDialogButton(HWND dialog, int id) {
    DialogRecord* r = DialogOf(dialog);
    HWND control = GetDlgItem(dialog, id);
    DialogControlRecord* c = ControlOf(control);
    if (!r || !c || !IsButton(c->kind) || (control->style & WS_DISABLED)) return false;
    MoveFocus(*r, control, true);
    if (c->kind == ControlKind::AutoRadioButton) CheckInGroup(*r, control);
    SendClicked(dialog, control->id, control);
    return true;
}

void DialogEditChanged(HWND control, const std::string& cp932) {
    DialogControlRecord* c = ControlOf(control);
    if (!c || c->kind != ControlKind::Edit) return;
    control->text = cp932.substr(0, cp932.find('\0'));
}

void DialogDefaultButton(HWND dialog) {
    DialogRecord* r = DialogOf(dialog);
    if (!r) return;
    // A push button with the focus stands in for the default one, as Windows draws it.
    HWND target = nullptr;
    if (const DialogControlRecord* f = ControlOf(r->focus);
        f && (f->kind == ControlKind::PushButton || f->kind == ControlKind::DefPushButton))
        target = r->focus;
    for (std::size_t i = 0; !target && i < r->controls.size(); ++i)
        if (ControlOf(r->controls[i])->kind == ControlKind::DefPushButton) target = r->controls[i];
    if (target && (target->style & WS_DISABLED)) return;
    if (target)
        SendClicked(dialog, target->id, target);
    else
        SendClicked(dialog, IDOK, GetDlgItem(dialog, IDOK));
}

void DialogCancel(HWND dialog) {
    if (!DialogOf(dialog)) return;
    SendClicked(dialog, IDCANCEL, GetDlgItem(dialog, IDCANCEL));
}

bool DialogArrowKey(HWND dialog, bool forward) {
    DialogRecord* r = DialogOf(dialog);
    const DialogControlRecord* f = r ? ControlOf(r->focus) : nullptr;
    if (!f || !IsButton(f->kind)) return false;
    std::size_t at = IndexOf(*r, r->focus);
    auto [begin, end] = GroupOf(*r, at);
    std::size_t count = end - begin;
    for (std::size_t step = 1; step < count; ++step) {
        std::size_t offset = forward ? (at - begin + step) % count : (at - begin + count - step) % count;
        HWND next = r->controls[begin + offset];
        if (!CanTakeFocus(next)) continue;
        MoveFocus(*r, next, true);
        if (ControlOf(next)->kind == ControlKind::AutoRadioButton) {
            CheckInGroup(*r, next);
            SendClicked(dialog, next->id, next);
        }
        break;
    }
    return true;
}

bool DialogTabKey(HWND dialog, bool forward) {
    DialogRecord* r = DialogOf(dialog);
    if (!r || r->controls.empty()) return false;
    const std::size_t count = r->controls.size();
    // Without a focus, Tab starts at the first control and Shift+Tab at the last.
    const std::size_t at = r->focus ? IndexOf(*r, r->focus) : forward ? count - 1 : 0;
    for (std::size_t step = 1; step <= count; ++step) {
        HWND next = r->controls[forward ? (at + step) % count : (at + count - step) % count];
        if ((next->style & WS_TABSTOP) && (next->style & WS_VISIBLE) && CanTakeFocus(next)) {
            MoveFocus(*r, next, true);
            return true;
        }
    }
    return false;
}

void DialogFocusMoved(HWND control) {
    if (!ControlOf(control)) return;
    if (DialogRecord* r = DialogOf(control->parent)) MoveFocus(*r, control, false);
}

void DialogTextChanged(HWND window) {
    DialogRecord* r = DialogOf(window);
    if (!r && ControlOf(window)) r = DialogOf(window->parent);
    if (r && r->view) r->view->TextChanged(window);
}

}  // namespace platform

using namespace platform;

INT_PTR DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam) {
    const rc::Entry* e = FindEntry(templateName, RT_DIALOG);
    if (!e || e->kind != rc::Kind::Dialog || !e->structured) return -1;
    return DialogBoxFromTemplate(*static_cast<const rc::DialogTemplate*>(e->structured), owner, proc,
                                 initParam);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogRecord* r = DialogOf(dialog);
    if (!r) return FALSE;
    r->ended = true;
    r->result = result;
    // Windows enables the owner at once, before the modal loop has even returned.
    if (r->ownerDisabled && IsLiveWindow(r->owner)) r->owner->style &= ~WS_DISABLED;
    r->ownerDisabled = false;
    if (r->view) r->view->Ended(result);
    CurrentBackend().EndDialog(dialog);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int id) {
    const DialogRecord* r = DialogOf(dialog);
    if (!r) return nullptr;
    for (HWND c : r->controls)
        if (static_cast<WORD>(c->id) == static_cast<WORD>(id)) return c;
    return nullptr;
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    control->text = text ? text : "";
    DialogTextChanged(control);
    return TRUE;
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    HWND control = GetDlgItem(dialog, id);
    std::size_t n = control ? Cp932Prefix(control->text, static_cast<std::size_t>(size) - 1) : 0;
    if (n) std::memcpy(buffer, control->text.data(), n);
    buffer[n] = '\0';
    return static_cast<UINT>(n);
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
    const DialogRecord* r = DialogOf(dialog);
    if (!r) return FALSE;
    for (HWND c : r->controls)
        if (c->id >= first && c->id <= last && ControlOf(c)->kind == ControlKind::AutoRadioButton)
            SetChecked(*r, c, c->id == check);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    const DialogControlRecord* c = ControlOf(GetDlgItem(dialog, id));
    return c && c->kind == ControlKind::AutoRadioButton && c->checked ? BST_CHECKED : BST_UNCHECKED;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(GetDlgItem(dialog, id), msg, wParam, lParam);
}

LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value) {
    DialogRecord* r = DialogOf(hwnd);
    if (!r || index != DWLP_MSGRESULT) return 0;
    LONG_PTR previous = r->messageResult;
    r->messageResult = value;
    return previous;
}

HWND SetFocus(HWND hwnd) {
    HWND previous = IsLiveWindow(focusWindow) ? focusWindow : nullptr;
    if (hwnd && !IsLiveWindow(hwnd)) return nullptr;
    focusWindow = hwnd;
    if (ControlOf(hwnd))
        if (DialogRecord* r = DialogOf(hwnd->parent)) MoveFocus(*r, hwnd, true);
    return previous;
}

// Test hooks.
namespace platform_test {

std::string DialogItemText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control ? control->text : std::string();
}

bool DialogItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

int FocusedDialogItem(HWND dialog) {
    const DialogRecord* r = DialogOf(dialog);
    return r && r->focus ? r->focus->id : 0;
}

std::size_t EditLimit(HWND dialog, int id) {
    const DialogControlRecord* c = ControlOf(GetDlgItem(dialog, id));
    return c && c->kind == ControlKind::Edit ? c->limit : 0;
}

bool ClickDialogItem(HWND dialog, int id) { return ClickDialogButton(dialog, id); }

std::size_t TypeText(HWND dialog, const std::string& cp932) {
    const DialogRecord* r = DialogOf(dialog);
    const DialogControlRecord* c = r ? ControlOf(r->focus) : nullptr;
    if (!c || c->kind != ControlKind::Edit) return 0;
    std::string text = r->focus->text;
    std::size_t taken = 0;
    // Each keystroke that would pass the limit is refused; a shorter one after it may still fit.
    for (std::size_t i = 0; i < cp932.size();) {
        std::size_t length =
            IsCp932LeadByte(static_cast<unsigned char>(cp932[i])) && i + 1 < cp932.size() ? 2 : 1;
        if (text.size() + length <= c->limit) {
            text += cp932.substr(i, length);
            taken += length;
        }
        i += length;
    }
    DialogEditChanged(r->focus, text);
    return taken;
}

void PressEnter(HWND dialog) { DialogDefaultButton(dialog); }
void PressEscape(HWND dialog) { DialogCancel(dialog); }
bool PressArrow(HWND dialog, bool forward) { return DialogArrowKey(dialog, forward); }
bool PressTab(HWND dialog, bool forward) { return DialogTabKey(dialog, forward); }

bool DialogEnded(HWND dialog) {
    const DialogRecord* r = DialogOf(dialog);
    return r && r->ended;
}

INT_PTR DialogResult(HWND dialog) {
    const DialogRecord* r = DialogOf(dialog);
    return r ? r->result : 0;
}

bool OwnerDisabled(HWND dialog) {
    const DialogRecord* r = DialogOf(dialog);
    return r && IsLiveWindow(r->owner) && (r->owner->style & WS_DISABLED);
}

}  // namespace platform_test
