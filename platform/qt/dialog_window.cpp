// The Qt face of a running dialog: widgets laid out from the template, the user's actions handed
// to the core, the program's changes shown, and a nested loop that keeps the game's queue moving.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QDialog>
#include <QFontMetricsF>
#include <QFrame>
#include <QGroupBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QTimer>
#include <QValidator>

#include <algorithm>
#include <map>
#include <vector>

#include "../core/dialog_internal.h"
#include "main_window_widget.h"
#include "qt_backend.h"
#include "qt_dialogs.h"

namespace platform::qt {
namespace {

constexpr DWORD kSsNoPrefix = 0x0080;
constexpr DWORD kEsAlignMask = 0x0003;  // ES_LEFT, ES_CENTER, ES_RIGHT

QString FromCp932(const std::string& text) { return QString::fromStdString(Cp932ToUtf8(text)); }

// Without SS_NOPREFIX a static text underlines the character after "&", and "&&" shows one "&".
void ShowStaticText(QLabel* label, const QString& text, bool prefix) {
    if (!prefix || !text.contains(QLatin1Char('&'))) {
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
        return;
    }
    QString html;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
            ++i;
            QString c = QString(text[i]).toHtmlEscaped();
            html += text[i] == QLatin1Char('&') ? c : QStringLiteral("<u>") + c + QStringLiteral("</u>");
        } else {
            html += QString(text[i]).toHtmlEscaped();
        }
    }
    label->setTextFormat(Qt::RichText);
    label->setText(QStringLiteral("<span style=\"white-space:pre-wrap\">") + html +
                   QStringLiteral("</span>"));
}

// A static icon shows its icon resource at the system icon size, whatever the template says.
QPixmap IconPixmap(const std::string& name) {
    const rc::Entry* e = FindEntry(name.c_str(), RT_ICON);
    if (!e || e->kind != rc::Kind::Bytes || !e->bytes) return QPixmap();
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(e->bytes),
                                               static_cast<qsizetype>(e->size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const QSize system(32, 32);
    QImage best;
    for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage image = reader.read();
        if (image.isNull()) continue;
        if (image.size() == system) return QPixmap::fromImage(image);
        if (best.isNull() || image.width() > best.width()) best = image;
    }
    if (best.isNull()) return QPixmap();
    return QPixmap::fromImage(best.scaled(system, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

// The template's texts were sized for the Windows font, and ours may run wider (IPAPGothic's
// digits are a quarter wider than MS PGothic's): a control whose template text would not fit on
// one line gets its font condensed just enough, so that what fitted there fits here. The widest
// name a player can enter, sixteen W, needs about two thirds of the width.
void CondenseToFit(QWidget* widget, const QString& sample, qreal room) {
    if (sample.isEmpty()) return;
    QFont font = widget->font();
    for (int stretch = 100; stretch >= 50; --stretch) {
        font.setStretch(stretch);
        if (QFontMetricsF(font).horizontalAdvance(sample) <= room) {
            if (stretch < 100) widget->setFont(font);
            return;
        }
    }
}

// The dotted rectangle of Windows' focused control, every other pixel of its edges, drawn in the
// text's colour. Qt's styles draw a mark of their own only after a Tab, if at all.
void DrawFocusMark(QPainter& painter, const QRect& around, const QColor& colour) {
    if (around.width() < 2 || around.height() < 2) return;
    const QBrush dots(colour, Qt::Dense4Pattern);
    painter.setBrushOrigin(around.topLeft());
    painter.fillRect(QRect(around.left(), around.top(), around.width(), 1), dots);
    painter.fillRect(QRect(around.left(), around.bottom(), around.width(), 1), dots);
    painter.fillRect(QRect(around.left(), around.top() + 1, 1, around.height() - 2), dots);
    painter.fillRect(QRect(around.right(), around.top() + 1, 1, around.height() - 2), dots);
}

// A push button that shows the keyboard's focus with the dotted rectangle on its face.
class PushButton final : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.state &= ~QStyle::State_HasFocus;  // the style's own mark would be a second one
        painter.drawControl(QStyle::CE_PushButton, option);
        if (hasFocus()) {
            const QColor text = palette().color(QPalette::ButtonText);
            DrawFocusMark(painter, rect().adjusted(3, 3, -3, -3), text);
        }
    }
};

// A radio button whose mark only the core sets: a click is reported, the group rule answers.
// The keyboard's focus shows as the dotted rectangle around its text.
class RadioButton final : public QRadioButton {
public:
    RadioButton(HWND control, const QString& text, QWidget* parent);
    const HWND control;

protected:
    void nextCheckState() override {}

    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.state &= ~QStyle::State_HasFocus;
        painter.drawControl(QStyle::CE_RadioButton, option);
        if (!hasFocus() || option.text.isEmpty()) return;
        const QRect contents =
            style()->subElementRect(QStyle::SE_RadioButtonContents, &option, this);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
        const QRect text =
            style()->itemTextRect(option.fontMetrics, contents, flags, isEnabled(), option.text);
        DrawFocusMark(painter, text.adjusted(-1, -1, 1, 1) & rect(),
                      palette().color(QPalette::WindowText));
    }
};

// Qt takes a checkable button that is not auto-exclusive for a check box: ours is a radio
// button, checked as the core says, labelled by the group box drawn around it.
class RadioAccessible final : public QAccessibleWidget {
public:
    explicit RadioAccessible(RadioButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = Button()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action != pressAction())
            QAccessibleWidget::doAction(action);
        else if (widget()->isEnabled())
            Button()->click();
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        if (match & QAccessible::Label)
            if (QWidget* box = DialogWidget(GroupBoxAround(Button()->control)))
                if (QAccessibleInterface* label = QAccessible::queryAccessibleInterface(box))
                    found.append({label, QAccessible::Label});
        return found;
    }

private:
    RadioButton* Button() const { return static_cast<RadioButton*>(widget()); }
};

QAccessibleInterface* DialogControlAccessible(const QString&, QObject* object) {
    if (auto* radio = dynamic_cast<RadioButton*>(object)) return new RadioAccessible(radio);
    return nullptr;
}

RadioButton::RadioButton(HWND control, const QString& text, QWidget* parent)
    : QRadioButton(text, parent), control(control) {
    // Setting the text made Qt build the interface of a plain QRadioButton: the next query asks
    // the factory again.
    QAccessibleInterface* early = QAccessible::queryAccessibleInterface(this);
    if (early && !dynamic_cast<RadioAccessible*>(early))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(early));
}

class EditLimiter;

// The single-line edit without ES_AUTOHSCROLL: its text never scrolls, so what does not fit its
// width cannot be entered, and neither can more bytes than its limit.
class EditControl final : public QLineEdit {
public:
    EditControl(HWND control, QWidget* parent);
    qreal Room() const;                          // the width that the text may take
    void SetProgramText(const QString& text);    // the program's own texts are not limited

private:
    EditLimiter* limiter_;
};

class EditLimiter final : public QValidator {
public:
    EditLimiter(HWND control, EditControl* edit) : QValidator(edit), control_(control), edit_(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& t) { before_ = t; });
    }
    bool bypass = false;

    // Keystrokes, pastes and input-method commits alike: each inserted character is taken if
    // the text still fits with it (in bytes, in CP932 at all, and in width), else refused.
    State validate(QString& input, int& pos) const override {
        if (bypass || input == before_) return Acceptable;
        const qsizetype shorter = std::min(input.size(), before_.size());
        qsizetype head = 0;
        while (head < shorter && input[head] == before_[head]) ++head;
        qsizetype tail = 0;
        while (tail < shorter - head &&
               input[input.size() - 1 - tail] == before_[before_.size() - 1 - tail])
            ++tail;
        const QString inserted = input.mid(head, input.size() - head - tail);
        if (inserted.isEmpty()) return Acceptable;  // deleting always goes through
        const QString start = input.left(head), end = input.right(tail);
        QString kept;
        for (qsizetype i = 0; i < inserted.size();) {
            qsizetype length = inserted[i].isHighSurrogate() && i + 1 < inserted.size() ? 2 : 1;
            QString candidate = kept + inserted.mid(i, length);
            if (Fits(start + candidate + end)) kept = candidate;
            i += length;
        }
        input = start + kept + end;
        pos = static_cast<int>(head + kept.size());
        return Acceptable;
    }

private:
    bool Fits(const QString& text) const {
        const DialogControlRecord* c = ControlOf(control_);
        const std::size_t limit = c ? c->limit : kDefaultEditLimit;
        bool lossless = true;
        std::string bytes = Utf8ToCp932(text.toStdString(), &lossless);
        return lossless && bytes.size() <= limit &&
               QFontMetricsF(edit_->font()).horizontalAdvance(text) <= edit_->Room();
    }

    HWND control_;
    EditControl* edit_;
    QString before_;
};

EditControl::EditControl(HWND control, QWidget* parent)
    : QLineEdit(parent), limiter_(new EditLimiter(control, this)) {
    setValidator(limiter_);
}

qreal EditControl::Room() const {
    QStyleOptionFrame option;
    initStyleOption(&option);
    QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
    QMargins margins = textMargins();
    // QLineEdit keeps two pixels free on either side of its text.
    return contents.width() - margins.left() - margins.right() - 4;
}

void EditControl::SetProgramText(const QString& text) {
    limiter_->bypass = true;
    setText(text);
    limiter_->bypass = false;
}

class DialogWindow;
std::vector<DialogWindow*> running;  // nested modal runs, innermost last

class DialogWindow final : public QDialog, public DialogView {
public:
    DialogWindow(HWND dialog, QWidget* parent);
    ~DialogWindow() override;

    QWidget* WidgetOf(HWND window) const {
        auto it = widgets_.find(window);
        return it == widgets_.end() ? nullptr : it->second;
    }
    // Where Windows puts it: the template's position from the owner's client area, on screen.
    void Place(QWidget* owner);
    INT_PTR Run();

    void TextChanged(HWND window) override;
    void CheckChanged(HWND control) override;
    void FocusChanged(HWND control) override;
    void Ended(INT_PTR result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override { event->ignore(); }  // only EndDialog closes
    void reject() override {}
    // Tab and Shift+Tab from any control: the next tab stop as the dialog manager finds it.
    bool focusNextPrevChild(bool next) override {
        DialogTabKey(dialog_, next);
        return true;
    }
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameControls();
    QWidget* MakeControl(HWND control);
    void FitText(QWidget* label, HWND control);
    void Click(HWND control) { ClickDialogButton(dialog_, control->id); }
    void Pump();

    HWND dialog_;
    QSize base_;
    QRect client_;
    std::map<HWND, QWidget*> widgets_;
    std::map<const QObject*, HWND> controls_;
    bool looping_ = false;
    QTimer pump_;  // hands the game's queue out once the event that may have filled it is done
};

DialogWindow::DialogWindow(HWND dialog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      dialog_(dialog) {
    const DialogRecord* record = DialogOf(dialog);
    const rc::DialogTemplate& source = *record->source;
    setWindowTitle(FromCp932(dialog->text));
    QFont font = DialogFont(source);
    setFont(font);
    base_ = DialogBaseUnits(font);
    client_ = DialogUnitsToPixels(source.x, source.y, source.cx, source.cy, base_);
    // A Wayland compositor may still impose a size, and a dialog that refused it would be cut
    // off: there it only keeps the template's size as its least, the controls where they are.
    if (OnWayland())
        setMinimumSize(client_.size());
    else
        setFixedSize(client_.size());

    for (HWND control : record->controls) {
        QWidget* w = MakeControl(control);
        if (!w) continue;
        widgets_[control] = w;
        controls_[w] = control;
        // A click gives the focus; Tab is the core's rule (focusNextPrevChild), not Qt's chain.
        if (w->focusPolicy() != Qt::NoFocus) w->setFocusPolicy(Qt::ClickFocus);
        if (control->style & WS_DISABLED) w->setEnabled(false);
        if (!(control->style & WS_VISIBLE)) w->hide();
    }
    NameControls();
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        auto it = controls_.find(now);
        if (it != controls_.end()) DialogFocusMoved(it->second);
    });
    pump_.setSingleShot(true);
    pump_.setInterval(0);
    connect(&pump_, &QTimer::timeout, this, &DialogWindow::Pump);
    // Sees every event: any timer of the application may have made one of the game's timers
    // pending, and arrow keys must reach the group rule before a button acts on them.
    qApp->installEventFilter(this);
}

DialogWindow::~DialogWindow() {
    // The children go after the maps: no focus report or filtered event may reach them then.
    qApp->removeEventFilter(this);
    disconnect(qApp, nullptr, this, nullptr);
    if (DialogRecord* record = DialogOf(dialog_); record && record->view == this)
        record->view = nullptr;
}

QWidget* DialogWindow::MakeControl(HWND control) {
    const DialogControlRecord* record = ControlOf(control);
    const rc::DialogControl& source = *record->source;
    const QString text = FromCp932(control->text);
    QRect geometry = DialogUnitsToPixels(source.x, source.y, source.cx, source.cy, base_);
    QWidget* widget = nullptr;
    switch (record->kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new PushButton(text, this);
            button->setAutoDefault(true);
            button->setDefault(record->kind == ControlKind::DefPushButton);
            connect(button, &QPushButton::clicked, this, [this, control] { Click(control); });
            widget = button;
            break;
        }
        case ControlKind::AutoRadioButton: {
            auto* button = new RadioButton(control, text, this);
            button->setAutoExclusive(false);
            button->setChecked(record->checked);
            connect(button, &QRadioButton::clicked, this, [this, control] { Click(control); });
            widget = button;
            break;
        }
        case ControlKind::GroupBox: {
            auto* box = new QGroupBox(text, this);
            box->setFocusPolicy(Qt::NoFocus);
            widget = box;
            break;
        }
        case ControlKind::Text: {
            auto* label = new QLabel(this);
            const DWORD align = source.style & 0x1F;
            label->setAlignment(Qt::AlignTop | (align == SS_CENTER  ? Qt::AlignHCenter
                                                : align == SS_RIGHT ? Qt::AlignRight
                                                                    : Qt::AlignLeft));
            label->setWordWrap(true);
            ShowStaticText(label, text, !(source.style & kSsNoPrefix));
            widget = label;
            break;
        }
        case ControlKind::Icon: {
            auto* label = new QLabel(this);
            QPixmap pixmap = IconPixmap(control->text);
            label->setPixmap(pixmap);
            if (!pixmap.isNull()) geometry.setSize(pixmap.deviceIndependentSize().toSize());
            widget = label;
            break;
        }
        case ControlKind::EtchedFrame: {
            auto* frame = new QFrame(this);
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            widget = frame;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new EditControl(control, this);
            edit->setFrame(source.style & WS_BORDER);
            const DWORD align = source.style & kEsAlignMask;
            edit->setAlignment(Qt::AlignVCenter | (align == 1   ? Qt::AlignHCenter
                                                   : align == 2 ? Qt::AlignRight
                                                                : Qt::AlignLeft));
            edit->SetProgramText(text);
            connect(edit, &QLineEdit::textEdited, this, [control](const QString& t) {
                DialogEditChanged(control, Utf8ToCp932(t.toStdString()));
            });
            widget = edit;
            break;
        }
        case ControlKind::Other:
            return nullptr;
    }
    widget->setGeometry(geometry);
    if (auto* edit = dynamic_cast<EditControl*>(widget))
        CondenseToFit(edit, source.text ? QString::fromUtf16(source.text) : QString(), edit->Room());
    else if (record->kind == ControlKind::Text)
        FitText(widget, control);
    return widget;
}

// A static of one line keeps both its template text and the program's text on that line (a
// name of sixteen wide letters included): condensed for the wider of the two.
void DialogWindow::FitText(QWidget* label, HWND control) {
    if (label->height() >= 2 * QFontMetrics(font()).lineSpacing()) return;
    const rc::DialogControl& source = *ControlOf(control)->source;
    const QString sample = source.text ? QString::fromUtf16(source.text) : QString();
    const QString text = FromCp932(control->text);
    const QFontMetricsF metrics(font());
    label->setFont(font());
    CondenseToFit(label, metrics.horizontalAdvance(text) > metrics.horizontalAdvance(sample) ? text : sample,
                  label->width());
}

void DialogWindow::Place(QWidget* owner) {
    // Wayland places a window by its parent itself and ignores positions asked for.
    if (OnWayland()) {
        resize(client_.size());
        return;
    }
    QPoint origin;
    if (auto* main = qobject_cast<QMainWindow*>(owner); main && main->centralWidget())
        origin = main->centralWidget()->mapToGlobal(QPoint(0, 0));
    else if (owner)
        origin = owner->mapToGlobal(QPoint(0, 0));
    QRect placed(origin + client_.topLeft(), client_.size());
    // Windows keeps a dialog that would stick out of the screen inside it.
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect area = screen->availableGeometry();
        placed.moveRight(std::min(placed.right(), area.right()));
        placed.moveBottom(std::min(placed.bottom(), area.bottom()));
        placed.moveLeft(std::max(placed.left(), area.left()));
        placed.moveTop(std::max(placed.top(), area.top()));
    }
    setGeometry(placed);
}

INT_PTR DialogWindow::Run() {
    DialogRecord* record = DialogOf(dialog_);
    if (QWidget* w = WidgetOf(record->focus)) w->setFocus(Qt::OtherFocusReason);
    running.push_back(this);
    pump_.start();
    looping_ = true;
    if (!record->ended) exec();
    looping_ = false;
    running.erase(std::find(running.begin(), running.end(), this));
    return record->result;
}

void DialogWindow::Pump() {
    // Only the innermost dialog's loop hands out the game's messages.
    if (running.empty() || running.back() != this) return;
    if (const DialogRecord* record = DialogOf(dialog_)) DispatchQueued(record->owner);
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Timer) {
        // A zero timer rather than a posted call: a nested loop run from a posted call would
        // hold back calls posted before it, but timers it delivers.
        if (watched != &pump_ && !pump_.isActive()) pump_.start();
        return false;
    }
    if (event->type() != QEvent::KeyPress || !controls_.count(watched)) return false;
    // Arrow keys on a button move within its group, as the dialog manager does; an edit keeps them.
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Up && key != Qt::Key_Down)
        return false;
    return DialogArrowKey(dialog_, key == Qt::Key_Right || key == Qt::Key_Down);
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            DialogCancel(dialog_);
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            DialogDefaultButton(dialog_);
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

// Each control's name for a screen reader, asked anew whenever a text changes.
void DialogWindow::NameControls() {
    for (const auto& [control, widget] : widgets_) {
        const QString name = FromCp932(AccessibleControlName(control));
        if (widget->accessibleName() != name) widget->setAccessibleName(name);
    }
}

void DialogWindow::TextChanged(HWND window) {
    NameControls();
    if (window == dialog_) {
        setWindowTitle(FromCp932(window->text));
        return;
    }
    QWidget* widget = WidgetOf(window);
    const DialogControlRecord* record = ControlOf(window);
    if (!widget || !record) return;
    const QString text = FromCp932(window->text);
    switch (record->kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
        case ControlKind::AutoRadioButton:
            static_cast<QAbstractButton*>(widget)->setText(text);
            break;
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(widget)->setTitle(text);
            break;
        case ControlKind::Text:
            ShowStaticText(static_cast<QLabel*>(widget), text,
                           !(record->source->style & kSsNoPrefix));
            FitText(widget, window);
            break;
        case ControlKind::Icon:
            static_cast<QLabel*>(widget)->setPixmap(IconPixmap(window->text));
            break;
        case ControlKind::Edit:
            static_cast<EditControl*>(widget)->SetProgramText(text);
            break;
        default:
            break;
    }
}

void DialogWindow::CheckChanged(HWND control) {
    if (auto* button = qobject_cast<QAbstractButton*>(WidgetOf(control)))
        button->setChecked(ControlOf(control)->checked);
}

void DialogWindow::FocusChanged(HWND control) {
    QWidget* widget = WidgetOf(control);
    if (widget && !widget->hasFocus()) widget->setFocus(Qt::OtherFocusReason);
}

void DialogWindow::Ended(INT_PTR result) {
    if (looping_) done(static_cast<int>(result));
}

DialogWindow* ViewOf(HWND dialog) {
    const DialogRecord* record = DialogOf(dialog);
    return record ? dynamic_cast<DialogWindow*>(record->view) : nullptr;
}

QWidget* OwnerWidget(HWND owner) {
    if (QWidget* dialog = ViewOf(owner)) return dialog;
    if (auto* backend = dynamic_cast<QtBackend*>(&CurrentBackend()))
        if (MainWindowWidget* w = backend->WindowWidget(owner)) return w;
    if (QWidget* modal = QApplication::activeModalWidget()) return modal;
    return QApplication::activeWindow();
}

}  // namespace

INT_PTR RunDialog(HWND dialog) {
    DialogRecord* record = DialogOf(dialog);
    if (!record) return -1;
    AddDialogFontSubstitutions();
    static const bool factoryInstalled = (QAccessible::installFactory(DialogControlAccessible), true);
    (void)factoryInstalled;
    QPointer<QWidget> owner = OwnerWidget(record->owner);
    QPointer<DialogWindow> window = new DialogWindow(dialog, owner);
    record->view = window;
    window->Place(owner);
    KeepFromMinimising(window);
    INT_PTR result = window->Run();
    record->view = nullptr;
    delete window.data();  // null when its owner took it along
    ReturnFocus(owner);
    return result;
}

void EndDialog(HWND dialog) {
    if (const DialogRecord* record = DialogOf(dialog))
        if (DialogWindow* window = ViewOf(dialog)) window->Ended(record->result);
}

QWidget* DialogWidget(HWND window) {
    HWND dialog = DialogOf(window) ? window : ControlOf(window) ? window->parent : nullptr;
    DialogWindow* view = ViewOf(dialog);
    if (!view) return nullptr;
    return window == dialog ? view : view->WidgetOf(window);
}

}  // namespace platform::qt
