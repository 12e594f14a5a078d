// The page's backend: the game's loop waits on the page's events, and its window, menu, boxes
// and help are page elements.
#include "page_backend.h"

#include <algorithm>
#include <string_view>

#include "../core/dialog_internal.h"
#include "../core/keys.h"
#include "page.h"
#include "page_texts.h"
#include "records_import.h"
#include "storage.h"

namespace platform::web {
namespace {

bool Greyed(const HMENU__::Item& item) { return item.flags & (MF_GRAYED | MF_DISABLED); }

std::string MenuJson(HMENU menu) {
    std::string json = "[";
    for (const HMENU__::Item& item : menu->items) {
        if (json.size() > 1) json += ',';
        if (item.flags & MF_SEPARATOR) {
            json += "{\"separator\":true}";
        } else if (item.popup) {
            json += "{\"text\":" + JsonString(Cp932ToUtf8(Utf16ToCp932(item.text))) + ",\"items\":" +
                    MenuJson(item.popup) + "}";
        } else {
            json += "{\"text\":" + JsonString(Cp932ToUtf8(Utf16ToCp932(item.text))) +
                    ",\"id\":" + std::to_string(item.id) +
                    ",\"greyed\":" + (Greyed(item) ? "true" : "false") + "}";
        }
    }
    return json + "]";
}

void SyncMenu(HMENU menu) {
    for (const HMENU__::Item& item : menu->items) {
        if (item.popup)
            SyncMenu(item.popup);
        else if (!(item.flags & MF_SEPARATOR))
            zum_menu_greyed(static_cast<int>(item.id), Greyed(item));
    }
}

// A key by the names the page's keyboard event gives it, "key\tcode": the key's own name, or for
// a letter or digit that the layout or Alt turned into another character, its place's.
WPARAM PageVirtualKey(const std::string& names) {
    const std::size_t tab = names.find('\t');
    const std::string_view key = std::string_view(names).substr(0, tab);
    const std::string_view code =
        tab == std::string::npos ? std::string_view() : std::string_view(names).substr(tab + 1);
    if (const WPARAM vk = VirtualKeyNamed(key)) return vk;
    if (code.size() == 4 && code.substr(0, 3) == "Key") return VirtualKeyNamed(code.substr(3));
    if (code.size() == 6 && code.substr(0, 5) == "Digit") return VirtualKeyNamed(code.substr(5));
    return 0;
}

// The message of a press (action 1), a release (2) or a move (0) by the web's button number.
UINT MouseMessage(int action, int button) {
    static constexpr UINT kDown[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    static constexpr UINT kUp[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
    if (action == 0) return WM_MOUSEMOVE;
    if (button < 0 || button > 2) return 0;
    return action == 1 ? kDown[button] : kUp[button];
}

// The game's pixel at offset (in 1/64 CSS pixel) into a box of extent showing pixels of it.
int PixelAt(int offset, int extent, int pixels) {
    if (extent <= 0) return 0;
    const long long scaled = static_cast<long long>(offset) * pixels;
    return static_cast<int>(scaled >= 0 ? scaled / extent : -((-scaled + extent - 1) / extent));
}

// The client point of an event's place: e[3], e[4] into the canvas's box of e[5] x e[6].
POINT ClientPoint(HWND hwnd, const int* e) {
    return POINT{PixelAt(e[3], e[5], hwnd->framebuffer.width), PixelAt(e[4], e[6], hwnd->framebuffer.height)};
}

void QueueClientMouse(HWND hwnd, UINT message, WPARAM keys, POINT at, DWORD time) {
    // Client coordinates are 16-bit each; left of or above the client they wrap.
    const LPARAM place = MAKELPARAM(static_cast<WORD>(static_cast<short>(at.x)),
                                    static_cast<WORD>(static_cast<short>(at.y)));
    QueueInput(MSG{hwnd, message, keys, place, time, at, 0});
}

// How far, in 1/64 CSS pixel, a finger moves before it drags rather than taps or holds.
constexpr long long kDragSlop = 10 * 64;

}  // namespace

std::string JsonString(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

void PageBackend::WaitForEvents() {
    ForgetLoadedFiles();
    SyncAccelerators();
    if (TakeEvents() > 0) return;
    zum_wait_event();
    TakeEvents();
}

// The page keeps the browser's own meaning from the keys of the game's accelerators.
void PageBackend::SyncAccelerators() {
    std::vector<AcceleratorKey> keys = LoadedAcceleratorKeys();
    if (keys.size() == acceleratorCount_) return;
    acceleratorCount_ = keys.size();
    std::string json = "[";
    for (const AcceleratorKey& key : keys) {
        const bool named = (key.vk >= 'A' && key.vk <= 'Z') || (key.vk >= '0' && key.vk <= '9');
        if (!named) continue;
        if (json.size() > 1) json += ',';
        const int mods = ((key.modifiers & MK_SHIFT) ? 1 : 0) | ((key.modifiers & MK_CONTROL) ? 2 : 0) |
                         ((key.modifiers & MK_ALT) ? 4 : 0);
        json += "[" + JsonString(std::string(1, static_cast<char>(key.vk))) + "," + std::to_string(mods) + "]";
    }
    zum_accelerators((json + "]").c_str());
}

int PageBackend::TakeEvents() {
    int count = 0;
    int event[8];
    while (int kind = zum_take_event(event)) {
        Apply(kind, event);
        ++count;
    }
    return count;
}

void PageBackend::Apply(int kind, const int* e) {
    auto window = [](int id) {
        HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(static_cast<unsigned>(id)));
        return IsLiveWindow(hwnd) ? hwnd : nullptr;
    };
    switch (kind) {
        case kMouse:
            if (HWND hwnd = window(e[1])) QueueMouse(hwnd, e);
            break;
        case kKey:
            if (HWND hwnd = window(e[1])) {
                char names[64] = "";
                zum_event_text(names, sizeof names);
                if (const WPARAM vk = PageVirtualKey(names))
                    QueueKey(hwnd, vk, e[2] != 0, KeyModifiers(vk, e[3] & 1, e[3] & 2, e[3] & 4),
                             static_cast<DWORD>(e[4]));
            }
            break;
        case kTimer:
            if (HWND hwnd = window(e[1])) TimerElapsed(hwnd, static_cast<UINT_PTR>(e[2]));
            break;
        case kCommand:
            if (HWND hwnd = window(e[1]))
                PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(e[2]), 0), 0);
            break;
        case kBoxClosed:
            closedBoxes_.insert(e[1]);
            break;
        case kDialog: {
            HWND dialog = window(e[1]);
            // Only the innermost dialog takes actions; a box over it holds them off.
            if (!dialog || modals_.empty() || modals_.back().dialog != dialog) break;
            char text[256] = "";
            if (e[2] == kEditChanged) zum_event_text(text, sizeof text);
            ApplyDialogAction(dialog, e[2], e[3], text);
            break;
        }
        case kRecordsOffered:
            TakeOfferedRecords(shown_);
            break;
        case kTouch:
            if (HWND hwnd = window(e[1])) ApplyTouch(hwnd, e);
            break;
        case kPageFailure:
            if (e[1] == kRecordsUnreadable)
                RefuseUnreadableRecords(shown_);
            else if (shown_)
                MessageBoxA(shown_,
                            Utf8ToCp932(Text(e[1] == kRecordsNotSaved ? PageText::kRecordsNotSaved
                                                                      : PageText::kOfflineRefused))
                                .c_str(),
                            Utf8ToCp932(Text(PageText::kBoxCaption)).c_str(), MB_OK | MB_ICONSTOP);
            break;
        default:
            break;
    }
}

// e: hwnd, action | button << 2 | buttons << 4 | Shift 0x100 | Control 0x200, the place and the
// canvas's box in 1/64 CSS pixel, the time.
void PageBackend::QueueMouse(HWND hwnd, const int* e) {
    const int flags = e[2];
    const UINT message = MouseMessage(flags & 3, (flags >> 2) & 3);
    if (!message) return;
    const int buttons = flags >> 4;
    const WPARAM keys = ((buttons & 1) ? MK_LBUTTON : 0) | ((buttons & 2) ? MK_RBUTTON : 0) |
                        ((buttons & 4) ? MK_MBUTTON : 0) | ((flags & 0x100) ? MK_SHIFT : 0) |
                        ((flags & 0x200) ? MK_CONTROL : 0);
    QueueClientMouse(hwnd, message, keys, ClientPoint(hwnd, e), static_cast<DWORD>(e[7]));
}

// e: hwnd, TouchAction, the place and the canvas's box in 1/64 CSS pixel, the time. One finger is
// the mouse: a tap clicks the left button where it came down, a long press clicks the right one
// there, and a finger that moves first holds the left button down as it goes.
void PageBackend::ApplyTouch(HWND hwnd, const int* e) {
    const POINT at = ClientPoint(hwnd, e);
    const DWORD time = static_cast<DWORD>(e[7]);
    Finger& f = finger_;
    switch (e[2]) {
        case kTouchStart:
            f = Finger{Finger::kPending, e[3], e[4], at, at};
            break;
        case kTouchMove: {
            const long long dx = e[3] - f.downX, dy = e[4] - f.downY;
            if (f.phase == Finger::kPending && dx * dx + dy * dy > kDragSlop * kDragSlop) {
                QueueClientMouse(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, f.down, time);
                f.phase = Finger::kDragging;
            }
            if (f.phase == Finger::kDragging) QueueClientMouse(hwnd, WM_MOUSEMOVE, MK_LBUTTON, at, time);
            f.last = at;
            break;
        }
        case kTouchHeld:
            if (f.phase != Finger::kPending) break;
            QueueClientMouse(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, f.down, time);
            QueueClientMouse(hwnd, WM_RBUTTONUP, 0, f.down, time);
            f.phase = Finger::kHeld;
            zum_touch_held();
            break;
        case kTouchEnd:
        case kTouchCancel:
            if (f.phase == Finger::kPending && e[2] == kTouchEnd) {
                QueueClientMouse(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, f.down, time);
                QueueClientMouse(hwnd, WM_LBUTTONUP, 0, f.down, time);
            } else if (f.phase == Finger::kDragging) {
                QueueClientMouse(hwnd, WM_LBUTTONUP, 0, e[2] == kTouchEnd ? at : f.last, time);
            }
            f.phase = Finger::kNone;
            break;
        default:
            break;
    }
}

// The page learns where the clue band ends, as the Qt window's board does: the board's cells are
// 16 pixels and the band fills the rest of the square picture.
void PageBackend::SyncBoardLayout() {
    constexpr int kCell = 16;
    const int side = shown_ ? AccessibleBoardSide(shown_) : 0;
    const int band = side > 0 ? std::max(0, shown_->framebuffer.width - side * kCell) : 0;
    if (band == boardBand_) return;
    boardBand_ = band;
    zum_board_layout(band, kCell);
}

void PageBackend::WindowShown(HWND hwnd) {
    // Dialogs and their controls are the dialog element's; the page has one game window.
    if (!IsLiveWindow(hwnd) || hwnd->parent || hwnd->dialogProc || shown_) return;
    shown_ = hwnd;
    zum_window_show(PageId(hwnd), hwnd->framebuffer.width, hwnd->framebuffer.height);
    zum_window_title(Cp932ToUtf8(hwnd->text).c_str());
    if (hwnd->menu) zum_menu_build(MenuJson(hwnd->menu).c_str());
    PresentAll();
    SyncBoardLayout();
}

void PageBackend::WindowGeometryChanged(HWND hwnd) {
    if (hwnd != shown_) return;
    zum_window_size(hwnd->framebuffer.width, hwnd->framebuffer.height);
    PresentAll();  // a canvas of a new size starts blank
    SyncBoardLayout();
}

void PageBackend::WindowTextChanged(HWND hwnd) {
    if (hwnd == shown_) zum_window_title(Cp932ToUtf8(hwnd->text).c_str());
    DialogTextChanged(hwnd);
}

void PageBackend::AccessibleEvent(HWND hwnd, DWORD event, LONG child) {
    if (hwnd != shown_) return;
    const int side = AccessibleBoardSide(hwnd);
    const std::string name = Cp932ToUtf8(AccessibleChildText(hwnd, child));
    const bool focus = event == EVENT_OBJECT_FOCUS;
    if (event == EVENT_SYSTEM_ALERT) {
        zum_reader_say(name.c_str());
    } else if (child == CHILDID_SELF) {
        zum_reader_window(name.c_str(), side, focus);
        SyncBoardLayout();
    } else if (child <= side * side) {
        // The grid was laid out for this board when the game named itself at its start.
        zum_reader_cell(child - 1, name.c_str(), focus);
    }
}

void PageBackend::WindowDestroyed(HWND hwnd) {
    for (const auto& t : hwnd->timers) zum_timer_stop(PageId(hwnd), static_cast<int>(t.id));
    if (hwnd != shown_) return;
    zum_window_destroyed(PageId(hwnd));
    shown_ = nullptr;
}

void PageBackend::MenuChanged(HMENU menu) {
    if (shown_ && shown_->menu) SyncMenu(shown_->menu);
}

void PageBackend::TimerStarted(HWND hwnd, UINT_PTR id, UINT periodMs) {
    zum_timer_start(PageId(hwnd), static_cast<int>(id), static_cast<int>(periodMs));
}

void PageBackend::TimerStopped(HWND hwnd, UINT_PTR id) {
    zum_timer_stop(PageId(hwnd), static_cast<int>(id));
}

void PageBackend::Present(HWND hwnd, const RECT& rect) {
    if (hwnd != shown_) return;
    const Surface& fb = hwnd->framebuffer;
    const RECT r = IntersectRects(rect, RECT{0, 0, fb.width, fb.height});
    if (IsEmptyRect(r)) return;
    std::uint32_t colours[256];
    const auto& palette = SystemPalette();
    for (int i = 0; i < 256; ++i)  // RGBA in memory order, opaque
        colours[i] = palette[i].peRed | (palette[i].peGreen << 8) | (palette[i].peBlue << 16) |
                     0xFF000000u;
    const int width = r.right - r.left, height = r.bottom - r.top;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    if (count > rgbaSize_) {
        rgba_.reset(new std::uint32_t[count]);
        rgbaSize_ = count;
    }
    std::uint32_t* out = rgba_.get();
    for (int y = r.top; y < r.bottom; ++y) {
        const BYTE* row = fb.Row(y);
        for (int x = r.left; x < r.right; ++x) *out++ = colours[row[x]];
    }
    zum_present(reinterpret_cast<const std::uint8_t*>(rgba_.get()), r.left, r.top, width, height);
}

void PageBackend::PresentAll() {
    if (shown_) Present(shown_, RECT{0, 0, shown_->framebuffer.width, shown_->framebuffer.height});
}

void PageBackend::SystemPaletteChanged() { PresentAll(); }

int PageBackend::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) {
    const int box = zum_box_open(Cp932ToUtf8(text).c_str(), Cp932ToUtf8(caption).c_str(),
                                 (type & 0xF0) == MB_ICONSTOP);
    modals_.push_back(Modal{nullptr, box});
    // The owner's timers, paints and posted messages go on under the box.
    while (!closedBoxes_.count(box)) {
        DispatchQueued(owner);
        if (!closedBoxes_.count(box)) WaitForEvents();
    }
    closedBoxes_.erase(box);
    modals_.erase(std::find_if(modals_.begin(), modals_.end(),
                               [&](const Modal& m) { return m.box == box; }));
    return IDOK;
}

INT_PTR PageBackend::RunDialog(HWND dialog) {
    modals_.push_back(Modal{dialog, 0});
    INT_PTR result = RunPageDialog(dialog, *this);
    modals_.erase(std::find_if(modals_.begin(), modals_.end(),
                               [&](const Modal& m) { return m.dialog == dialog; }));
    return result;
}

BOOL PageBackend::Help(HWND, const std::string& file, UINT command) {
    switch (command) {
        case HELP_CONTENTS:
            if (!NamesHelpBook(file, "ZUM32.HLP")) return FALSE;
            zum_help_show();
            return TRUE;
        case HELP_QUIT:
            // One help panel serves the whole page, so quitting closes it whatever book is named.
            zum_help_close();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace platform::web
