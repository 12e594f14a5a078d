// The platform's own records behind the handles, shared by the Qt-free core and the Qt glue.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "resource_table.h"
#include "windows.h"

namespace platform {

// An 8-bit surface of palette indices, rows top-down, no padding.
struct Surface {
    int width = 0;
    int height = 0;
    std::vector<BYTE> pixels;

    void Resize(int w, int h, BYTE fill);
    BYTE* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const BYTE* Row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
};

enum class GdiKind { Bitmap, Palette, Brush };

struct GdiObject {
    GdiKind kind;
    explicit GdiObject(GdiKind k) : kind(k) {}
    virtual ~GdiObject() = default;
};

}  // namespace platform

struct HBITMAP__ : platform::GdiObject {
    HBITMAP__() : GdiObject(platform::GdiKind::Bitmap) {}
    platform::Surface surface;
    HDC selectedInto = nullptr;  // the memory DC that holds it, if any
};

struct HPALETTE__ : platform::GdiObject {
    HPALETTE__() : GdiObject(platform::GdiKind::Palette) {}
    std::vector<PALETTEENTRY> entries;
    std::vector<BYTE> systemIndex;  // entry i shows as system palette index systemIndex[i]
};

struct HBRUSH__ : platform::GdiObject {
    HBRUSH__() : GdiObject(platform::GdiKind::Brush) {}
    BYTE index = 255;  // system palette index it fills with
};

struct HDC__ {
    enum class Kind { Window, Memory } kind = Kind::Memory;
    HWND window = nullptr;         // Kind::Window: whose framebuffer it draws into
    HBITMAP bitmap = nullptr;      // Kind::Memory: the selected bitmap
    HBITMAP stockBitmap = nullptr; // Kind::Memory: the 1 x 1 bitmap it was created with
    HPALETTE palette = nullptr;    // selected palette; null means the default palette
    int bkMode = OPAQUE;
    HBRUSH brush = nullptr;        // selected brush; null means the stock white brush
    bool painting = false;         // from BeginPaint: changes are shown at EndPaint
    RECT dirty{0, 0, 0, 0};        // what changed since it was last shown
};

struct HMENU__ {
    struct Item {
        std::u16string text;
        UINT id = 0;
        UINT flags = 0;  // MF_SEPARATOR, MF_POPUP, MF_GRAYED, MF_DISABLED
        HMENU popup = nullptr;
    };
    std::vector<Item> items;
    HWND owner = nullptr;
};

struct HACCEL__ {
    const rc::AcceleratorTable* table = nullptr;
};

struct HWND__ {
    WNDPROC proc = nullptr;
    DLGPROC dialogProc = nullptr;  // set for dialogs
    HWND parent = nullptr;
    std::string className;
    std::string text;  // CP932
    DWORD style = 0;
    int id = 0;        // control id within a dialog
    int x = 0, y = 0;  // outer position
    int width = 0, height = 0;  // outer size
    bool visible = false;
    bool destroyed = false;
    HMENU menu = nullptr;
    HBRUSH background = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;

    platform::Surface framebuffer;  // the client area
    int paletteGeneration = 0;      // which system palette its pixels were last matched to
    int paintDepth = 0;             // BeginPaint DCs alive: changes are shown at EndPaint
    RECT paintDirty{0, 0, 0, 0};
    bool updatePending = false;
    RECT updateRect{0, 0, 0, 0};
    bool eraseBackground = false;

    struct Timer {
        UINT_PTR id;
        UINT periodMs;
        bool pending;
    };
    std::vector<Timer> timers;

    std::shared_ptr<void> extra;  // per-kind state of the glue (dialog controls, widgets)
};

struct HINSTANCE__ {
    int unused = 0;
};

struct HICON__ {
    const rc::Entry* resource = nullptr;
};

struct HCURSOR__ {
    const rc::Entry* resource = nullptr;
};

namespace platform {

inline bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline RECT UnionRects(const RECT& a, const RECT& b) {
    if (IsEmptyRect(a)) return b;
    if (IsEmptyRect(b)) return a;
    return RECT{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom};
}
inline RECT IntersectRects(const RECT& a, const RECT& b) {
    RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    return IsEmptyRect(r) ? RECT{0, 0, 0, 0} : r;
}

// The services the core needs from whatever shows the windows: the Qt glue, or nothing in tests.
class Backend {
public:
    virtual ~Backend() = default;
    // Blocks until some event may have been queued (input, a timer, a posted message).
    virtual void WaitForEvents() = 0;
    virtual void WindowShown(HWND) {}
    virtual void WindowGeometryChanged(HWND) {}
    virtual void WindowTextChanged(HWND) {}
    virtual void WindowDestroyed(HWND) {}
    virtual void MenuChanged(HMENU) {}
    virtual void TimerStarted(HWND, UINT_PTR /*id*/, UINT /*periodMs*/) {}
    virtual void TimerStopped(HWND, UINT_PTR /*id*/) {}
    // Pixels of the window's framebuffer inside rect changed and should reach the screen.
    virtual void Present(HWND, const RECT&) {}
    // The system palette changed: every window's picture should be shown again.
    virtual void SystemPaletteChanged() {}
    virtual int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                           UINT type) = 0;
    virtual INT_PTR RunDialog(HWND dialog) = 0;  // runs until EndDialog
    virtual void EndDialog(HWND) {}
    virtual BOOL Help(HWND, const std::string& /*file*/, UINT /*command*/) { return TRUE; }
    // A screen reader should hear of an event of the window's client object or of its child.
    virtual void AccessibleEvent(HWND, DWORD /*event*/, LONG /*child*/) {}
};

void SetBackend(Backend* backend);  // null restores the headless backend
Backend& CurrentBackend();

// Called by a backend when a timer's period has elapsed: at most one WM_TIMER stays pending.
void TimerElapsed(HWND hwnd, UINT_PTR id);
// Queues an input message (mouse, keyboard) as the hardware would: in a queue of its own, served
// after the posted messages and before paints and timers.
void QueueInput(const MSG& msg);

// The dispatching of a modal loop: everything queued (posted messages, paints, pending timers)
// goes to its window, except mouse and keyboard input for the disabled owner. Returns the count.
int DispatchQueued(HWND disabled);

// Whether hwnd is a live window of ours.
bool IsLiveWindow(HWND hwnd);

// The client size that an outer window size gives, and back, with the metrics of GetSystemMetrics.
SIZE ClientSizeFor(HWND hwnd, int outerWidth, int outerHeight);

// Marks rect of the window's framebuffer as changed, to be shown (now, or at EndPaint).
void FramebufferChanged(HWND hwnd, const RECT& rect);

// The emulated display's system palette (20 static colours and 236 free slots).
const std::array<PALETTEENTRY, 256>& SystemPalette();
// The palette of a DC that has none selected: the twenty static colours, as DEFAULT_PALETTE.
HPALETTE DefaultPalette();
// For each colour, the nearest system index among those the palette (null: the default one) shows
// through: an exact match first, then the least squared RGB distance, ties to the lower index.
void MatchRealizedColours(HPALETTE palette, const PALETTEENTRY* colours, int count, BYTE* indices);
// Sends WM_PALETTECHANGED (wParam = by) to the other top-level windows once a realization, made
// through a DC of window by (null for a memory DC), changed the system palette.
void BroadcastPaletteChanged(HWND by);

// Text conversion at the boundary: CP932 bytes <-> UTF-8 / UTF-16, through glibc's iconv.
std::string Cp932ToUtf8(const std::string& cp932);
std::string Utf8ToCp932(const std::string& utf8, bool* lossless = nullptr);
std::string Utf16ToCp932(const std::u16string& utf16);
std::u16string Cp932ToUtf16(const std::string& cp932);

// What a window tells a screen reader of its child (0: itself), in CP932, and the side of the
// board whose cells are its first children (0: none shown).
std::string AccessibleChildText(HWND hwnd, LONG child);
int AccessibleBoardSide(HWND hwnd);

// Whether a WinHelpA file (CP932) names book by its name alone, in any case, wherever a path of
// either kind of slash puts it.
bool NamesHelpBook(const std::string& cp932File, const std::string& book);

// Finds a resource entry by name and type as FindResourceA does: the neutral one, else the one in
// the language GetUserDefaultUILanguage gives, else US English, else any.
const rc::Entry* FindEntry(LPCSTR name, LPCSTR type);
// The entry of exactly that language, or null.
const rc::Entry* FindEntryIn(LPCSTR name, LPCSTR type, LANGID language);

}  // namespace platform
