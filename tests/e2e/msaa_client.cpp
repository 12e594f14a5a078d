// A screen reader's view of the Windows build, for the Wine check: from its own process it hooks the
// game's events out of context and prints a UTF-8 line for each of what Active Accessibility gives:
// "kind child role state childcount x,y,w,h hit below name", tab-separated (hit: the child at the
// centre; below: the child that accNavigate gives downwards); and "control id name" for
// each control of each dialog that shows.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

HWND game = nullptr;
std::set<HWND> dialogsRead;

void Print(const std::string& line) { std::printf("%s\n", line.c_str()), std::fflush(stdout); }

std::string Name(IAccessible* object, VARIANT child) {
    BSTR name = nullptr;
    if (FAILED(object->get_accName(child, &name)) || !name) return "";
    std::string out(4 * SysStringLen(name) + 1, '\0');
    out.resize(WideCharToMultiByte(CP_UTF8, 0, name, -1, out.data(), int(out.size()), nullptr, nullptr) - 1);
    SysFreeString(name);
    return out;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    const char* kind = event == EVENT_OBJECT_FOCUS ? "focus" : event == EVENT_OBJECT_NAMECHANGE ? "name"
                       : event == EVENT_SYSTEM_ALERT ? "alert" : nullptr;
    IAccessible* board = nullptr;
    VARIANT id{}, role{}, state{}, hit{}, below{};
    if (!kind || window != game || object != OBJID_CLIENT ||
        FAILED(AccessibleObjectFromEvent(window, DWORD(object), DWORD(child), &board, &id)))
        return;
    LONG count = -1, x = 0, y = 0, w = 0, h = 0;
    board->get_accRole(id, &role), board->get_accState(id, &state), board->get_accChildCount(&count);
    board->accLocation(&x, &y, &w, &h, id), board->accHitTest(x + w / 2, y + h / 2, &hit);
    board->accNavigate(NAVDIR_DOWN, id, &below);
    char line[160];
    std::snprintf(line, sizeof line, "%s\t%ld\t%ld\t%#lx\t%ld\t%ld,%ld,%ld,%ld\t%ld\t%ld\t", kind, id.lVal,
                  role.lVal, state.lVal, count, x, y, w, h, hit.vt == VT_I4 ? hit.lVal : -1,
                  below.vt == VT_I4 ? below.lVal : -1);
    Print(line + Name(board, id));
    board->Release();
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
    IAccessible* object = nullptr;
    VARIANT self{};
    self.vt = VT_I4;
    if (SUCCEEDED(AccessibleObjectFromWindow(control, DWORD(OBJID_CLIENT), IID_IAccessible, (void**)&object)))
        Print("control\t" + std::to_string(GetDlgCtrlID(control)) + "\t" + Name(object, self)), object->Release();
    return TRUE;
}

BOOL CALLBACK ReadDialog(HWND window, LPARAM) {
    char type[8] = "";
    GetClassNameA(window, type, sizeof type);
    if (IsWindowVisible(window) && std::string(type) == "#32770" && dialogsRead.insert(window).second)
        EnumChildWindows(window, PrintControl, 0);
    return TRUE;
}

}  // namespace

int main() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(game = FindWindowA("ZUM32", nullptr), &process);
    if (!game || !SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, process, 0, WINEVENT_OUTOFCONTEXT))
        return 1;
    Print("ready");
    for (MSG msg; IsWindow(game);) {
        EnumThreadWindows(thread, ReadDialog, 0);
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 250, QS_ALLINPUT);
    }
    return 0;
}
