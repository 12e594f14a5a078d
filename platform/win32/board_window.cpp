// The main window answers screen readers: its class's procedure is wrapped, so that WM_GETOBJECT
// for the client area gives the board's object and WM_DESTROY lets go of it, and the game's focus
// events are noted on their way to Windows.
#include <windows.h>

#include "board_object.h"

namespace {

template <typename Function>
Function User32(const char* name) {
    static HMODULE user = GetModuleHandleA("user32.dll");
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

WNDPROC gameProc = nullptr;

LRESULT CALLBACK BoardWindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    // On 64-bit Windows the object id arrives zero-extended: compared as the DWORD it is.
    if (msg == WM_GETOBJECT && static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        const LRESULT object = AnswerBoardObject(window, wParam);
        if (object > 0) return object;
    }
    if (msg == WM_DESTROY) DisconnectBoardObject();
    return gameProc(window, msg, wParam, lParam);
}

ATOM WINAPI RegisterBoardClass(const WNDCLASSA* wc) {
    static const auto system = User32<decltype(&RegisterClassA)>("RegisterClassA");
    WNDCLASSA wrapped = *wc;
    gameProc = wc->lpfnWndProc;
    wrapped.lpfnWndProc = BoardWindowProc;
    return system(&wrapped);
}

VOID WINAPI NotifyReader(DWORD event, HWND window, LONG object, LONG child) {
    static const auto system = User32<decltype(&NotifyWinEvent)>("NotifyWinEvent");
    if (event == EVENT_OBJECT_FOCUS && object == OBJID_CLIENT) NoteReaderFocus(child);
    system(event, window, object, child);
}

}  // namespace

// The game's calls go through these import pointers, which user32's library would otherwise define.
extern "C" {
decltype(&RegisterClassA) __imp_RegisterClassA = RegisterBoardClass;
decltype(&NotifyWinEvent) __imp_NotifyWinEvent = NotifyReader;
}
