// The help window: a text browser over the help pages that the resource script embeds.
#include "help_window.h"

#include "help_placement.h"
#include "main_window_widget.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFont>
#include <QKeyEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QHBoxLayout>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform::qt {
namespace {

// The script embeds each help file as "HELP_" + its name without extension, upper case.
constexpr char kHelpType[] = "HELPFILE";
constexpr char kHelpBook[] = "ZUM32.HLP";
constexpr QSize kHelpSize(560, 520);
constexpr QSize kSmallestHelp(240, 240);  // still a usable page, shrunk to fit beside the game

// The window's own words, in the language whose pages the resource lookups give.
struct HelpWords {
    const char16_t *title, *contents, *back, *forward;
};
constexpr HelpWords kJapaneseWords{u"ずむのタイル32 ヘルプ", u"目次", u"戻る", u"進む"};
constexpr HelpWords kEnglishWords{u"ずむのタイル32 Help", u"Contents", u"Back", u"Forward"};

const HelpWords& Words() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? kJapaneseWords : kEnglishWords;
}

// Serves every page, style sheet and picture that a page names from the embedded files.
class HelpBrowser final : public QTextBrowser {
public:
    explicit HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
        setOpenExternalLinks(false);
        document()->setDefaultStyleSheet(QString::fromUtf8(HelpFile(QStringLiteral("style.css"))));
    }

    QVariant loadResource(int type, const QUrl& name) override {
        const QByteArray bytes = HelpFile(name.fileName());
        if (bytes.isEmpty()) return {};
        // Pages are UTF-8 whatever their markup says.
        if (type == QTextDocument::HtmlResource || type == QTextDocument::StyleSheetResource)
            return QString::fromUtf8(bytes);
        return bytes;
    }
};

class HelpWindow;
QPointer<HelpWindow>& Current();

class HelpWindow final : public QWidget {
public:
    HelpWindow() {
        setAttribute(Qt::WA_DeleteOnClose);
        const HelpWords& words = Words();
        setWindowTitle(QString::fromUtf16(words.title));
        // The dialogs' font: main() maps it to IPAPGothic, which has every character we need.
        QFont font = this->font();
        font.setFamilies({QStringLiteral(u"ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic")});
        font.setPointSize(10);
        setFont(font);

        browser_ = new HelpBrowser(this);
        auto* contents = new QToolButton(this);
        contents->setText(QString::fromUtf16(words.contents));
        auto* back = new QToolButton(this);
        back->setText(QString::fromUtf16(words.back));
        back->setEnabled(false);
        auto* forward = new QToolButton(this);
        forward->setText(QString::fromUtf16(words.forward));
        forward->setEnabled(false);
        connect(contents, &QToolButton::clicked, this, &HelpWindow::ShowContents);
        connect(back, &QToolButton::clicked, browser_, &QTextBrowser::backward);
        connect(forward, &QToolButton::clicked, browser_, &QTextBrowser::forward);
        connect(browser_, &QTextBrowser::backwardAvailable, back, &QToolButton::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward, &QToolButton::setEnabled);

        auto* buttons = new QHBoxLayout;
        buttons->addWidget(contents);
        buttons->addWidget(back);
        buttons->addWidget(forward);
        buttons->addStretch();
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addLayout(buttons);
        layout->addWidget(browser_);
        resize(kHelpSize);
    }

    QTextBrowser* Browser() const { return browser_; }

    void ShowContents() { browser_->setSource(QUrl(QString::fromLatin1(kHelpContentsPage))); }

    // Beside the game's window and clear of it, with the game's icon.
    void PlaceBeside(QWidget* owner) {
        owner_ = owner;
        game_ = owner;
        owner->installEventFilter(this);
        setWindowIcon(owner->windowIcon());
        // Not yet shown, it has no frame: it gets the same decorations as the game's.
        const QWindow* handle = owner->windowHandle();
        decorations_ = (handle ? handle->frameGeometry() : owner->frameGeometry()).size() -
                       owner->size();
        Place();
    }

protected:
    // The game's window grows with a level-3 game and with the title after a level-1 game:
    // the help moves out of its way each time the size changes.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == game_ && event->type() == QEvent::Resize && isVisible()) Place();
        return QWidget::eventFilter(watched, event);
    }

    // Escape closes the help wherever its focus is: the browser and buttons leave that key to us.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
            close();
            return;
        }
        QWidget::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent* event) override {
        // Closed by its close box it is deleted later; a request until then opens a new one.
        if (Current() == this) Current() = nullptr;
        QWidget::closeEvent(event);
    }

    // Once the window manager has framed it, the real decorations may differ from the game's
    // (a window that can be resized has a handle at the bottom): it is placed again with them.
    void moveEvent(QMoveEvent* event) override {
        QWidget::moveEvent(event);
        Reframed();
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        Reframed();
    }

private:
    void Place() {
        if (!game_) return;
        // The window's own record of the game's frame follows the window manager's latest word.
        const QWindow* handle = game_->windowHandle();
        const QRect frame = handle ? handle->frameGeometry() : game_->frameGeometry();
        const QScreen* screen = game_->screen();
        const QRect placed = PlaceHelp(screen ? screen->availableGeometry() : QRect(), frame,
                                       kHelpSize + decorations_, kSmallestHelp + decorations_);
        resize(placed.size() - decorations_);
        move(placed.topLeft());  // the frame's position
    }

    void Reframed() {
        if (!owner_ || !windowHandle() || !isVisible()) return;
        const QMargins m = windowHandle()->frameMargins();
        const QSize decorations(m.left() + m.right(), m.top() + m.bottom());
        if (decorations.isNull()) return;  // not framed yet, or no window manager
        if (decorations != decorations_) {
            decorations_ = decorations;
            Place();
        }
        owner_ = nullptr;  // once only: from now on the player places it, until the game resizes
    }

    QTextBrowser* browser_;
    QPointer<QWidget> owner_;  // until the window manager has framed the window
    QPointer<QWidget> game_;   // the game's window, whose size changes place the help again
    QSize decorations_;
};

QPointer<HelpWindow>& Current() {
    static QPointer<HelpWindow> window;
    return window;
}

void Close() {
    HelpWindow* window = Current();
    Current() = nullptr;
    if (!window) return;
    window->hide();
    window->deleteLater();  // the request may come from inside one of its own events
}

}  // namespace

QByteArray HelpFile(const QString& fileName) {
    const QString stem = QFileInfo(fileName).completeBaseName();
    if (stem.isEmpty()) return {};
    const std::string name = "HELP_" + stem.toUpper().toStdString();
    const rc::Entry* e = FindEntry(name.c_str(), kHelpType);
    if (!e || !e->bytes) return {};
    return QByteArray(reinterpret_cast<const char*>(e->bytes), static_cast<qsizetype>(e->size));
}

QWidget* OpenHelpWindow() { return Current(); }

QTextBrowser* OpenHelpBrowser() {
    HelpWindow* window = Current();
    return window ? window->Browser() : nullptr;
}

BOOL HelpRequest(QWidget* owner, QObject* lifetime, const std::string& file, UINT command) {
    switch (command) {
        case HELP_CONTENTS: {
            if (!NamesHelpBook(file, kHelpBook)) return FALSE;
            // A Wayland compositor places the windows and lets no client raise its own: an open
            // help behind the game comes back on top as a new window, at its contents.
            if (Current() && OnWayland()) Close();
            HelpWindow* window = Current();
            if (!window) {
                window = new HelpWindow;
                Current() = window;
                // Closing the process's backend closes help with it, asked to or not.
                if (lifetime)
                    QObject::connect(lifetime, &QObject::destroyed, window,
                                     [window] { delete window; });
                if (owner) window->PlaceBeside(owner);
            }
            window->ShowContents();
            if (window->isMinimized()) window->showNormal();
            window->show();
            window->raise();
            window->activateWindow();
            return TRUE;
        }
        case HELP_QUIT:
            // One help window serves the whole program, so quitting closes it whatever book is named.
            Close();
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace platform::qt
