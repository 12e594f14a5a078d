// The Qt backend of the core: event loop, timers, presentation, message box and modal loops.
#pragma once

#include <QIcon>
#include <QObject>

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "../core/internal.h"

class QMessageBox;
class QWidget;
class QTimer;

namespace platform::qt {

class MainWindowWidget;

// The Qt window that shows a top-level HWND under the installed Qt backend, or null; dialogs and
// message boxes are parented to it so that they sit over it and block its input.
QWidget* TopLevelWidget(HWND hwnd);

// A window manager may still offer to minimise a dialog or message box, and openbox takes the
// window under it along; a modal window comes straight back, the game with it, as on Windows,
// where the window under a modal one is disabled, caption buttons and all.
void KeepFromMinimising(QWidget* modal);

// Gives the window of owner (the game's, or a dialog under a closed one) the keyboard again when
// a modal window over it has closed: with no window manager, nobody else would.
void ReturnFocus(QWidget* owner);

// The game's icon: that of the first window from hwnd up its owners with a class icon.
QIcon GameIcon(HWND hwnd);

// The message box that MessageBoxA shows: CP932 texts converted, stop icon, one OK button.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::string& caption, UINT type);

class QtBackend final : public QObject, public Backend {
    Q_OBJECT
public:
    QtBackend();  // a QApplication must exist
    ~QtBackend() override;

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
    void EndDialog(HWND dialog) override;
    BOOL Help(HWND hwnd, const std::string& file, UINT command) override;
    void AccessibleEvent(HWND hwnd, DWORD event, LONG child) override;

    // The top-level widget that shows a main window, or null while it has none.
    MainWindowWidget* WindowWidget(HWND hwnd) const;

private:
    // One nested Qt loop (message box or dialog) and the window it disables.
    struct Modal {
        HWND disabled;
        bool dispatching;
    };

    void DispatchForModal();
    void PushModal(HWND disabled);
    void PopModal();

    std::map<HWND, std::unique_ptr<MainWindowWidget>> windows_;
    std::map<std::pair<HWND, UINT_PTR>, QTimer*> timers_;
    std::vector<Modal> modals_;
    // Widgets of windows destroyed while a nested loop ran over them; deleted once it ends.
    std::vector<std::unique_ptr<MainWindowWidget>> retired_;
};

}  // namespace platform::qt
