// The page's backend: the game's loop waits on the page's events, and its window, menu, boxes
// and help are page elements.
#include "page_backend.h"

#include <algorithm>

#include "../core/dialog_internal.h"
#include "page.h"
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
    if (TakeEvents() > 0) return;
    zum_wait_event();
    TakeEvents();
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
            if (HWND hwnd = window(e[1])) {
                // Client coordinates are 16-bit each; left of or above the client they wrap.
                const LPARAM at = MAKELPARAM(static_cast<WORD>(static_cast<short>(e[3])),
                                             static_cast<WORD>(static_cast<short>(e[4])));
                QueueInput(MSG{hwnd, static_cast<UINT>(e[2]), static_cast<WPARAM>(e[5]), at,
                               static_cast<DWORD>(e[6]), POINT{e[3], e[4]}, 0});
            }
            break;
        case kKey:
            if (HWND hwnd = window(e[1]))
                QueueInput(MSG{hwnd, static_cast<UINT>(e[2]), static_cast<WPARAM>(e[3]), 0,
                               static_cast<DWORD>(e[5]), POINT{0, 0}, static_cast<DWORD>(e[4])});
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
        default:
            break;
    }
}

void PageBackend::WindowShown(HWND hwnd) {
    // Dialogs and their controls are the dialog element's; the page has one game window.
    if (!IsLiveWindow(hwnd) || hwnd->parent || hwnd->dialogProc || shown_) return;
    shown_ = hwnd;
    zum_window_show(PageId(hwnd), hwnd->framebuffer.width, hwnd->framebuffer.height);
    zum_window_title(Cp932ToUtf8(hwnd->text).c_str());
    if (hwnd->menu) zum_menu_build(MenuJson(hwnd->menu).c_str());
    PresentAll();
}

void PageBackend::WindowGeometryChanged(HWND hwnd) {
    if (hwnd != shown_) return;
    zum_window_size(hwnd->framebuffer.width, hwnd->framebuffer.height);
    PresentAll();  // a canvas of a new size starts blank
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
    rgba_.resize(static_cast<std::size_t>(width) * height);
    std::uint32_t* out = rgba_.data();
    for (int y = r.top; y < r.bottom; ++y) {
        const BYTE* row = fb.Row(y);
        for (int x = r.left; x < r.right; ++x) *out++ = colours[row[x]];
    }
    zum_present(reinterpret_cast<const std::uint8_t*>(rgba_.data()), r.left, r.top, width, height);
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
