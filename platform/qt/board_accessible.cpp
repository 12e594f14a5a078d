// The game's client area for a screen reader: the window's own name, the board's cells as a table
// and the announcements, all texts asked of the game; and the events that the game notifies.
#include "board_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <map>

#include "main_window_widget.h"
#include "winuser.h"

namespace platform::qt {
namespace {

class BoardAccessible;

QString GameText(HWND hwnd, LONG child) {
    return hwnd ? QString::fromStdString(Cp932ToUtf8(AccessibleChildText(hwnd, child))) : QString();
}

int BoardSide(HWND hwnd) { return hwnd ? AccessibleBoardSide(hwnd) : 0; }

// A cell of the board (index below side * side) or the announcements after them.
class BoardChild final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    BoardChild(BoardAccessible* board, int index) : board_(board), index_(index) {}

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override {
        return IsCell() ? QAccessible::Cell : QAccessible::Notification;
    }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface && IsCell()
                   ? static_cast<QAccessibleTableCellInterface*>(this)
                   : nullptr;
    }

    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return Side() ? index_ % Side() : 0; }
    int rowIndex() const override { return Side() ? index_ / Side() : 0; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    int Side() const;
    bool IsCell() const { return index_ < Side() * Side(); }

    BoardAccessible* board_;
    int index_;
};

class BoardAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit BoardAccessible(ClientView* view) : QAccessibleWidget(view, QAccessible::Client) {}
    ~BoardAccessible() override {
        for (const auto& [index, id] : children_) QAccessible::deleteAccessibleInterface(id);
    }

    HWND Window() const { return view_ ? view_->Window() : nullptr; }
    ClientView* View() const { return view_; }
    int Side() const { return BoardSide(Window()); }

    // The interface of the child that the game numbers id (from 1).
    QAccessibleInterface* Child(LONG id) { return id >= 1 && id <= ChildCount() ? child(id - 1) : nullptr; }
    int ChildCount() const { return Side() * Side() + 1; }

    QAccessible::Role role() const override {
        return Side() ? QAccessible::Table : QAccessible::Client;
    }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? GameText(Window(), CHILDID_SELF) : QAccessibleWidget::text(t);
    }
    int childCount() const override { return ChildCount(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= ChildCount()) return nullptr;
        auto found = children_.find(index);
        if (found != children_.end()) return QAccessible::accessibleInterface(found->second);
        auto* made = new BoardChild(const_cast<BoardAccessible*>(this), index);
        children_[index] = QAccessible::registerAccessibleInterface(made);
        return made;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : children_)
            if (QAccessible::accessibleInterface(id) == child) return index;
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        return view_ && view_->hasFocus() && focused_ > 0 ? child(focused_ - 1) : nullptr;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface && Side())
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The table: the board's cells, none of them selectable.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const int side = Side();
        return row >= 0 && column >= 0 && row < side && column < side ? child(row * side + column)
                                                                      : nullptr;
    }
    int columnCount() const override { return Side(); }
    int rowCount() const override { return Side(); }
    int selectedCellCount() const override { return 0; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QString columnDescription(int column) const override { return QString::number(column + 1); }
    QString rowDescription(int row) const override { return QString::number(row + 1); }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    LONG focused_ = 0;  // the child that the game gave the reader's attention last

private:
    QPointer<ClientView> view_{static_cast<ClientView*>(widget())};
    mutable std::map<int, QAccessible::Id> children_;
};

bool BoardChild::isValid() const { return board_->View() && index_ < board_->ChildCount(); }
QWindow* BoardChild::window() const { return board_->window(); }
QAccessibleInterface* BoardChild::parent() const { return board_; }
int BoardChild::Side() const { return board_->Side(); }

QString BoardChild::text(QAccessible::Text t) const {
    return t == QAccessible::Name ? GameText(board_->Window(), index_ + 1) : QString();
}

QRect BoardChild::rect() const {
    ClientView* view = board_->View();
    HWND hwnd = board_->Window();
    const int side = Side();
    if (!view || !hwnd || !IsCell()) return board_->rect();
    // The clue margin fills the rest of the square client area.
    const int margin = hwnd->framebuffer.width / 16 - side;
    const int x = (margin + columnIndex()) * 16, y = (margin + rowIndex()) * 16;
    return view->ScreenRect(RECT{x, y, x + 16, y + 16});
}

QAccessible::State BoardChild::state() const {
    QAccessible::State state;
    if (!IsCell()) return state;
    state.focusable = true;
    state.focused = board_->focusChild() == this;
    return state;
}

QAccessibleInterface* BoardFactory(const QString&, QObject* object) {
    if (auto* view = qobject_cast<ClientView*>(object)) return new BoardAccessible(view);
    return nullptr;
}

BoardAccessible* BoardOf(QWidget* view) {
    if (!view || !QAccessible::isActive()) return nullptr;
    return dynamic_cast<BoardAccessible*>(QAccessible::queryAccessibleInterface(view));
}

}  // namespace

void InstallBoardAccessible() {
    static const bool installed = (QAccessible::installFactory(BoardFactory), true);
    (void)installed;
}

void BoardAccessibleEvent(QWidget* view, DWORD event, LONG child) {
    BoardAccessible* board = BoardOf(view);
    if (!board) return;
    if (event == EVENT_OBJECT_FOCUS) board->focused_ = child;
    QAccessibleInterface* target = child == CHILDID_SELF ? board : board->Child(child);
    if (!target) return;
    switch (event) {
        case EVENT_OBJECT_FOCUS: {
            if (!view->hasFocus()) return;  // said when the window has the keyboard again
            QAccessibleEvent focus(target, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
            break;
        }
        case EVENT_OBJECT_NAMECHANGE: {
            QAccessibleEvent renamed(target, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&renamed);
            break;
        }
        case EVENT_SYSTEM_ALERT: {
            QAccessibleEvent shown(target, QAccessible::ObjectShow);
            QAccessible::updateAccessibility(&shown);
            break;
        }
        default:
            break;
    }
}

void BoardFocused(QWidget* view) {
    BoardAccessible* board = BoardOf(view);
    if (!board || board->focused_ == CHILDID_SELF) return;
    BoardAccessibleEvent(view, EVENT_OBJECT_FOCUS, board->focused_);
}

}  // namespace platform::qt
