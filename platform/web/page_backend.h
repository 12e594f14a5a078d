// The page's backend of the core: the loop's wait on the page's events, the canvas, the menu
// bar, timers, message boxes, dialogs and help.
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "../core/internal.h"

namespace platform::web {

class PageBackend final : public Backend {
public:
    void WaitForEvents() override;
    void WindowShown(HWND hwnd) override;
    void WindowGeometryChanged(HWND hwnd) override;
    void WindowTextChanged(HWND hwnd) override;
    void WindowDestroyed(HWND hwnd) override;
    void MenuChanged(HMENU menu) override;
    void TimerStarted(HWND hwnd, UINT_PTR id, UINT periodMs) override;
    void TimerStopped(HWND hwnd, UINT_PTR id) override;
    void Present(HWND hwnd, const RECT& rect) override;
    void SystemPaletteChanged() override;
    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override;
    INT_PTR RunDialog(HWND dialog) override;
    BOOL Help(HWND hwnd, const std::string& file, UINT command) override;
    void AccessibleEvent(HWND hwnd, DWORD event, LONG child) override;

private:
    // One open box (dialog null) or dialog; only the innermost takes the player's actions.
    struct Modal {
        HWND dialog;
        int box;
    };

    int TakeEvents();
    void Apply(int kind, const int* event);
    void PresentAll();
    void QueueMouse(HWND hwnd, const int* event);
    void ApplyTouch(HWND hwnd, const int* event);
    void SyncBoardLayout();
    void SyncAccelerators();

    HWND shown_ = nullptr;  // the window that the canvas shows
    // The pixels handed to the canvas, every one written before each hand-over: grown, never
    // cleared (clearing the first whole picture cost a phone's first frame about 2 ms).
    std::unique_ptr<std::uint32_t[]> rgba_;
    std::size_t rgbaSize_ = 0;
    std::vector<Modal> modals_;
    std::set<int> closedBoxes_;
    std::size_t acceleratorCount_ = 0;  // of the keys last given to the page
    int boardBand_ = -1;                // the clue band last given to the page

    // The playing finger: where it came down (1/64 CSS pixel, and the game's pixel) and last was.
    struct Finger {
        enum Phase { kNone, kPending, kDragging, kHeld } phase = kNone;
        int downX = 0, downY = 0;
        POINT down{0, 0}, last{0, 0};
    } finger_;
};

// Runs a dialog as a page element until EndDialog; the loop waits through backend.
INT_PTR RunPageDialog(HWND dialog, Backend& backend);
// Hands the player's action on a running dialog's element to the dialog manager.
void ApplyDialogAction(HWND dialog, int action, int index, const std::string& text);

}  // namespace platform::web
