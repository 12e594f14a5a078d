// What the Windows build's objects for screen readers share.
#include "accessible_object.h"

#include "resource.h"

void StartReaderCom() {
    // The window's thread is a single-threaded apartment, so a reader's calls arrive as
    // messages that the game's own loop dispatches, between the game's moves.
    static thread_local const bool started =
        (CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), true);
    (void)started;
}

std::wstring AskedChildText(HWND window, LONG child) {
    char text[512] = "";
    const LRESULT length = SendMessageA(window, WM_ACC_CHILDTEXT,
                                        MAKEWPARAM(static_cast<WORD>(child), sizeof text),
                                        reinterpret_cast<LPARAM>(text));
    if (length <= 0 || length >= static_cast<LRESULT>(sizeof text)) return {};
    const int size = static_cast<int>(length);
    const int wide = MultiByteToWideChar(932, 0, text, size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, text, size, out.data(), wide);
    return out;
}

HRESULT AnswerText(const std::wstring& text, BSTR* out) {
    *out = text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (text.empty()) return S_FALSE;
    return *out ? S_OK : E_OUTOFMEMORY;
}
