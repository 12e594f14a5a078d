// The Qt window that shows a top-level HWND: title, icon, menu bar, and the framebuffer view.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QMainWindow>
#include <QPoint>
#include <QVector>

#include <cstddef>
#include <optional>
#include <vector>

#include "../core/internal.h"

class QAction;

namespace platform::qt {

// How game pixels meet device pixels: a whole number of device pixels per game pixel each way,
// the screen's ratio rounded half up (2 at 1.5), so the picture is never blurred; it starts on a
// whole device pixel, `shift` device pixels in from where the widget starts on a fractional one.
struct PixelScale {
    qreal deviceRatio = 1.0;
    int factor = 1;  // device pixels per game pixel, each way
    QPointF shift;   // device pixels, each in [0, 1)

    // offset: the device position of the widget's top-left in its window's backing store.
    static PixelScale For(qreal deviceRatio, QPointF offset = QPointF());
    QSize LogicalSize(int gameWidth, int gameHeight) const;  // room for the picture at any shift
    QRect LogicalRect(const RECT& game) const;          // the logical pixels that show it
    QRect GameRect(const QRect& logical) const;         // the game pixels under it, unclipped
    QPoint GamePoint(const QPointF& logical) const;     // the game pixel under a position
};

// A cursor resource (.cur bytes): its picture and hot spot; nothing when the bytes do not parse.
struct CursorImage {
    QImage image;
    QPoint hotSpot;
};
std::optional<CursorImage> ReadCursor(const unsigned char* bytes, std::size_t size);
// An icon resource (.ico bytes) with every size it holds; a null icon when it does not parse.
QIcon ReadIcon(const unsigned char* bytes, std::size_t size);

// The client area: the window's 8-bit framebuffer shown through the system palette; mouse input.
class ClientView final : public QWidget {
    Q_OBJECT
public:
    ClientView(HWND hwnd, QWidget* parent);

    void Detach() { hwnd_ = nullptr; }
    HWND Window() const { return hwnd_; }
    void SyncSize();
    void Present(const RECT& rect);
    void PaletteChanged();
    QRect ScreenRect(const RECT& game) const;  // where game pixels show on the screen

protected:
    void focusInEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    PixelScale Scale() const;  // for the picture where it sits in its window
    QPoint PictureOrigin() const;  // where the picture starts: centred when the client is larger
    void QueueMouse(UINT message, QMouseEvent* event);
    void PaintGameRect(QPainter& painter, const PixelScale& scale, const QRect& game);

    HWND hwnd_;
    QVector<QRgb> colours_;
    QImage scratch_;  // reused between paints: device pixels of the rectangle being painted
};

class MainWindowWidget final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindowWidget(HWND hwnd);
    ~MainWindowWidget() override;

    // The window is gone: drop every reference to its records and hide.
    void Detach();
    void SyncGeometry();
    void SyncTitle();
    void SyncMenuStates();
    bool HoldsMenu(HMENU menu) const;
    ClientView* Client() const { return client_; }

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    struct MenuBinding {
        QAction* action;
        HMENU menu;
        std::size_t index;
    };

    void BuildMenu(HMENU menu, QWidget* into);
    void QueueKey(QKeyEvent* event, bool down);

    HWND hwnd_;
    ClientView* client_;
    std::vector<MenuBinding> menuBindings_;
    std::vector<HMENU> menus_;
};

// Whether Qt shows the windows on a Wayland compositor, which places them and may size them.
bool OnWayland();

// The virtual key that a Qt key stands for, or 0 when the game has no name for it.
WPARAM VirtualKeyFor(int qtKey);

}  // namespace platform::qt
