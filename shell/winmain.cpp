// The game's entry point: register the class, create the window, run the message loop.
#include "shell/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand) {
    if (!previous && !RegisterMainClass(instance)) return 0;
    HWND window = CreateMainWindow(instance, showCommand);
    if (!window) return 0;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        // The table is looked up for every message, as the game always did.
        HACCEL accel = LoadAcceleratorsA(instance, "ACCEL");
        if (!TranslateAcceleratorA(window, accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
