// Help: the help viewer of WinHelpA is gone from present-day Windows, so HELP_CONTENTS opens a
// window of ours with the help pages that the resource script embeds, in the user's UI language
// as Windows chooses resources, and HELP_QUIT closes it. The window runs in a thread of its own, as the viewer ran in a program of its own.
#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

#include "help_text.h"

namespace {

constexpr UINT kShowIndex = WM_APP + 1;
constexpr int kListWidth = 200;
constexpr int kListId = 1;
constexpr int kWidth = 760;
constexpr int kHeight = 540;

struct Page {
    std::wstring title;
    std::wstring text;
};

HWND helpWindow = nullptr;  // written by the help thread, read by the game's
std::vector<Page> pages;
HWND pageList = nullptr;
HWND pageText = nullptr;
HFONT pageFont = nullptr;  // the list's and the text's, made with the window

// The pages' language, as FindResource chooses them: Japanese in a Japanese face, else Windows' own.
bool Japanese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

// A page of the script: "HELP_" and its file name without extension, upper case.
std::string HelpFile(const std::string& fileName) {
    std::string name = "HELP_";
    for (char c : fileName.substr(0, fileName.find('.')))
        name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name.c_str(), "HELPFILE");
    if (!info) return {};
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, info)));
    return bytes ? std::string(bytes, SizeofResource(module, info)) : std::string();
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string Between(const std::string& html, const std::string& open, const std::string& close) {
    std::size_t from = html.find(open);
    if (from == std::string::npos) return {};
    from += open.size();
    std::size_t to = html.find(close, from);
    return to == std::string::npos ? std::string() : html.substr(from, to - from);
}

// The index first, then every page it links to, in its order.
void LoadPages() {
    if (!pages.empty()) return;
    std::vector<std::string> files{"index.html"};
    const std::string index = HelpFile("index.html");
    for (std::size_t at = index.find("href=\""); at != std::string::npos;
         at = index.find("href=\"", at + 1)) {
        std::string target = index.substr(at + 6, index.find('"', at + 6) - at - 6);
        target = target.substr(0, target.find('#'));
        bool known = false;
        for (const std::string& f : files) known = known || f == target;
        if (!known && !HelpFile(target).empty()) files.push_back(target);
    }
    for (const std::string& f : files) {
        const std::string html = HelpFile(f);
        pages.push_back({Wide(Between(html, "<title>", "</title>")), Wide(HelpPlainText(html))});
    }
}

void ShowPage(int index) {
    if (index < 0 || index >= static_cast<int>(pages.size())) return;
    SendMessageW(pageList, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SetWindowTextW(pageText, pages[static_cast<std::size_t>(index)].text.c_str());
}

LRESULT CALLBACK HelpProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE: {
            HINSTANCE instance = GetModuleHandleW(nullptr);
            pageFont = CreateFontW(-14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                   Japanese() ? SHIFTJIS_CHARSET : DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH, Japanese() ? L"MS UI Gothic" : L"Segoe UI");
            pageList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY, 0, 0, 0, 0,
                                       window, reinterpret_cast<HMENU>(kListId), instance, nullptr);
            pageText = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", nullptr,
                                       WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE |
                                           ES_READONLY | ES_AUTOVSCROLL,
                                       0, 0, 0, 0, window, nullptr, instance, nullptr);
            SendMessageW(pageList, WM_SETFONT, reinterpret_cast<WPARAM>(pageFont), FALSE);
            SendMessageW(pageText, WM_SETFONT, reinterpret_cast<WPARAM>(pageFont), FALSE);
            for (const Page& page : pages)
                SendMessageW(pageList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(page.title.c_str()));
            ShowPage(0);
            return 0;
        }
        case WM_SIZE:
            MoveWindow(pageList, 0, 0, kListWidth, HIWORD(lParam), TRUE);
            MoveWindow(pageText, kListWidth, 0, LOWORD(lParam) - kListWidth, HIWORD(lParam), TRUE);
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == kListId && HIWORD(wParam) == LBN_SELCHANGE)
                ShowPage(static_cast<int>(SendMessageW(pageList, LB_GETCURSEL, 0, 0)));
            return 0;
        case kShowIndex:
            ShowPage(0);
            ShowWindow(window, SW_RESTORE);
            SetForegroundWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            // The children are gone by now, so the font they shared can go too.
            if (pageFont) DeleteObject(pageFont);
            pageFont = nullptr;
            return DefWindowProcW(window, msg, wParam, lParam);
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

// Beside the game's window and clear of it where the screen has room, else where Windows puts it.
POINT HelpPosition(HWND game) {
    RECT owner, work;
    if (!game || !GetWindowRect(game, &owner) || !SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return {CW_USEDEFAULT, CW_USEDEFAULT};
    LONG top = owner.top + kHeight <= work.bottom ? owner.top : work.bottom - kHeight;
    top = top < work.top ? work.top : top;
    if (owner.right + kWidth <= work.right) return {owner.right, top};
    if (owner.left - kWidth >= work.left) return {owner.left - kWidth, top};
    return {CW_USEDEFAULT, CW_USEDEFAULT};
}

struct Start {
    HANDLE ready;
    POINT position;
};

DWORD WINAPI HelpThread(void* parameter) {
    const Start start = *static_cast<Start*>(parameter);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelpProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "ICON_ZUM32");
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"ZUM32_HELP";
    RegisterClassW(&wc);
    LoadPages();
    HWND window = CreateWindowExW(0, L"ZUM32_HELP", Japanese() ? L"ずむのタイル32 ヘルプ" : L"ずむのタイル32 Help",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, start.position.x,
                                  start.position.y, kWidth, kHeight, nullptr, nullptr, instance,
                                  nullptr);
    InterlockedExchangePointer(reinterpret_cast<void**>(&helpWindow), window);
    SetEvent(start.ready);
    if (!window) return 0;  // no message loop would ever end without a window to close
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Escape closes the help, whichever of its controls has the keyboard.
        if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
            SendMessageW(window, WM_CLOSE, 0, 0);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    InterlockedExchangePointer(reinterpret_cast<void**>(&helpWindow), nullptr);
    return 0;
}

BOOL WINAPI ShowHelp(HWND game, LPCSTR, UINT command, ULONG_PTR) {
    HWND window = static_cast<HWND>(InterlockedCompareExchangePointer(
        reinterpret_cast<void**>(&helpWindow), nullptr, nullptr));
    if (command == HELP_QUIT) {
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    if (window) return PostMessageW(window, kShowIndex, 0, 0);
    Start start{CreateEventW(nullptr, TRUE, FALSE, nullptr), HelpPosition(game)};
    HANDLE thread = CreateThread(nullptr, 0, HelpThread, &start, 0, nullptr);
    if (!thread) {
        CloseHandle(start.ready);
        return FALSE;
    }
    WaitForSingleObject(start.ready, INFINITE);
    CloseHandle(start.ready);
    CloseHandle(thread);
    return InterlockedCompareExchangePointer(reinterpret_cast<void**>(&helpWindow), nullptr,
                                             nullptr) != nullptr;
}

}  // namespace

// The game's WinHelpA calls go through this import pointer, which user32's library would define.
extern "C" {
decltype(&WinHelpA) __imp_WinHelpA = ShowHelp;
}
