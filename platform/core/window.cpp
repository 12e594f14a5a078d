// Window manager of the core: classes, windows, the message queue, timers and painting.
#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "internal.h"
#include "keys.h"
#include "resource.h"
#include "platform_test.h"

namespace platform {
namespace {

// Frame metrics of our emulated desktop; SetWindowPos turns outer sizes back into client sizes
// with the same numbers, so the game's size arithmetic gives the exact client area it asks for.
constexpr int kFrame = 4;
constexpr int kCaption = 19;
constexpr int kMenu = 19;
constexpr BYTE kWhiteIndex = 255;

struct ClassRecord {
    WNDCLASSA wc;
    std::string name;
    std::string menuName;
};

class HeadlessBackend final : public Backend {
public:
    std::function<bool()> idle;
    std::function<int(HWND, const std::string&, const std::string&, UINT)> messageBox;
    std::function<INT_PTR(HWND)> dialog;
    std::vector<platform_test::MessageBoxCall> boxes;
    std::vector<platform_test::HelpCall> help;

    void WaitForEvents() override {
        if (!idle || !idle())
            throw std::logic_error("message loop idle and no test input left");
    }
    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override {
        boxes.push_back({owner, text, caption, type});
        return messageBox ? messageBox(owner, text, caption, type) : IDOK;
    }
    INT_PTR RunDialog(HWND dlg) override {
        if (!dialog) throw std::logic_error("dialog opened and no test handler set");
        return dialog(dlg);
    }
    BOOL Help(HWND, const std::string& file, UINT command) override {
        help.push_back({file, command});
        return TRUE;
    }
};

struct State {
    std::map<std::string, ClassRecord> classes;  // by lower-case name
    std::vector<HWND> windows;                   // live windows, in creation order
    std::vector<HWND> dead;                      // destroyed, kept until Reset so handles stay unique
    std::deque<MSG> posted;
    std::deque<MSG> input;  // mouse and keys: served after the posted messages
    bool quitPosted = false;
    int quitCode = 0;
    HeadlessBackend headless;
    Backend* backend = &headless;
    std::map<const rc::Entry*, HACCEL> accelerators;
    std::map<const rc::Entry*, HICON> icons;
    std::map<const rc::Entry*, HCURSOR> cursors;
    std::optional<int> lastQuitCode;
    DWORD keyModifiers = 0;  // MK_SHIFT / MK_CONTROL / MK_ALT of the last key message taken

    // Handles of resources live as long as the process; freed here so leak checks stay quiet.
    ~State() {
        for (auto& entry : accelerators) delete entry.second;
        for (auto& entry : icons) delete entry.second;
        for (auto& entry : cursors) delete entry.second;
    }
};

State& S() {
    static State state;
    return state;
}

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

HMENU BuildMenu(const rc::MenuItem* items, int count, HWND owner) {
    auto* menu = new HMENU__;
    menu->owner = owner;
    for (int i = 0; i < count; ++i) {
        const rc::MenuItem& src = items[i];
        HMENU__::Item item;
        if (src.text) item.text = src.text;
        item.id = src.id;
        item.flags = src.flags;
        if (src.flags & MF_POPUP) item.popup = BuildMenu(src.children, src.childCount, owner);
        menu->items.push_back(std::move(item));
    }
    return menu;
}

void FreeMenu(HMENU menu) {
    if (!menu) return;
    for (auto& item : menu->items) FreeMenu(item.popup);
    delete menu;
}

HMENU__::Item* FindMenuItem(HMENU menu, UINT id) {
    if (!menu) return nullptr;
    for (auto& item : menu->items) {
        if (item.popup) {
            if (auto* found = FindMenuItem(item.popup, id)) return found;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

RECT ClientRect(HWND hwnd) { return RECT{0, 0, hwnd->framebuffer.width, hwnd->framebuffer.height}; }

void ResizeFramebuffer(HWND hwnd) {
    SIZE client = ClientSizeFor(hwnd, hwnd->width, hwnd->height);
    Surface& fb = hwnd->framebuffer;
    int oldW = fb.width, oldH = fb.height;
    if (client.cx == oldW && client.cy == oldH) return;
    Surface resized;
    resized.Resize(client.cx, client.cy, kWhiteIndex);
    for (int y = 0; y < std::min(oldH, client.cy); ++y)
        std::copy_n(fb.Row(y), std::min(oldW, client.cx), resized.Row(y));
    fb = std::move(resized);
    // Without redraw class styles only the newly exposed strips are invalid.
    if (client.cx > oldW) {
        RECT r{oldW, 0, client.cx, client.cy};
        InvalidateRect(hwnd, &r, TRUE);
    }
    if (client.cy > oldH) {
        RECT r{0, oldH, client.cx, client.cy};
        InvalidateRect(hwnd, &r, TRUE);
    }
    if (!IsEmptyRect(hwnd->updateRect))
        hwnd->updateRect = IntersectRects(hwnd->updateRect, ClientRect(hwnd));
    hwnd->updatePending = !IsEmptyRect(hwnd->updateRect);
}

void FillRect(HWND hwnd, const RECT& rect, BYTE index) {
    RECT r = IntersectRects(rect, ClientRect(hwnd));
    for (int y = r.top; y < r.bottom; ++y)
        std::fill(hwnd->framebuffer.Row(y) + r.left, hwnd->framebuffer.Row(y) + r.right, index);
    if (!IsEmptyRect(r)) FramebufferChanged(hwnd, r);
}

HWND FirstWindowNeedingPaint() {
    for (HWND w : S().windows)
        if (w->updatePending && w->visible) return w;
    return nullptr;
}

bool TakePendingTimer(MSG* msg) {
    for (HWND w : S().windows) {
        for (auto& t : w->timers) {
            if (t.pending) {
                t.pending = false;
                *msg = MSG{w, WM_TIMER, t.id, 0, 0, {0, 0}, 0};
                return true;
            }
        }
    }
    return false;
}

bool TakeFront(std::deque<MSG>& queue, MSG* msg) {
    if (queue.empty()) return false;
    *msg = queue.front();
    queue.pop_front();
    return true;
}

// The next message the loop takes, without waiting, in Windows' order: posted messages, then
// (unless a quit waits) input, a paint, a pending timer. False when none is due. A command that
// a click posts is thus handled before a key pressed in the same moment.
bool TakeNextMessage(MSG* msg) {
    State& s = S();
    if (TakeFront(s.posted, msg) || (!s.quitPosted && TakeFront(s.input, msg))) {
        if (msg->message >= WM_KEYDOWN && msg->message <= WM_SYSKEYUP) s.keyModifiers = msg->lPrivate;
        return true;
    }
    if (s.quitPosted) return false;
    if (HWND w = FirstWindowNeedingPaint()) {
        *msg = MSG{w, WM_PAINT, 0, 0, 0, {0, 0}, 0};
        return true;
    }
    return TakePendingTimer(msg);
}

}  // namespace

void Surface::Resize(int w, int h, BYTE fill) {
    width = std::max(0, w);
    height = std::max(0, h);
    pixels.assign(static_cast<std::size_t>(width) * height, fill);
}

void SetBackend(Backend* backend) { S().backend = backend ? backend : &S().headless; }
Backend& CurrentBackend() { return *S().backend; }

bool IsLiveWindow(HWND hwnd) {
    auto& w = S().windows;
    return hwnd && std::find(w.begin(), w.end(), hwnd) != w.end();
}

SIZE ClientSizeFor(HWND hwnd, int outerWidth, int outerHeight) {
    int menu = hwnd->menu ? kMenu : 0;
    int caption = (hwnd->style & WS_CAPTION) == WS_CAPTION ? kCaption : 0;
    return SIZE{std::max(0, outerWidth - 2 * kFrame),
                std::max(0, outerHeight - caption - menu - 2 * kFrame)};
}

void FramebufferChanged(HWND hwnd, const RECT& rect) {
    if (!IsLiveWindow(hwnd) || IsEmptyRect(rect)) return;
    if (hwnd->paintDepth > 0)
        hwnd->paintDirty = UnionRects(hwnd->paintDirty, rect);
    else
        S().backend->Present(hwnd, rect);
}

void TimerElapsed(HWND hwnd, UINT_PTR id) {
    if (!IsLiveWindow(hwnd)) return;
    for (auto& t : hwnd->timers)
        if (t.id == id) t.pending = true;
}

void QueueInput(const MSG& msg) { S().input.push_back(msg); }

int DispatchQueued(HWND disabled) {
    int count = 0;
    MSG msg;
    while (TakeNextMessage(&msg)) {
        // A window disabled under a modal dialog gets no mouse or keyboard input.
        bool input = (msg.message >= WM_KEYDOWN && msg.message <= WM_SYSKEYUP) ||
                     (msg.message >= WM_MOUSEMOVE && msg.message <= WM_MBUTTONUP);
        if (input && msg.hwnd == disabled) continue;
        DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

bool NamesHelpBook(const std::string& cp932File, const std::string& book) {
    // Converted first, since a double-byte character may end in the byte of a backslash.
    const std::string path = Cp932ToUtf8(cp932File);
    const std::string name = path.substr(path.find_last_of("/\\") + 1);
    return Lower(name) == Lower(book);
}

void BroadcastPaletteChanged(HWND by) {
    std::vector<HWND> windows = S().windows;
    for (HWND w : windows)
        if (IsLiveWindow(w) && !w->parent && w != by)
            SendMessageA(w, WM_PALETTECHANGED, reinterpret_cast<WPARAM>(by), 0);
}

}  // namespace platform

using namespace platform;

ATOM RegisterClassA(const WNDCLASSA* wc) {
    if (!wc || !wc->lpfnWndProc || !wc->lpszClassName) return 0;
    std::string key = Lower(wc->lpszClassName);
    if (S().classes.count(key)) return 0;
    ClassRecord rec{*wc, wc->lpszClassName, wc->lpszMenuName ? wc->lpszMenuName : ""};
    rec.wc.lpszClassName = nullptr;
    rec.wc.lpszMenuName = nullptr;
    S().classes.emplace(key, std::move(rec));
    return static_cast<ATOM>(0xC000 + S().classes.size());
}

UINT RegisterWindowMessageA(LPCSTR name) {
    if (!name || !name[0]) return 0;
    static std::map<std::string, UINT> messages;
    const auto [it, added] = messages.emplace(Lower(name), 0);
    if (added) it->second = static_cast<UINT>(0xC000 + messages.size() - 1);
    return it->second;
}

HWND CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE, LPVOID) {
    if (!className) return nullptr;
    auto it = S().classes.find(Lower(className));
    if (it == S().classes.end()) return nullptr;
    const ClassRecord& cls = it->second;

    auto* hwnd = new HWND__;
    hwnd->proc = cls.wc.lpfnWndProc;
    hwnd->className = cls.name;
    hwnd->text = windowName ? windowName : "";
    hwnd->style = style;
    hwnd->parent = parent;
    hwnd->background = cls.wc.hbrBackground;
    hwnd->icon = cls.wc.hIcon;
    hwnd->cursor = cls.wc.hCursor;
    hwnd->x = x == CW_USEDEFAULT ? 64 : x;
    hwnd->y = y == CW_USEDEFAULT ? 64 : y;
    hwnd->width = width == CW_USEDEFAULT ? 640 : width;
    hwnd->height = height == CW_USEDEFAULT ? 480 : height;
    if (menu) {
        hwnd->menu = menu;
    } else if (!cls.menuName.empty()) {
        if (const rc::Entry* e = FindEntry(cls.menuName.c_str(), RT_MENU))
            if (e->kind == rc::Kind::Menu) {
                auto* m = static_cast<const rc::Menu*>(e->structured);
                hwnd->menu = BuildMenu(m->items, m->count, hwnd);
            }
    }
    if (hwnd->menu) hwnd->menu->owner = hwnd;
    S().windows.push_back(hwnd);
    ResizeFramebuffer(hwnd);
    hwnd->updatePending = false;
    hwnd->updateRect = RECT{0, 0, 0, 0};

    if (SendMessageA(hwnd, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(hwnd);
        return nullptr;
    }
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL ShowWindow(HWND hwnd, int cmdShow) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    BOOL wasVisible = hwnd->visible;
    if (cmdShow == SW_HIDE) {
        hwnd->visible = false;
        return wasVisible;
    }
    hwnd->visible = true;
    if (!wasVisible) {
        InvalidateRect(hwnd, nullptr, TRUE);
        S().backend->WindowShown(hwnd);
    }
    return wasVisible;
}

BOOL UpdateWindow(HWND hwnd) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    if (hwnd->updatePending && hwnd->visible) SendMessageA(hwnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsLiveWindow(hwnd) || hwnd->destroyed) return FALSE;
    hwnd->destroyed = true;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    for (const auto& t : hwnd->timers) S().backend->TimerStopped(hwnd, t.id);
    hwnd->timers.clear();
    auto& w = S().windows;
    w.erase(std::remove(w.begin(), w.end(), hwnd), w.end());
    for (std::deque<MSG>* q : {&S().posted, &S().input})
        q->erase(std::remove_if(q->begin(), q->end(), [&](const MSG& m) { return m.hwnd == hwnd; }),
                 q->end());
    S().backend->WindowDestroyed(hwnd);
    S().dead.push_back(hwnd);
    return TRUE;
}

BOOL SetWindowTextA(HWND hwnd, LPCSTR text) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    hwnd->text = text ? text : "";
    S().backend->WindowTextChanged(hwnd);
    return TRUE;
}

std::string platform::AccessibleChildText(HWND hwnd, LONG child) {
    char text[512] = "";
    const LRESULT length = SendMessageA(hwnd, WM_ACC_CHILDTEXT, MAKEWPARAM(child, sizeof text),
                                        reinterpret_cast<LPARAM>(text));
    return length > 0 && length < static_cast<LRESULT>(sizeof text) ? std::string(text, length) : std::string();
}

int platform::AccessibleBoardSide(HWND hwnd) { return static_cast<int>(SendMessageA(hwnd, WM_ACC_BOARDSIDE, 0, 0)); }

void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild) {
    if (IsLiveWindow(hwnd) && idObject == OBJID_CLIENT)
        S().backend->AccessibleEvent(hwnd, event, idChild);
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    if (!(flags & SWP_NOMOVE)) {
        hwnd->x = x;
        hwnd->y = y;
    }
    if (!(flags & SWP_NOSIZE)) {
        hwnd->width = std::max(0, cx);
        hwnd->height = std::max(0, cy);
        ResizeFramebuffer(hwnd);
    }
    S().backend->WindowGeometryChanged(hwnd);
    return TRUE;
}

BOOL GetClientRect(HWND hwnd, RECT* rect) {
    if (!IsLiveWindow(hwnd) || !rect) return FALSE;
    *rect = ClientRect(hwnd);
    return TRUE;
}

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXFRAME:
        case SM_CYFRAME: return kFrame;
        case SM_CYCAPTION: return kCaption;
        case SM_CYMENU: return kMenu;
        case SM_CXSCREEN: return 1920;
        case SM_CYSCREEN: return 1080;
        default: return 0;
    }
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(hwnd, &ps);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_ERASEBKGND: {
            if (!IsLiveWindow(hwnd) || !hwnd->background) return 0;
            FillRect(hwnd, hwnd->updateRect, hwnd->background->index);
            return 1;
        }
        default:
            return 0;
    }
}

SHORT GetKeyState(int vk) {
    DWORD bit = vk == static_cast<int>(VK_SHIFT)     ? MK_SHIFT
                : vk == static_cast<int>(VK_CONTROL) ? MK_CONTROL
                : vk == static_cast<int>(VK_MENU)    ? MK_ALT
                                                     : 0;
    return (S().keyModifiers & bit) ? static_cast<SHORT>(0x8000) : SHORT{0};
}

BOOL GetMessageA(MSG* msg, HWND, UINT, UINT) {
    State& s = S();
    for (;;) {
        if (TakeNextMessage(msg)) return TRUE;
        if (s.quitPosted) {
            s.quitPosted = false;
            *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0, 0, {0, 0}, 0};
            return FALSE;
        }
        s.backend->WaitForEvents();
    }
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !IsLiveWindow(msg->hwnd)) return 0;
    HWND hwnd = msg->hwnd;
    if (msg->message == WM_TIMER) {
        // A timer killed after its message was taken is not delivered, as on Windows.
        bool running = std::any_of(hwnd->timers.begin(), hwnd->timers.end(),
                                   [&](const HWND__::Timer& t) { return t.id == msg->wParam; });
        if (!running) return 0;
    }
    LRESULT r = hwnd->proc(hwnd, msg->message, msg->wParam, msg->lParam);
    // A WM_PAINT whose handler did not validate would come back at once; Windows validates
    // only through BeginPaint, and so do we, but an unhandled paint must not spin the loop.
    if (msg->message == WM_PAINT && IsLiveWindow(hwnd) && hwnd->updatePending) {
        hwnd->updatePending = false;
        hwnd->updateRect = RECT{0, 0, 0, 0};
    }
    return r;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!hwnd || (!IsLiveWindow(hwnd) && !(msg == WM_DESTROY && hwnd->destroyed))) return 0;
    return hwnd->proc ? hwnd->proc(hwnd, msg, wParam, lParam) : 0;
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !IsLiveWindow(hwnd)) return FALSE;
    S().posted.push_back(MSG{hwnd, msg, wParam, lParam, 0, {0, 0}, 0});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    S().quitPosted = true;
    S().quitCode = exitCode;
    S().lastQuitCode = exitCode;
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void*) {
    if (!IsLiveWindow(hwnd)) return 0;
    elapseMs = std::max<UINT>(elapseMs, 10);  // Windows raises smaller periods to USER_TIMER_MINIMUM
    auto it = std::find_if(hwnd->timers.begin(), hwnd->timers.end(),
                           [&](const HWND__::Timer& t) { return t.id == id; });
    if (it != hwnd->timers.end()) {
        it->periodMs = elapseMs;
        it->pending = false;
    } else {
        hwnd->timers.push_back({id, elapseMs, false});
    }
    S().backend->TimerStarted(hwnd, id, elapseMs);
    return id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    auto it = std::find_if(hwnd->timers.begin(), hwnd->timers.end(),
                           [&](const HWND__::Timer& t) { return t.id == id; });
    if (it == hwnd->timers.end()) return FALSE;
    hwnd->timers.erase(it);
    S().backend->TimerStopped(hwnd, id);
    return TRUE;
}

BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    if (!IsLiveWindow(hwnd)) return FALSE;
    RECT r = rect ? IntersectRects(*rect, ClientRect(hwnd)) : ClientRect(hwnd);
    if (IsEmptyRect(r)) return TRUE;
    hwnd->updateRect = UnionRects(hwnd->updateRect, r);
    hwnd->updatePending = true;
    if (erase) hwnd->eraseBackground = true;
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    if (!IsLiveWindow(hwnd) || !ps) return nullptr;
    *ps = PAINTSTRUCT{};
    auto* dc = new HDC__;
    dc->kind = HDC__::Kind::Window;
    dc->window = hwnd;
    dc->painting = true;
    hwnd->paintDepth++;
    ps->hdc = dc;
    ps->rcPaint = hwnd->updateRect;
    if (hwnd->eraseBackground) {
        hwnd->eraseBackground = false;
        ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE
                                                                                          : TRUE;
    }
    hwnd->updatePending = false;
    hwnd->updateRect = RECT{0, 0, 0, 0};
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps || !ps->hdc) return FALSE;
    if (IsLiveWindow(hwnd)) {
        if (hwnd->paintDepth > 0 && --hwnd->paintDepth == 0 && !IsEmptyRect(hwnd->paintDirty)) {
            RECT dirty = hwnd->paintDirty;
            hwnd->paintDirty = RECT{0, 0, 0, 0};
            S().backend->Present(hwnd, dirty);
        }
    }
    DeleteDC(ps->hdc);
    return TRUE;
}

HDC GetDC(HWND hwnd) {
    if (!IsLiveWindow(hwnd)) return nullptr;
    auto* dc = new HDC__;
    dc->kind = HDC__::Kind::Window;
    dc->window = hwnd;
    return dc;
}

int ReleaseDC(HWND, HDC dc) {
    if (!dc || dc->kind != HDC__::Kind::Window) return 0;
    return DeleteDC(dc) ? 1 : 0;
}

HMENU GetMenu(HWND hwnd) { return IsLiveWindow(hwnd) ? hwnd->menu : nullptr; }

BOOL EnableMenuItem(HMENU menu, UINT idOrPos, UINT flags) {
    constexpr UINT kByPosition = 0x0400;
    HMENU__::Item* item = nullptr;
    if (flags & kByPosition) {
        if (menu && idOrPos < menu->items.size()) item = &menu->items[idOrPos];
    } else {
        item = FindMenuItem(menu, idOrPos);
    }
    if (!item) return -1;
    UINT previous = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    S().backend->MenuChanged(menu);
    return static_cast<BOOL>(previous);
}

HACCEL LoadAcceleratorsA(HINSTANCE, LPCSTR name) {
    const rc::Entry* e = FindEntry(name, RT_ACCELERATOR);
    if (!e || e->kind != rc::Kind::Accelerators) return nullptr;
    HACCEL& a = S().accelerators[e];
    if (!a) {
        a = new HACCEL__;
        a->table = static_cast<const rc::AcceleratorTable*>(e->structured);
    }
    return a;
}

int TranslateAcceleratorA(HWND hwnd, HACCEL accel, const MSG* msg) {
    if (!accel || !msg || !IsLiveWindow(hwnd)) return 0;
    if (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN) return 0;
    for (int i = 0; i < accel->table->count; ++i) {
        const rc::Accelerator& a = accel->table->entries[i];
        if (!(a.flags & FVIRTKEY) || a.key != msg->wParam) continue;
        bool ctrl = msg->lPrivate & MK_CONTROL, shift = msg->lPrivate & MK_SHIFT,
             alt = msg->lPrivate & MK_ALT;
        if (ctrl != bool(a.flags & FCONTROL) || shift != bool(a.flags & FSHIFT) ||
            alt != bool(a.flags & FALT))
            continue;
        // A greyed or disabled menu item swallows its accelerator without a command.
        if (const HMENU__::Item* item = FindMenuItem(hwnd->menu, a.command))
            if (item->flags & (MF_GRAYED | MF_DISABLED)) return 1;
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(a.command, 1), 0);
        return 1;
    }
    return 0;
}

std::vector<AcceleratorKey> platform::LoadedAcceleratorKeys() {
    std::vector<AcceleratorKey> keys;
    for (const auto& [entry, accel] : S().accelerators)
        for (int i = 0; i < accel->table->count; ++i) {
            const rc::Accelerator& a = accel->table->entries[i];
            if (a.flags & FVIRTKEY)
                keys.push_back(AcceleratorKey{a.key, KeyModifiers(a.key, a.flags & FSHIFT, a.flags & FCONTROL,
                                                                  a.flags & FALT)});
        }
    return keys;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) {
    const rc::Entry* e = FindEntry(name, RT_ICON);
    if (!e) return nullptr;
    HICON& icon = S().icons[e];
    if (!icon) icon = new HICON__{e};
    return icon;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) {
    const rc::Entry* e = FindEntry(name, RT_CURSOR);
    if (!e) return nullptr;
    HCURSOR& cursor = S().cursors[e];
    if (!cursor) cursor = new HCURSOR__{e};
    return cursor;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return S().backend->MessageBox(owner, text ? text : "", caption ? caption : "", type);
}

BOOL WinHelpA(HWND hwnd, LPCSTR helpFile, UINT command, ULONG_PTR) {
    return S().backend->Help(hwnd, helpFile ? helpFile : "", command);
}

// Test hooks.
namespace platform_test {

void Reset() {
    State& s = S();
    std::vector<HWND> windows = s.windows;
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        HWND w = *it;
        for (const auto& t : w->timers) s.backend->TimerStopped(w, t.id);
        w->timers.clear();
        s.backend->WindowDestroyed(w);
    }
    for (HWND w : windows) s.dead.push_back(w);
    s.windows.clear();
    for (HWND w : s.dead) {
        if (w->menu && w->menu->owner == w) FreeMenu(w->menu);
        delete w;
    }
    s.dead.clear();
    s.classes.clear();
    s.posted.clear();
    s.input.clear();
    s.quitPosted = false;
    s.quitCode = 0;
    s.keyModifiers = 0;
    s.lastQuitCode.reset();
    s.headless.idle = nullptr;
    s.headless.messageBox = nullptr;
    s.headless.dialog = nullptr;
    s.headless.boxes.clear();
    s.headless.help.clear();
    s.backend = &s.headless;
    SetCalendarTime(std::nullopt);
}

std::vector<TimerState> Timers(HWND hwnd) {
    std::vector<TimerState> out;
    if (IsLiveWindow(hwnd))
        for (const auto& t : hwnd->timers) out.push_back({t.id, t.periodMs});
    std::sort(out.begin(), out.end(),
              [](const TimerState& a, const TimerState& b) { return a.id < b.id; });
    return out;
}

bool TimerRunning(HWND hwnd, UINT_PTR id) {
    for (const auto& t : Timers(hwnd))
        if (t.id == id) return true;
    return false;
}

void ElapseTimer(HWND hwnd, UINT_PTR id) { TimerElapsed(hwnd, id); }

LRESULT FireTimer(HWND hwnd, UINT_PTR id) {
    MSG msg{hwnd, WM_TIMER, id, 0, 0, {0, 0}, 0};
    return DispatchMessageA(&msg);
}

int PumpMessages(HACCEL accel) {
    int count = 0;
    MSG msg;
    while (TakeNextMessage(&msg)) {
        if (!accel || !msg.hwnd || !TranslateAcceleratorA(msg.hwnd, accel, &msg))
            DispatchMessageA(&msg);
        ++count;
    }
    return count;
}

void KeyDown(HWND hwnd, WPARAM vk, DWORD modifiers) {
    QueueInput(MSG{hwnd, (modifiers & MK_ALT) ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 0, 0, {0, 0},
                   modifiers});
}

UINT MenuItemState(HWND hwnd, UINT id) {
    const HMENU__::Item* item = IsLiveWindow(hwnd) ? FindMenuItem(hwnd->menu, id) : nullptr;
    return item ? item->flags & (MF_GRAYED | MF_DISABLED) : 0xFFFFFFFFu;
}

SIZE ClientSize(HWND hwnd) {
    if (!IsLiveWindow(hwnd)) return SIZE{0, 0};
    return SIZE{hwnd->framebuffer.width, hwnd->framebuffer.height};
}

SIZE WindowSize(HWND hwnd) {
    if (!IsLiveWindow(hwnd)) return SIZE{0, 0};
    return SIZE{hwnd->width, hwnd->height};
}

bool IsInvalid(HWND hwnd) { return IsLiveWindow(hwnd) && hwnd->updatePending; }

const BYTE* Framebuffer(HWND hwnd, int* width, int* height) {
    if (!IsLiveWindow(hwnd)) return nullptr;
    if (width) *width = hwnd->framebuffer.width;
    if (height) *height = hwnd->framebuffer.height;
    return hwnd->framebuffer.pixels.data();
}

std::optional<int> QuitCode() { return S().lastQuitCode; }

HWND FindWindowByClass(const char* className) {
    for (HWND w : S().windows)
        if (Lower(w->className) == Lower(className)) return w;
    return nullptr;
}

std::string WindowText(HWND hwnd) { return IsLiveWindow(hwnd) ? hwnd->text : std::string(); }

void SetIdleHandler(std::function<bool()> handler) { S().headless.idle = std::move(handler); }

void SetMessageBoxHandler(
    std::function<int(HWND, const std::string&, const std::string&, UINT)> handler) {
    S().headless.messageBox = std::move(handler);
}

void SetDialogHandler(std::function<INT_PTR(HWND)> handler) {
    S().headless.dialog = std::move(handler);
}

std::vector<MessageBoxCall> MessageBoxes() { return S().headless.boxes; }
std::vector<HelpCall> HelpCalls() { return S().headless.help; }

}  // namespace platform_test
