// How long the START cue takes from the Start command to the audio device, in a fresh process
// where it is the first cue (SDL not yet loaded, no device open), then once more after the device
// has closed again. Prints "first <ms> again <ms>". Run by bench/first_cue.sh, one process a run,
// with a records file prepared (no message box) and SDL_AUDIODRIVER=dummy.
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform_test_audio.h"
#include "qt_backend.h"
#include "resource.h"
#include "shell/main_window.h"
#include "windows.h"

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds from the Start command until the device took the cue's first buffer (the queue
// shrank below what it held when the command returned); -1 if it never did. Should the device
// have taken a buffer before the command returned, this counts one buffer more: never less.
double StartToDevice(HWND window) {
    const Clock::time_point t0 = Clock::now();
    SendMessageA(window, WM_COMMAND, CMD_START, 0);
    const std::size_t queued = platform_test::QueuedAudioBytes();
    if (queued == 0) return -1;
    const Clock::time_point limit = t0 + std::chrono::seconds(5);
    while (platform_test::QueuedAudioBytes() >= queued) {
        if (Clock::now() > limit) return -1;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
}

void WaitForDeviceClosed() {
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(10);
    while (platform_test::AudioDeviceOpen() && Clock::now() < limit) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    platform::qt::QtBackend backend;
    platform::SetBackend(&backend);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!RegisterMainClass(instance)) return 1;
    HWND window = CreateMainWindow(instance, SW_SHOWNORMAL);
    if (!window) return 1;
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();

    const double first = StartToDevice(window);
    SendMessageA(window, WM_COMMAND, CMD_TITLE, 0);
    WaitForDeviceClosed();
    const double again = StartToDevice(window);
    std::printf("first %.2f again %.2f\n", first, again);
    DestroyWindow(window);
    platform::SetBackend(nullptr);
    return first < 0 || again < 0 ? 1 : 0;
}
