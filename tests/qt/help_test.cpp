// The help window of WinHelpA: contents, raising, quitting, and the embedded pages and links.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/internal.h"
#include "platform/qt/help_window.h"
#include "platform/qt/main_window_widget.h"
#include "platform/qt/qt_backend.h"
#include "platform_test.h"
#include "qt_test_app.h"

namespace {

using platform::qt::HelpFile;
using platform::qt::OpenHelpBrowser;
using platform::qt::OpenHelpWindow;

LRESULT PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The help book of each language (LANGUAGE names it): the window's title, the contents' heading,
// and the topics that the contents page lists, by page and the words its link shows.
struct Book {
    const char* language;
    QString title, contents;
    std::vector<std::pair<QString, QString>> topics;
};
const std::vector<Book> kBooks = {
    {"ja", "ずむのタイル32 ヘルプ", "目次",
     {{"goal.html", "ゲームの目的"}, {"clues.html", "ヒントの読み方"}, {"open.html", "マスを開ける"},
      {"drag.html", "ドラッグで開ける"}, {"flags.html", "旗を立てる"}, {"bombs.html", "5つ目の爆弾"},
      {"panel.html", "時計とカウンター"}, {"levels.html", "3つのレベル"},
      {"records.html", "記録と名前の入力"}, {"menu.html", "メニューとキー操作"},
      {"keyboard.html", "キーボードで遊ぶ"}}},
    {"en", "ずむのタイル32 Help", "Contents",
     {{"goal.html", "The aim of the game"}, {"clues.html", "Reading the clues"},
      {"open.html", "Opening cells"}, {"drag.html", "Opening cells by dragging"}, {"flags.html", "Flags"},
      {"bombs.html", "the fifth bomb"}, {"panel.html", "The clock and the counters"},
      {"levels.html", "The three levels"}, {"records.html", "Best times and your name"},
      {"menu.html", "Menus and keys"}, {"keyboard.html", "Playing with the keyboard"}}},
};

struct Link {
    QString page;
    QString anchor;
};

std::vector<Link> LinksOf(const QTextDocument& doc) {
    std::vector<Link> links;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isAnchor() || f.anchorHref().isEmpty()) continue;
            const QUrl url(f.anchorHref());
            links.push_back({url.path(), url.fragment()});
        }
    return links;
}

QSet<QString> AnchorsOf(const QTextDocument& doc) {
    QSet<QString> names;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& n : it.fragment().charFormat().anchorNames()) names.insert(n);
    return names;
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        qt_test::App();
        platform_test::Reset();
        backend_ = std::make_unique<platform::qt::QtBackend>();
        platform::SetBackend(backend_.get());
        WNDCLASSA wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = "HELPTEST";
        ASSERT_NE(RegisterClassA(&wc), 0);
        hwnd_ = CreateWindowExA(0, "HELPTEST", "game", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                CW_USEDEFAULT, 376, 406, nullptr, nullptr, nullptr, nullptr);
        ShowWindow(hwnd_, SW_SHOWNORMAL);
    }

    void TearDown() override {
        WinHelpA(hwnd_, "ZOZAR.HLP", HELP_QUIT, 0);
        setenv("LANGUAGE", "ja", 1);
        platform_test::Reset();
        backend_.reset();
        DeleteLater();
    }

    static void DeleteLater() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    static QString Page() {
        QTextBrowser* b = OpenHelpBrowser();
        return b ? b->source().fileName() : QString();
    }

    std::unique_ptr<platform::qt::QtBackend> backend_;
    HWND hwnd_ = nullptr;
};

TEST_F(HelpTest, ContentsOpenAWindowOfItsOwnOnTheContentsPage) {
    for (const Book& book : kBooks) {
        SCOPED_TRACE(book.language);
        setenv("LANGUAGE", book.language, 1);
        EXPECT_EQ(OpenHelpWindow(), nullptr);
        EXPECT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
        QWidget* window = OpenHelpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->windowModality(), Qt::NonModal);
        EXPECT_EQ(window->windowTitle(), book.title);
        EXPECT_GE(window->width(), 400);
        EXPECT_GE(window->height(), 300);
        EXPECT_NE(window, static_cast<QWidget*>(backend_->WindowWidget(hwnd_)));
        EXPECT_EQ(Page(), "index.html");

        // The contents list links every topic, with the words the player reads.
        const QTextDocument& doc = *OpenHelpBrowser()->document();
        const QString text = doc.toPlainText();
        EXPECT_TRUE(text.contains(book.contents));
        QSet<QString> linked;
        for (const Link& l : LinksOf(doc)) linked.insert(l.page);
        for (const auto& [page, words] : book.topics) {
            SCOPED_TRACE(page.toStdString());
            EXPECT_TRUE(linked.contains(page));
            EXPECT_TRUE(text.contains(words));
        }
        WinHelpA(hwnd_, "ZUM32.HLP", HELP_QUIT, 0);
        DeleteLater();
    }
}

TEST_F(HelpTest, ASecondRequestRaisesTheSameWindowBackOnTheContents) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    QPointer<QWidget> first = OpenHelpWindow();
    OpenHelpBrowser()->setSource(QUrl("bombs.html"));
    ASSERT_EQ(Page(), "bombs.html");
    first->showMinimized();
    EXPECT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    DeleteLater();
    EXPECT_EQ(OpenHelpWindow(), first.data());
    EXPECT_TRUE(first->isVisible());
    EXPECT_FALSE(first->isMinimized());
    EXPECT_EQ(Page(), "index.html");
}

TEST_F(HelpTest, QuitClosesTheWindowWhateverBookItNames) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    QPointer<QWidget> window = OpenHelpWindow();
    // The game quits naming another book than the one it opened; quitting is for the program.
    EXPECT_EQ(WinHelpA(hwnd_, "ZOZAR.HLP", HELP_QUIT, 0), TRUE);
    EXPECT_EQ(OpenHelpWindow(), nullptr);
    ASSERT_TRUE(window.isNull() || !window->isVisible());
    DeleteLater();
    EXPECT_TRUE(window.isNull());
    // Quitting with nothing open is harmless, and the next request opens a new window.
    EXPECT_EQ(WinHelpA(hwnd_, "ZOZAR.HLP", HELP_QUIT, 0), TRUE);
    EXPECT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    ASSERT_NE(OpenHelpWindow(), nullptr);
    EXPECT_TRUE(OpenHelpWindow()->isVisible());
}

TEST_F(HelpTest, AWindowClosedByItsCloseBoxIsOpenedAfreshByTheNextRequest) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    QPointer<QWidget> closed = OpenHelpWindow();
    closed->close();
    EXPECT_EQ(OpenHelpWindow(), nullptr);
    // Asked again before Qt deleted the closed one: the new window must outlive that deletion.
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    DeleteLater();
    EXPECT_TRUE(closed.isNull());
    ASSERT_NE(OpenHelpWindow(), nullptr);
    EXPECT_TRUE(OpenHelpWindow()->isVisible());
}

TEST_F(HelpTest, EscapeOnThePageClosesTheWindow) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    QPointer<QWidget> window = OpenHelpWindow();
    // The page has the keyboard; the window, not the page, acts on the key.
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(OpenHelpBrowser(), &escape);
    EXPECT_EQ(OpenHelpWindow(), nullptr);
    ASSERT_TRUE(window.isNull() || !window->isVisible());
    DeleteLater();
    EXPECT_TRUE(window.isNull());
}

TEST_F(HelpTest, TheWindowMovesClearOfTheGameWhenTheGameGrows) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    const QWidget* help = OpenHelpWindow();
    const QWidget* game = backend_->WindowWidget(hwnd_);
    ASSERT_FALSE(help->frameGeometry().intersects(game->frameGeometry()));
    // A level-3 game's window, asked for as the game asks: 480 pixels of board and clues.
    const QSize before = game->size();
    SetWindowPos(hwnd_, nullptr, 0, 0, 2 * GetSystemMetrics(SM_CXFRAME) + 480,
                 GetSystemMetrics(SM_CYCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME) + 480,
                 SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_GT(game->width(), before.width());
    EXPECT_FALSE(help->frameGeometry().intersects(game->frameGeometry()))
        << "game " << game->frameGeometry().x() << "," << game->frameGeometry().y() << " "
        << game->frameGeometry().width() << "x" << game->frameGeometry().height() << "; help "
        << help->frameGeometry().x() << "," << help->frameGeometry().y() << " "
        << help->frameGeometry().width() << "x" << help->frameGeometry().height();
}

TEST_F(HelpTest, RequestsForOtherBooksOrCommandsOpenNothing) {
    struct Case {
        const char* file;
        UINT command;
        BOOL result;
    };
    const Case cases[] = {
        {"ZUM32.HLP", HELP_CONTENTS, TRUE},
        {"zum32.hlp", HELP_CONTENTS, TRUE},
        {"C:\\GAMES\\ZUM32.HLP", HELP_CONTENTS, TRUE},
        {"ZOZAR.HLP", HELP_CONTENTS, FALSE},
        {"", HELP_CONTENTS, FALSE},
        {"ZUM32.HLP", HELP_CONTEXT, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.command));
        EXPECT_EQ(WinHelpA(hwnd_, c.file, c.command, 0), c.result);
        EXPECT_EQ(OpenHelpWindow() != nullptr, c.result == TRUE);
        WinHelpA(hwnd_, "ZOZAR.HLP", HELP_QUIT, 0);
    }
}

TEST_F(HelpTest, TheWindowEndsWithTheBackendThatOpenedIt) {
    ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
    QPointer<QWidget> window = OpenHelpWindow();
    platform_test::Reset();
    backend_.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(OpenHelpWindow(), nullptr);
}

TEST_F(HelpTest, EveryLinkOfEveryPageLeadsToAnEmbeddedPageAndAnchor) {
    ASSERT_FALSE(HelpFile("style.css").isEmpty());
    // Kana, ideographs and full-width forms, which an English reader cannot read.
    const QRegularExpression japanese(QString::fromUtf8("[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]"));
    for (const Book& book : kBooks) {
        SCOPED_TRACE(book.language);
        setenv("LANGUAGE", book.language, 1);
        ASSERT_EQ(WinHelpA(hwnd_, "ZUM32.HLP", HELP_CONTENTS, 0), TRUE);
        QTextBrowser* browser = OpenHelpBrowser();
        // Walk every page reachable from the contents, as a reader following links would.
        std::vector<QString> queue = {"index.html"};
        QSet<QString> visited;
        while (!queue.empty()) {
            const QString page = queue.back();
            queue.pop_back();
            if (visited.contains(page)) continue;
            visited.insert(page);
            SCOPED_TRACE(page.toStdString());
            ASSERT_FALSE(HelpFile(page).isEmpty());
            browser->setSource(QUrl(page));
            ASSERT_EQ(Page(), page);
            EXPECT_FALSE(browser->documentTitle().isEmpty());
            const QString text = browser->toPlainText();
            EXPECT_FALSE(text.trimmed().isEmpty());
            if (std::string(book.language) != "ja") {
                EXPECT_FALSE(QString(text).remove(QString::fromUtf8("ずむのタイル32")).contains(japanese));
            }
            for (const Link& l : LinksOf(*browser->document())) {
                const QString target = l.page.isEmpty() ? page : l.page;
                SCOPED_TRACE(("-> " + target + "#" + l.anchor).toStdString());
                EXPECT_FALSE(HelpFile(target).isEmpty());
                if (!l.anchor.isEmpty()) {
                    QTextDocument doc;
                    doc.setHtml(QString::fromUtf8(HelpFile(target)));
                    EXPECT_TRUE(AnchorsOf(doc).contains(l.anchor));
                }
                queue.push_back(target);
            }
        }
        for (const auto& [page, words] : book.topics)
            EXPECT_TRUE(visited.contains(page)) << page.toStdString();
        // Every page leads back to the contents.
        for (const QString& page : visited) {
            if (page == "index.html") continue;
            browser->setSource(QUrl(page));
            bool back = false;
            for (const Link& l : LinksOf(*browser->document())) back |= l.page == "index.html";
            EXPECT_TRUE(back) << page.toStdString();
        }
        WinHelpA(hwnd_, "ZUM32.HLP", HELP_QUIT, 0);
        DeleteLater();
    }
}

}  // namespace
