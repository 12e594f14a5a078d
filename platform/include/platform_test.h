// Hooks through which tests drive the platform and see what it did; the game never calls them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace platform_test {

// Back to a fresh process: no windows, classes, timers or queued messages; headless backend.
void Reset();

// Fixes what _time32 returns; nullopt gives the real clock again.
void SetCalendarTime(std::optional<std::int32_t> seconds);

struct TimerState {
    UINT_PTR id;
    UINT periodMs;
};
std::vector<TimerState> Timers(HWND hwnd);  // running timers, by id
bool TimerRunning(HWND hwnd, UINT_PTR id);
void ElapseTimer(HWND hwnd, UINT_PTR id);    // the period ran out: one WM_TIMER becomes pending
LRESULT FireTimer(HWND hwnd, UINT_PTR id);   // dispatches WM_TIMER now, if the timer runs

// Dispatches what the loop would: posted and input messages, paints, pending timers; offers
// keyboard messages to the accelerator table first. Returns the number of messages dispatched.
int PumpMessages(HACCEL accel = nullptr);
void KeyDown(HWND hwnd, WPARAM vk, DWORD modifiers);  // MK_CONTROL, MK_SHIFT, MK_ALT

UINT MenuItemState(HWND hwnd, UINT id);  // MF_GRAYED | MF_DISABLED bits; 0xFFFFFFFF if absent
SIZE ClientSize(HWND hwnd);
SIZE WindowSize(HWND hwnd);
bool IsInvalid(HWND hwnd);  // a WM_PAINT is due
const BYTE* Framebuffer(HWND hwnd, int* width, int* height);  // palette indices, top-down
const BYTE* BitmapPixels(HBITMAP bitmap, int* width, int* height);  // indices, top-down
std::optional<int> QuitCode();  // the code of the last PostQuitMessage
HWND FindWindowByClass(const char* className);
std::string WindowText(HWND hwnd);

// The headless message loop asks this for more input when its queue runs dry; returning false
// (or no handler) ends the test with an exception instead of blocking for ever.
void SetIdleHandler(std::function<bool()> handler);

struct MessageBoxCall {
    HWND owner;
    std::string text;  // CP932
    std::string caption;
    UINT type;
};
void SetMessageBoxHandler(
    std::function<int(HWND, const std::string&, const std::string&, UINT)> handler);
std::vector<MessageBoxCall> MessageBoxes();

// Runs a modal dialog in tests: called after WM_INITDIALOG, until it returns the result.
void SetDialogHandler(std::function<INT_PTR(HWND dialog)> handler);

struct HelpCall {
    std::string file;
    UINT command;
};
std::vector<HelpCall> HelpCalls();

}  // namespace platform_test
