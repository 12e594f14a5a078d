// The Qt backend: Qt's event loop drives the core's queue, timers and windows.
#include "qt_backend.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "board_accessible.h"
#include "../core/dialog_internal.h"
#include "help_window.h"
#include "main_window_widget.h"
#include "qt_dialogs.h"

namespace platform::qt {

namespace {

// QMessageBox fixes its size whenever it lays itself out. A Wayland compositor may still impose
// another (Qt's own title bar offers to maximise any window), and a window that refused it would
// be cut off: there the box keeps its size only as its least, wide enough for the whole caption
// in the title bar that Qt draws, which centres it between the icon and three buttons.
class GameMessageBox final : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    bool event(QEvent* event) override {
        const bool handled = QMessageBox::event(event);
        if (OnWayland() && (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest))
            Unfix();
        return handled;
    }

private:
    void Unfix() {
        QFont titleFont = font();
        titleFont.setPixelSize(14);
        constexpr int kTitleBarButtons = 200;  // icon, buttons and their spacing, both sides
        const int width = std::max(
            minimumWidth(), QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarButtons);
        setMinimumSize(width, minimumHeight());
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        if (this->width() < width) resize(width, height());
        // Else the box would fix its size again at the layout request that this change posts.
        QCoreApplication::removePostedEvents(this, QEvent::LayoutRequest);
    }
};

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, const std::string& text,
                                            const std::string& caption, UINT type) {
    auto box = std::make_unique<GameMessageBox>(parent);
    // Our own CP932 conversion: Qt's codec would swap the bytes 0x1A, 0x1C and 0x7F.
    box->setWindowTitle(QString::fromStdString(Cp932ToUtf8(caption)));
    QString body = QString::fromStdString(Cp932ToUtf8(text));
    body.remove(QLatin1Char('\r'));
    box->setTextFormat(Qt::PlainText);  // a line feed starts a new line, nothing is markup
    box->setText(body);
    box->setIcon((type & 0xF0) == MB_ICONSTOP ? QMessageBox::Critical : QMessageBox::NoIcon);
    box->setStandardButtons(QMessageBox::Ok);
    box->setDefaultButton(QMessageBox::Ok);
    return box;
}

namespace {

class Unminimiser final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::WindowStateChange && widget && widget->isMinimized())
            QTimer::singleShot(0, widget, [widget] {  // once the state change is through
                widget->showNormal();
                widget->activateWindow();
            });
        return false;
    }
};

}  // namespace

void KeepFromMinimising(QWidget* modal) { modal->installEventFilter(new Unminimiser(modal)); }

void ReturnFocus(QWidget* owner) {
    if (!owner || !owner->window()->isVisible()) return;
    owner->window()->activateWindow();
}

QIcon GameIcon(HWND hwnd) {
    for (HWND h = hwnd; h && IsLiveWindow(h); h = h->parent)
        if (h->icon && h->icon->resource)
            return ReadIcon(h->icon->resource->bytes, h->icon->resource->size);
    return QIcon();
}

QWidget* TopLevelWidget(HWND hwnd) {
    auto* backend = dynamic_cast<QtBackend*>(&CurrentBackend());
    return backend ? backend->WindowWidget(hwnd) : nullptr;
}

QtBackend::QtBackend() {
    // The game ends its own loop on WM_DESTROY; a closed last window must not quit Qt's.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    InstallBoardAccessible();
    // A nested Qt loop (message box, dialog) hands the game's queue to its windows whenever it
    // runs dry, so timers, paints and posted messages go on under it.
    connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
            &QtBackend::DispatchForModal);
}

QtBackend::~QtBackend() {
    if (&CurrentBackend() == this) SetBackend(nullptr);
    retired_.clear();
    windows_.clear();
}

void QtBackend::WaitForEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Without exec() Qt never reaches a loop level at which deleteLater() takes effect.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

MainWindowWidget* QtBackend::WindowWidget(HWND hwnd) const {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : it->second.get();
}

void QtBackend::WindowShown(HWND hwnd) {
    // Dialogs and their controls belong to the dialog glue.
    if (!IsLiveWindow(hwnd) || hwnd->parent || hwnd->dialogProc) return;
    auto& widget = windows_[hwnd];
    if (!widget) widget = std::make_unique<MainWindowWidget>(hwnd);
    widget->show();
    widget->activateWindow();
}

void QtBackend::WindowGeometryChanged(HWND hwnd) {
    if (auto* w = WindowWidget(hwnd)) w->SyncGeometry();
}

void QtBackend::WindowTextChanged(HWND hwnd) {
    if (auto* w = WindowWidget(hwnd)) w->SyncTitle();
    DialogTextChanged(hwnd);  // a running dialog's caption or control text
}

void QtBackend::AccessibleEvent(HWND hwnd, DWORD event, LONG child) {
    if (auto* w = WindowWidget(hwnd)) BoardAccessibleEvent(w->Client(), event, child);
}

void QtBackend::WindowDestroyed(HWND hwnd) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == hwnd) {
            delete it->second;
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
    auto it = windows_.find(hwnd);
    if (it == windows_.end()) return;
    std::unique_ptr<MainWindowWidget> widget = std::move(it->second);
    windows_.erase(it);
    widget->Detach();
    // A message box or dialog may still run over it, parented to it: delete once that ends.
    if (!modals_.empty()) retired_.push_back(std::move(widget));
}

void QtBackend::MenuChanged(HMENU menu) {
    for (auto& [hwnd, widget] : windows_)
        if (widget->HoldsMenu(menu)) widget->SyncMenuStates();
}

void QtBackend::TimerStarted(HWND hwnd, UINT_PTR id, UINT periodMs) {
    QTimer*& timer = timers_[{hwnd, id}];
    if (!timer) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [hwnd, id] { TimerElapsed(hwnd, id); });
    }
    timer->start(static_cast<int>(periodMs));  // a running timer starts its period again
}

void QtBackend::TimerStopped(HWND hwnd, UINT_PTR id) {
    auto it = timers_.find({hwnd, id});
    if (it != timers_.end()) it->second->stop();
}

void QtBackend::Present(HWND hwnd, const RECT& rect) {
    if (auto* w = WindowWidget(hwnd)) w->Client()->Present(rect);
}

void QtBackend::SystemPaletteChanged() {
    for (auto& [hwnd, widget] : windows_) widget->Client()->PaletteChanged();
}

void QtBackend::PushModal(HWND disabled) { modals_.push_back(Modal{disabled, false}); }

void QtBackend::PopModal() {
    modals_.pop_back();
    if (modals_.empty()) retired_.clear();
}

void QtBackend::DispatchForModal() {
    if (modals_.empty()) return;
    // Only the innermost loop dispatches, and not again from inside its own dispatching; a
    // handler that opens another dialog pushes a new level, which dispatches for itself.
    const std::size_t level = modals_.size() - 1;
    if (modals_[level].dispatching) return;
    modals_[level].dispatching = true;
    DispatchQueued(modals_[level].disabled);
    modals_[level].dispatching = false;
}

int QtBackend::MessageBox(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) {
    QWidget* parent = WindowWidget(owner);
    if (!parent) parent = QApplication::activeModalWidget();
    std::unique_ptr<QMessageBox> box = MakeMessageBox(parent, text, caption, type);
    // From the class: the loader's boxes come before the game's window shows.
    box->setWindowIcon(GameIcon(owner));
    KeepFromMinimising(box.get());
    QPointer<QMessageBox> alive(box.get());
    QPointer<QWidget> under(parent);
    PushModal(owner);
    box->exec();
    PopModal();
    if (!alive) box.release();  // its parent took it along
    ReturnFocus(under);
    return IDOK;
}

INT_PTR QtBackend::RunDialog(HWND dialog) {
    PushModal(dialog ? dialog->parent : nullptr);
    INT_PTR result = platform::qt::RunDialog(dialog);
    PopModal();
    return result;
}

void QtBackend::EndDialog(HWND dialog) { platform::qt::EndDialog(dialog); }

BOOL QtBackend::Help(HWND hwnd, const std::string& file, UINT command) {
    return HelpRequest(WindowWidget(hwnd), this, file, command);
}

}  // namespace platform::qt
