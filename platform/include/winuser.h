// Window manager: classes, windows, messages, timers, painting, menus, dialogs, help.
#pragma once

#include "windef.h"

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
    DWORD lPrivate;  // keyboard messages: the MK_SHIFT / MK_CONTROL / MK_ALT state when queued
};
using LPMSG = MSG*;

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// Messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_USER = 0x0400;

// Mouse-message key state in wParam.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr DWORD MK_ALT = 0x0020;  // only in MSG::lPrivate

// Virtual keys (letters and digits are their ASCII codes).
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_F1 = 0x70;

// Window styles.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

// System metrics.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;

// SetWindowPos flags.
constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;

// Menu flags.
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_SEPARATOR = 0x0800;

// Accelerator flags.
constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;

// Message boxes.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_ICONSTOP = 0x0010;
constexpr UINT MB_ICONHAND = MB_ICONSTOP;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Help requests.
constexpr UINT HELP_CONTEXT = 0x0001;
constexpr UINT HELP_QUIT = 0x0002;
constexpr UINT HELP_CONTENTS = 0x0003;

// Dialog template and control styles, as the resource script names them.
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_RIGHT = 0x0002;
constexpr DWORD SS_ICON = 0x0003;
constexpr DWORD SS_ETCHEDFRAME = 0x0012;
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;
constexpr UINT EM_LIMITTEXT = 0x00C5;

// Class registration and windows.
ATOM RegisterClassA(const WNDCLASSA* wc);  // 0 when the class name is taken or wc is incomplete
UINT RegisterWindowMessageA(LPCSTR name);  // one number per name, any case, from 0xC000; 0 for none
HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                     int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     LPVOID param);  // sends WM_CREATE before it returns; null for an unknown class
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu,
                           instance, param);
}
BOOL ShowWindow(HWND hwnd, int cmdShow);  // shows the window and invalidates its client area
BOOL UpdateWindow(HWND hwnd);             // sends WM_PAINT at once when something is invalid
BOOL DestroyWindow(HWND hwnd);            // sends WM_DESTROY, then the handle is dead
BOOL SetWindowTextA(HWND hwnd, LPCSTR text);  // caption of a window or dialog, text of a control
BOOL SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy,
                  UINT flags);  // outer size; client = outer less frames, caption and menu
BOOL GetClientRect(HWND hwnd, RECT* rect);
int GetSystemMetrics(int index);  // fixed frame, caption and menu heights that SetWindowPos uses
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // WM_CLOSE destroys

// Accessibility: what changed for a screen reader, in an object of a window or one of its
// children (child 0 is the object itself; the reader asks the window for a child's text).
#define EVENT_SYSTEM_ALERT 0x0002
#define EVENT_OBJECT_FOCUS 0x8005
#define EVENT_OBJECT_NAMECHANGE 0x800C
#define OBJID_CLIENT (static_cast<LONG>(0xFFFFFFFC))
#define CHILDID_SELF 0
void NotifyWinEvent(DWORD event, HWND hwnd, LONG idObject, LONG idChild);

// Messages.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT first, UINT last);  // blocks; FALSE on WM_QUIT
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);  // WM_TIMER and WM_PAINT included
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // calls the procedure now
BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);     // queues it
void PostQuitMessage(int exitCode);  // GetMessage returns FALSE once the queue has no posted message
SHORT GetKeyState(int vk);  // VK_SHIFT, VK_CONTROL, VK_MENU: high bit set when held at the last key
                            // message taken from the queue; 0 for any other key

// Timers: one WM_TIMER pending per timer at most; setting a running id restarts it.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, void* timerProc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);  // also drops its pending WM_TIMER

// Painting.
BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);  // null rect: the whole client
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);  // erases with the class background when asked
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
HDC GetDC(HWND hwnd);  // draws straight into the window; shown as it changes
int ReleaseDC(HWND hwnd, HDC dc);

// Menus and accelerators, built from the resource script.
HMENU GetMenu(HWND hwnd);
BOOL EnableMenuItem(HMENU menu, UINT idOrPos,
                    UINT flags);  // returns the previous state, or -1 when no such item
HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name);
int TranslateAcceleratorA(HWND hwnd, HACCEL accel,
                          const MSG* msg);  // WM_COMMAND sent unless the item is greyed
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// The string table's text of that id in CP932, cut on a whole character to size - 1 bytes and
// ended with NUL; returns its length in bytes, 0 when there is no such string.
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);

// Message box: caption, text with line feeds, icon and buttons.
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// Modal dialogs from templates of the resource script.
INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM initParam);  // runs a nested loop; the main window's timers go on
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int id);
BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);  // CP932 bytes, NUL-terminated
BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
UINT IsDlgButtonChecked(HWND dialog, int id);
LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);
HWND SetFocus(HWND hwnd);
// Only DWLP_MSGRESULT of a dialog: what SendMessage returns when the dialog procedure answers TRUE.
// DefDlgProc resets it to 0 before each message. Returns the previous value.
constexpr int DWLP_MSGRESULT = 0;
LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);

// Help viewer.
BOOL WinHelpA(HWND hwnd, LPCSTR helpFile, UINT command, ULONG_PTR data);
