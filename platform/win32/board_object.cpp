// The main window's client area for a screen reader (Microsoft Active Accessibility): the board's
// cells row by row as simple children, then the announcements, named by the game's own texts.
#include "board_object.h"

#include "accessible_object.h"
#include "resource.h"

namespace {

constexpr int kCell = 16;  // a cell's side in client pixels

LONG focusedChild = CHILDID_SELF;  // the child that the game's last focus event named

class BoardObject final : public AccessibleObject {
public:
    explicit BoardObject(HWND window) : window_(window) {}
    void Disconnect() { window_ = nullptr; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!window_) return CO_E_OBJNOTCONNECTED;
        return CreateStdAccessibleObject(window_, OBJID_WINDOW, IID_IDispatch,
                                         reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        if (!window_) return CO_E_OBJNOTCONNECTED;
        *count = ChildCount();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!window_) return CO_E_OBJNOTCONNECTED;
        // Every child is a simple element, answered by this object with its id.
        return Valid(child) ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!name) return E_POINTER;
        *name = nullptr;
        if (const HRESULT reached = Reach(child); reached != S_OK) return reached;
        return AnswerText(AskedChildText(window_, child.lVal), name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return None(value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return None(text); }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        VariantInit(role);
        if (const HRESULT reached = Reach(child); reached != S_OK) return reached;
        role->vt = VT_I4;
        if (child.lVal == CHILDID_SELF)
            role->lVal = Side() ? ROLE_SYSTEM_TABLE : ROLE_SYSTEM_CLIENT;
        else
            role->lVal = IsCell(child.lVal) ? ROLE_SYSTEM_CELL : ROLE_SYSTEM_ALERT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        VariantInit(state);
        if (const HRESULT reached = Reach(child); reached != S_OK) return reached;
        state->vt = VT_I4;
        state->lVal = 0;
        if (child.lVal == CHILDID_SELF || IsCell(child.lVal)) {
            state->lVal = STATE_SYSTEM_FOCUSABLE;
            if (HasFocus() && Focused() == child.lVal) state->lVal |= STATE_SYSTEM_FOCUSED;
        } else {
            state->lVal = STATE_SYSTEM_READONLY;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return None(help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (topic) *topic = 0;
        return None(file);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* keys) override { return None(keys); }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        VariantInit(focus);
        if (!window_) return CO_E_OBJNOTCONNECTED;
        if (!HasFocus()) return S_FALSE;
        focus->vt = VT_I4;
        focus->lVal = Focused();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        VariantInit(selection);
        return window_ ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* action) override { return None(action); }
    HRESULT STDMETHODCALLTYPE accSelect(LONG, VARIANT) override {
        return window_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* x, LONG* y, LONG* w, LONG* h, VARIANT child) override {
        if (!x || !y || !w || !h) return E_POINTER;
        *x = *y = *w = *h = 0;
        if (const HRESULT reached = Reach(child); reached != S_OK) return reached;
        RECT r;
        GetClientRect(window_, &r);
        if (IsCell(child.lVal)) {
            const int side = Side(), margin = r.right / kCell - side;
            const int col = (child.lVal - 1) % side, row = (child.lVal - 1) / side;
            r = RECT{(margin + col) * kCell, (margin + row) * kCell, 0, 0};
            r.right = r.left + kCell;
            r.bottom = r.top + kCell;
        }
        MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
        *x = r.left;
        *y = r.top;
        *w = r.right - r.left;
        *h = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        VariantInit(end);
        if (!window_) return CO_E_OBJNOTCONNECTED;
        if (!Valid(start)) return E_INVALIDARG;
        const LONG from = start.lVal, side = Side(), child = from - 1;
        const bool cell = IsCell(from), self = from == CHILDID_SELF;
        LONG to = 0;
        switch (direction) {
            case NAVDIR_FIRSTCHILD: to = self ? 1 : 0; break;
            case NAVDIR_LASTCHILD: to = self ? ChildCount() : 0; break;
            case NAVDIR_NEXT: to = !self && from < ChildCount() ? from + 1 : 0; break;
            case NAVDIR_PREVIOUS: to = from > 1 ? from - 1 : 0; break;
            // Across the board as the arrow keys move.
            case NAVDIR_UP: to = cell && child >= side ? from - side : 0; break;
            case NAVDIR_DOWN: to = cell && child < side * (side - 1) ? from + side : 0; break;
            case NAVDIR_LEFT: to = cell && child % side > 0 ? from - 1 : 0; break;
            case NAVDIR_RIGHT: to = cell && child % side < side - 1 ? from + 1 : 0; break;
            default: return DISP_E_MEMBERNOTFOUND;
        }
        if (to == 0) return S_FALSE;
        end->vt = VT_I4;
        end->lVal = to;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        VariantInit(at);
        if (!window_) return CO_E_OBJNOTCONNECTED;
        POINT p{x, y};
        ScreenToClient(window_, &p);
        RECT r;
        GetClientRect(window_, &r);
        if (!PtInRect(&r, p)) return S_FALSE;
        const int side = Side(), margin = r.right / kCell - side;
        const int col = p.x / kCell - margin, row = p.y / kCell - margin;
        at->vt = VT_I4;
        const bool onBoard = side && col >= 0 && row >= 0 && col < side && row < side;
        at->lVal = onBoard ? 1 + row * side + col : CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override {
        return window_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    int Side() const { return static_cast<int>(SendMessageA(window_, WM_ACC_BOARDSIDE, 0, 0)); }
    LONG ChildCount() const { return Side() * Side() + 1; }
    bool Valid(const VARIANT& child) const {
        return child.vt == VT_I4 && child.lVal >= CHILDID_SELF && child.lVal <= ChildCount();
    }
    // S_OK when the board is still there and child is one of its ids, else the error to answer.
    HRESULT Reach(const VARIANT& child) const {
        if (!window_) return CO_E_OBJNOTCONNECTED;
        return Valid(child) ? S_OK : E_INVALIDARG;
    }
    bool IsCell(LONG child) const { return child >= 1 && child <= Side() * Side(); }
    bool HasFocus() const { return GetFocus() == window_; }
    // A focus event for a cell of a board that is gone leaves the attention on the window.
    LONG Focused() const { return IsCell(focusedChild) ? focusedChild : CHILDID_SELF; }
    HRESULT None(BSTR* out) const {
        if (out) *out = nullptr;
        return window_ ? DISP_E_MEMBERNOTFOUND : CO_E_OBJNOTCONNECTED;
    }

    HWND window_;
};

BoardObject* board = nullptr;
bool boardGone = false;

}  // namespace

LRESULT AnswerBoardObject(HWND window, WPARAM wParam) {
    if (boardGone) return 0;
    StartReaderCom();
    if (!board) board = new BoardObject(window);
    return LresultFromObject(IID_IAccessible, wParam, board);
}

void DisconnectBoardObject() {
    boardGone = true;
    if (!board) return;
    board->Disconnect();
    // Readers in other processes hold proxies: they get an error, never a call into the gone board.
    CoDisconnectObject(board, 0);
    board->Release();
    board = nullptr;
}

void NoteReaderFocus(LONG child) { focusedChild = child; }
