// The Qt window of a top-level HWND: menu bar from the HMENU tree, framebuffer view, input.
#include "main_window_widget.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "board_accessible.h"
#include "keys.h"

namespace platform::qt {
namespace {

// Ratios are compared with a little slack, since 2.0 may arrive as 1.9999999.
constexpr qreal kSlack = 1e-6;

int FloorScaled(qreal v) { return static_cast<int>(std::floor(v + kSlack)); }
int CeilScaled(qreal v) { return static_cast<int>(std::ceil(v - kSlack)); }

QString MenuText(const HMENU__::Item& item) {
    return QString::fromUtf16(item.text.data(), static_cast<qsizetype>(item.text.size()));
}

bool Greyed(const HMENU__::Item& item) { return item.flags & (MF_GRAYED | MF_DISABLED); }

std::unique_ptr<QImageReader> IcoReader(QBuffer& buffer, const unsigned char* bytes,
                                        std::size_t size) {
    buffer.setData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    buffer.open(QIODevice::ReadOnly);
    // Qt's ICO reader takes cursor files too; it ignores the hot spot, which we read ourselves.
    return std::make_unique<QImageReader>(&buffer, "ICO");
}

}  // namespace

PixelScale PixelScale::For(qreal deviceRatio, QPointF offset) {
    if (!(deviceRatio > 0)) deviceRatio = 1.0;
    const QPointF shift(CeilScaled(offset.x()) - offset.x(), CeilScaled(offset.y()) - offset.y());
    return PixelScale{deviceRatio, std::max(1, FloorScaled(deviceRatio + 0.5)),
                      QPointF(std::max(0.0, shift.x()), std::max(0.0, shift.y()))};
}

QSize PixelScale::LogicalSize(int gameWidth, int gameHeight) const {
    // At a fractional ratio the picture may start up to a device pixel in: room for that too.
    const int spare = std::abs(deviceRatio - std::round(deviceRatio)) > kSlack ? 1 : 0;
    return QSize(CeilScaled((gameWidth * factor + spare) / deviceRatio),
                 CeilScaled((gameHeight * factor + spare) / deviceRatio));
}

QRect PixelScale::LogicalRect(const RECT& game) const {
    QPoint topLeft(FloorScaled((shift.x() + game.left * factor) / deviceRatio),
                   FloorScaled((shift.y() + game.top * factor) / deviceRatio));
    QPoint end(CeilScaled((shift.x() + game.right * factor) / deviceRatio),
               CeilScaled((shift.y() + game.bottom * factor) / deviceRatio));
    return QRect(topLeft, end - QPoint(1, 1));
}

QRect PixelScale::GameRect(const QRect& logical) const {
    QPoint topLeft(FloorScaled((logical.left() * deviceRatio - shift.x()) / factor),
                   FloorScaled((logical.top() * deviceRatio - shift.y()) / factor));
    QPoint end(CeilScaled(((logical.right() + 1) * deviceRatio - shift.x()) / factor),
               CeilScaled(((logical.bottom() + 1) * deviceRatio - shift.y()) / factor));
    return QRect(topLeft, end - QPoint(1, 1));
}

QPoint PixelScale::GamePoint(const QPointF& logical) const {
    return QPoint(FloorScaled((logical.x() * deviceRatio - shift.x()) / factor),
                  FloorScaled((logical.y() * deviceRatio - shift.y()) / factor));
}

std::optional<CursorImage> ReadCursor(const unsigned char* bytes, std::size_t size) {
    auto u16 = [&](std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); };
    if (!bytes || size < 6 || u16(0) != 0 || u16(2) != 2) return std::nullopt;
    const int count = u16(4);
    if (count == 0 || size < 6 + 16 * static_cast<std::size_t>(count)) return std::nullopt;
    // The 32 x 32 picture is the one the game's cursor was drawn for.
    int chosen = 0;
    for (int i = 0; i < count; ++i)
        if (bytes[6 + 16 * i] == 32) {
            chosen = i;
            break;
        }
    const std::size_t entry = 6 + 16 * static_cast<std::size_t>(chosen);
    QBuffer buffer;
    auto reader = IcoReader(buffer, bytes, size);
    if (!reader->jumpToImage(chosen)) return std::nullopt;
    QImage image = reader->read();
    if (image.isNull()) return std::nullopt;
    // A cursor's directory entry keeps the hot spot where an icon's keeps planes and bit count.
    QPoint hotSpot(std::min(u16(entry + 4), image.width() - 1),
                   std::min(u16(entry + 6), image.height() - 1));
    return CursorImage{image, hotSpot};
}

QIcon ReadIcon(const unsigned char* bytes, std::size_t size) {
    QIcon icon;
    if (!bytes || size == 0) return icon;
    QBuffer buffer;
    auto reader = IcoReader(buffer, bytes, size);
    for (int i = 0; i < reader->imageCount() && reader->jumpToImage(i); ++i) {
        QImage image = reader->read();
        if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

namespace {

// The name of a key of Qt's in the core's key table (keys.h), empty for a key the game never gets.
std::string KeyName(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return std::string(1, static_cast<char>('A' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        std::string name(1, 'F');
        name += std::to_string(key - Qt::Key_F1 + 1);
        return name;
    }
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter: return "Enter";
        case Qt::Key_Escape: return "Escape";
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return "Tab";
        case Qt::Key_Backspace: return "Backspace";
        case Qt::Key_Space: return " ";
        case Qt::Key_Shift: return "Shift";
        case Qt::Key_Control: return "Control";
        case Qt::Key_Alt: return "Alt";
        case Qt::Key_PageUp: return "PageUp";
        case Qt::Key_PageDown: return "PageDown";
        case Qt::Key_End: return "End";
        case Qt::Key_Home: return "Home";
        case Qt::Key_Left: return "ArrowLeft";
        case Qt::Key_Up: return "ArrowUp";
        case Qt::Key_Right: return "ArrowRight";
        case Qt::Key_Down: return "ArrowDown";
        case Qt::Key_Insert: return "Insert";
        case Qt::Key_Delete: return "Delete";
        default: return {};
    }
}

}  // namespace

WPARAM VirtualKeyFor(int key) { return VirtualKeyNamed(KeyName(key)); }

// ---- ClientView ----

ClientView::ClientView(HWND hwnd, QWidget* parent) : QWidget(parent), hwnd_(hwnd) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);  // moves without a button held are messages too
    // It has the keyboard, for a screen reader's sake; the keys it leaves go on to the window,
    // which queues them.
    setFocusPolicy(Qt::StrongFocus);
    PaletteChanged();
    SyncSize();
}

QRect ClientView::ScreenRect(const RECT& game) const {
    const QRect logical = Scale().LogicalRect(game).translated(PictureOrigin());
    return QRect(mapToGlobal(logical.topLeft()), logical.size());
}

void ClientView::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // Qt tells the reader of the focus after this handler: the cell's focus must come later.
    QTimer::singleShot(0, this, [this] { BoardFocused(this); });
}

bool OnWayland() { return QGuiApplication::platformName().startsWith(QLatin1String("wayland")); }

PixelScale ClientView::Scale() const {
    const qreal ratio = devicePixelRatioF();
    return PixelScale::For(ratio, QPointF(mapTo(window(), PictureOrigin())) * ratio);
}

QPoint ClientView::PictureOrigin() const {
    if (!hwnd_) return QPoint();
    const qreal ratio = devicePixelRatioF();
    const QSize picture = PixelScale::For(ratio).LogicalSize(hwnd_->framebuffer.width,
                                                             hwnd_->framebuffer.height);
    return QPoint(std::max(0, (width() - picture.width()) / 2),
                  std::max(0, (height() - picture.height()) / 2));
}

void ClientView::SyncSize() {
    if (!hwnd_) return;
    const Surface& fb = hwnd_->framebuffer;
    const QSize picture = Scale().LogicalSize(fb.width, fb.height);
    // A Wayland compositor may impose any size (maximised, full screen, tiled), and a client that
    // refuses it is cut off: the client area only grows, and the picture stays centred in it.
    if (OnWayland()) {
        setMinimumSize(picture);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else {
        setFixedSize(picture);
    }
}

void ClientView::Present(const RECT& rect) {
    update(Scale().LogicalRect(rect).translated(PictureOrigin()));
}

void ClientView::PaletteChanged() {
    const auto& palette = SystemPalette();
    colours_.resize(256);
    for (int i = 0; i < 256; ++i)
        colours_[i] = qRgb(palette[i].peRed, palette[i].peGreen, palette[i].peBlue);
    update();
}

void ClientView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QPoint origin = PictureOrigin();
    if (origin != QPoint()) painter.fillRect(event->rect(), Qt::white);  // round the picture
    const QTransform unmoved = painter.deviceTransform();
    painter.translate(origin);
    const QRect dirty = event->rect().translated(-origin);
    // The painter's own scale and offset, not the screen's, so that rendering into an image
    // works alike.
    const QTransform device = painter.deviceTransform();
    const PixelScale scale = PixelScale::For(device.m11(), QPointF(device.dx(), device.dy()));
    const QRect picture =
        hwnd_ ? QRect(QPoint(0, 0), scale.LogicalSize(hwnd_->framebuffer.width,
                                                      hwnd_->framebuffer.height))
              : QRect();
    // Outside the framebuffer (a window not yet resized, or the sliver that a fractional ratio
    // leaves) shows the white of the class background.
    if (!picture.contains(dirty) || scale.factor != scale.deviceRatio)
        painter.fillRect(dirty, Qt::white);
    if (!hwnd_) return;
    const QRect bounds(0, 0, hwnd_->framebuffer.width, hwnd_->framebuffer.height);
    const QRegion region = event->region().translated(-origin);
    // From here on, one unit is one device pixel and the picture starts at (0, 0).
    painter.setWorldTransform(
        QTransform::fromTranslate(CeilScaled(device.dx()), CeilScaled(device.dy())) *
        unmoved.inverted());
    for (const QRect& r : region) {
        QRect game = scale.GameRect(r).intersected(bounds);
        if (!game.isEmpty()) PaintGameRect(painter, scale, game);
    }
}

void ClientView::PaintGameRect(QPainter& painter, const PixelScale& scale, const QRect& game) {
    const int k = scale.factor;
    const int width = game.width() * k, height = game.height() * k;
    if (scratch_.width() < width || scratch_.height() < height)
        scratch_ = QImage(std::max(width, scratch_.width()), std::max(height, scratch_.height()),
                          QImage::Format_RGB32);
    const Surface& fb = hwnd_->framebuffer;
    const QRgb* colours = colours_.constData();
    for (int y = 0; y < game.height(); ++y) {
        const BYTE* src = fb.Row(game.top() + y) + game.left();
        auto* first = reinterpret_cast<QRgb*>(scratch_.scanLine(y * k));
        QRgb* dst = first;
        for (int x = 0; x < game.width(); ++x)
            dst = std::fill_n(dst, k, colours[src[x]]);
        for (int i = 1; i < k; ++i)
            std::memcpy(scratch_.scanLine(y * k + i), first, sizeof(QRgb) * width);
    }
    painter.drawImage(QPoint(game.left() * k, game.top() * k), scratch_, QRect(0, 0, width, height));
}

void ClientView::QueueMouse(UINT message, QMouseEvent* event) {
    if (!hwnd_ || !IsLiveWindow(hwnd_)) return;
    // Qt rounds a widget's mouse positions to whole logical pixels, which at a ratio of 1.5 or 2
    // may be the next game pixel's; the window's own position keeps the device pixel. An event
    // made without one (its scene position is its local one) keeps the local position.
    QPointF at = event->scenePosition() - QPointF(mapTo(window(), QPoint(0, 0)));
    if ((at - event->position()).manhattanLength() > 1) at = event->position();
    const QPoint p = Scale().GamePoint(at - QPointF(PictureOrigin()));
    WPARAM keys = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) keys |= MK_LBUTTON;
    if (buttons & Qt::RightButton) keys |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton) keys |= MK_MBUTTON;
    if (event->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
    // Client coordinates are 16-bit each; left of or above the client they wrap, as on Windows.
    const LPARAM lParam = MAKELPARAM(static_cast<WORD>(static_cast<short>(p.x())),
                                     static_cast<WORD>(static_cast<short>(p.y())));
    const QPoint global = event->globalPosition().toPoint();
    QueueInput(MSG{hwnd_, message, keys, lParam, static_cast<DWORD>(event->timestamp()),
                   POINT{global.x(), global.y()}, 0});
}

void ClientView::mousePressEvent(QMouseEvent* event) {
    switch (event->button()) {
        case Qt::LeftButton: QueueMouse(WM_LBUTTONDOWN, event); break;
        case Qt::RightButton: QueueMouse(WM_RBUTTONDOWN, event); break;
        case Qt::MiddleButton: QueueMouse(WM_MBUTTONDOWN, event); break;
        default: break;
    }
}

void ClientView::mouseReleaseEvent(QMouseEvent* event) {
    switch (event->button()) {
        case Qt::LeftButton: QueueMouse(WM_LBUTTONUP, event); break;
        case Qt::RightButton: QueueMouse(WM_RBUTTONUP, event); break;
        case Qt::MiddleButton: QueueMouse(WM_MBUTTONUP, event); break;
        default: break;
    }
}

void ClientView::mouseMoveEvent(QMouseEvent* event) { QueueMouse(WM_MOUSEMOVE, event); }

// ---- MainWindowWidget ----

MainWindowWidget::MainWindowWidget(HWND hwnd) : hwnd_(hwnd) {
    // A fixed-size window with a close and a minimise button and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    client_ = new ClientView(hwnd, this);
    setCentralWidget(client_);
    if (hwnd->menu) {
        menuBar()->setNativeMenuBar(false);  // inside the window, where the sizes count it
        BuildMenu(hwnd->menu, menuBar());
        SyncMenuStates();
    }
    // Fixed on X11, whose window managers honour it; on Wayland only a least size (see SyncSize).
    layout()->setSizeConstraint(OnWayland() ? QLayout::SetMinimumSize : QLayout::SetFixedSize);
    if (hwnd->icon && hwnd->icon->resource) {
        QIcon icon = ReadIcon(hwnd->icon->resource->bytes, hwnd->icon->resource->size);
        if (!icon.isNull()) setWindowIcon(icon);
    }
    if (hwnd->cursor && hwnd->cursor->resource) {
        if (auto cursor = ReadCursor(hwnd->cursor->resource->bytes, hwnd->cursor->resource->size))
            client_->setCursor(QCursor(QPixmap::fromImage(cursor->image), cursor->hotSpot.x(),
                                       cursor->hotSpot.y()));
    }
    SyncTitle();
    SyncGeometry();
}

MainWindowWidget::~MainWindowWidget() = default;

void MainWindowWidget::Detach() {
    hwnd_ = nullptr;
    client_->Detach();
    menuBindings_.clear();
    menus_.clear();
    hide();
}

void MainWindowWidget::SyncGeometry() {
    if (!hwnd_) return;
    client_->SyncSize();
    layout()->activate();  // the window takes its new fixed size now, not at the next event
    // On Wayland a window that the compositor does not size takes the game's size, as ours does.
    if (OnWayland() && !(windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        resize(minimumSize());
}

void MainWindowWidget::SyncTitle() {
    if (hwnd_) setWindowTitle(QString::fromStdString(Cp932ToUtf8(hwnd_->text)));
}

void MainWindowWidget::SyncMenuStates() {
    for (const MenuBinding& b : menuBindings_)
        b.action->setEnabled(!Greyed(b.menu->items[b.index]));
}

bool MainWindowWidget::HoldsMenu(HMENU menu) const {
    return std::find(menus_.begin(), menus_.end(), menu) != menus_.end();
}

void MainWindowWidget::BuildMenu(HMENU menu, QWidget* into) {
    menus_.push_back(menu);
    auto* bar = qobject_cast<QMenuBar*>(into);
    auto* popup = qobject_cast<QMenu*>(into);
    for (std::size_t i = 0; i < menu->items.size(); ++i) {
        const HMENU__::Item& item = menu->items[i];
        if (item.flags & MF_SEPARATOR) {
            bar ? bar->addSeparator() : popup->addSeparator();
            continue;
        }
        // The text keeps its '&' mnemonic, and a tab puts the accelerator text in Qt's shortcut
        // column; the action gets no shortcut, since keys reach the game's accelerator table.
        QAction* action;
        if (item.popup) {
            QMenu* sub = bar ? bar->addMenu(MenuText(item)) : popup->addMenu(MenuText(item));
            BuildMenu(item.popup, sub);
            action = sub->menuAction();
        } else {
            action = bar ? bar->addAction(MenuText(item)) : popup->addAction(MenuText(item));
            const UINT id = item.id;
            connect(action, &QAction::triggered, this, [this, id] {
                if (hwnd_ && IsLiveWindow(hwnd_))
                    PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
            });
        }
        menuBindings_.push_back(MenuBinding{action, menu, i});
    }
}

void MainWindowWidget::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The window keeps the game's size: a window manager's full screen or maximise is undone.
    // A Wayland compositor's word is final: the picture stays centred in the size it imposes.
    static constexpr Qt::WindowStates kResized = Qt::WindowFullScreen | Qt::WindowMaximized;
    if (event->type() == QEvent::WindowStateChange && (windowState() & kResized) && !OnWayland())
        QTimer::singleShot(0, this, [this] { setWindowState(windowState() & ~kResized); });
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
    // The close box asks the game; its DefWindowProc destroys the window, and the widget with it.
    event->ignore();
    if (hwnd_ && IsLiveWindow(hwnd_)) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
}

void MainWindowWidget::QueueKey(QKeyEvent* event, bool down) {
    const WPARAM vk = VirtualKeyFor(event->key());
    if (!vk || !hwnd_ || !IsLiveWindow(hwnd_)) {
        event->ignore();
        return;
    }
    const Qt::KeyboardModifiers held = event->modifiers();
    platform::QueueKey(hwnd_, vk, down,
             KeyModifiers(vk, held & Qt::ShiftModifier, held & Qt::ControlModifier, held & Qt::AltModifier),
             static_cast<DWORD>(event->timestamp()));
}

void MainWindowWidget::keyPressEvent(QKeyEvent* event) { QueueKey(event, true); }
void MainWindowWidget::keyReleaseEvent(QKeyEvent* event) { QueueKey(event, false); }

}  // namespace platform::qt
