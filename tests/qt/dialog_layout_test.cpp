// The Qt face of the dialogs: pixels from dialog units, radio groups, keys that must not close,
// the edit's byte and width limits, texts changed while open, the game's timers underneath, and
// what a screen reader is told.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QImage>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QStyle>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "game/game_state.h"
#include "platform/core/dialog_internal.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/qt_dialogs.h"
#include "platform_test.h"
#include "platform_test_dialogs.h"
#include "qt_test_app.h"
#include "records/best_five.h"
#include "records/dialogs.h"
#include "resource.h"

namespace {

std::string Cp932(const char* utf8) { return platform::Utf8ToCp932(utf8); }

std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> procedure;
std::vector<WORD> commands;
HWND openDialog = nullptr;

INT_PTR CALLBACK TestProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) openDialog = dialog;
    if (msg == WM_COMMAND) commands.push_back(LOWORD(wParam));
    return procedure ? procedure(dialog, msg, wParam, lParam) : 0;
}

int ownerTimerTicks = 0;
LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) ++ownerTimerTicks;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

QWidget* Item(int id) { return platform::qt::DialogWidget(GetDlgItem(openDialog, id)); }
QDialog* Shown() { return qobject_cast<QDialog*>(platform::qt::DialogWidget(openDialog)); }

void Key(QWidget* to, int key, const QString& text = QString(),
         Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(to, &release);
}

void Type(QWidget* to, const QString& text) {
    for (QChar c : text) Key(to, c.toUpper().unicode(), QString(c));
}

void Commit(QWidget* to, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(to, &event);
}

// A left click a few pixels in from the left edge: on a radio button's mark.
void Click(QWidget* on) {
    QPointF at(6, on->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, at, on->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(on, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, on->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(on, &release);
}

void Settle(int ms = 0) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Just what a dialog needs from a backend, with timers as Qt timers: whatever keeps the game's
// queue moving under the dialog is the dialog's own doing.
class BareBackend final : public platform::Backend {
public:
    void WaitForEvents() override {}
    int MessageBox(HWND, const std::string&, const std::string&, UINT) override { return IDOK; }
    INT_PTR RunDialog(HWND dialog) override { return platform::qt::RunDialog(dialog); }
    void EndDialog(HWND dialog) override { platform::qt::EndDialog(dialog); }
    void TimerStarted(HWND hwnd, UINT_PTR id, UINT periodMs) override {
        auto timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [hwnd, id] {
            platform::TimerElapsed(hwnd, id);
        });
        timer->start(static_cast<int>(periodMs));
        timers.push_back(std::move(timer));
    }
    std::vector<std::unique_ptr<QTimer>> timers;
};

class DialogLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        qt_test::App();
        platform::qt::AddDialogFontSubstitutions();
        platform_test::Reset();
        backend_ = std::make_unique<platform::qt::QtBackend>();
        platform::SetBackend(backend_.get());
        procedure = nullptr;
        commands.clear();
        openDialog = nullptr;
        ownerTimerTicks = 0;
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "DLGOWNER";
        ASSERT_NE(RegisterClassA(&wc), 0);
        owner = CreateWindowA("DLGOWNER", "owner", WS_CAPTION | WS_SYSMENU, 100, 100, 400, 400,
                              nullptr, nullptr, nullptr, nullptr);
        ShowWindow(owner, SW_SHOWNORMAL);
        platform_test::PumpMessages();
    }
    void TearDown() override {
        procedure = nullptr;
        platform_test::Reset();
        platform::SetBackend(nullptr);
        backend_.reset();
    }

    // Opens a template; inside runs in the dialog's own modal loop once it shows. A dialog that
    // inside leaves open is ended with -99.
    INT_PTR Open(const char* name, std::function<void()> inside) {
        QTimer::singleShot(0, [&] {
            if (!openDialog || !Shown()) {
                ADD_FAILURE() << "no dialog shown";
                return;
            }
            for (int waited = 0; !Shown()->isActiveWindow() && waited < 1000; waited += 10)
                Settle(10);
            inside();
            if (openDialog && !platform_test::DialogEnded(openDialog)) EndDialog(openDialog, -99);
        });
        INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), name, owner, TestProc, 0);
        openDialog = nullptr;
        return result;
    }

    HWND owner = nullptr;
    std::unique_ptr<platform::Backend> backend_;
};

bool HaveIpaFont() { return QFontInfo(QFont(QStringLiteral("IPAPGothic"), 9)).family() == QStringLiteral("IPAPGothic"); }

TEST_F(DialogLayoutTest, BaseUnitsOfTheTemplateFont) {
    if (!HaveIpaFont()) GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    const rc::Entry* e = platform::FindEntry("DLG_ENTRY", RT_DIALOG);
    ASSERT_NE(e, nullptr);
    QFont font = platform::qt::DialogFont(*static_cast<const rc::DialogTemplate*>(e->structured));
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));
    EXPECT_EQ(QFontInfo(font).pixelSize(), 12);
    QSize base = platform::qt::DialogBaseUnits(font);
    std::cout << "dialog base units: " << base.width() << " x " << base.height() << "\n";
    EXPECT_EQ(base, QSize(7, 13));
}

TEST_F(DialogLayoutTest, PixelsFromDialogUnitsRoundAsMulDiv) {
    if (!HaveIpaFont()) GTEST_SKIP() << "fonts-ipafont-gothic is not installed";
    struct Case {
        int id;
        QRect pixels;  // base units 7 x 13; halves round up
    };
    const Case cases[] = {
        {IDC_PROP_OK, {224, 195, 88, 23}},      // 50 x 14 units: 87.5 and 22.75
        {IDC_PROP_GROUP, {14, 7, 392, 176}},    // y 4: 6.5; height 108: 175.5
        {IDC_PROP_LEVEL3, {28, 124, 203, 20}},  // y 76: 123.5; height 12: 19.5
        {IDC_PROP_NAME1, {182, 52, 112, 13}},
        {IDC_PROP_CLEAR3, {308, 137, 84, 23}},  // y 84: 136.5
    };
    Open("DLG_PROPATY", [&] {
        QDialog* dialog = Shown();
        EXPECT_EQ(dialog->size(), QSize(422, 229));  // 241 x 141 units
        EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("プロパティ"));
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
        for (const Case& c : cases) {
            ASSERT_NE(Item(c.id), nullptr) << c.id;
            EXPECT_EQ(Item(c.id)->geometry(), c.pixels) << c.id;
        }
        EXPECT_EQ(qobject_cast<QGroupBox*>(Item(IDC_PROP_GROUP))->title(), QString::fromUtf8("サイズ"));
        // Right-aligned times, as RTEXT asks.
        EXPECT_TRUE(qobject_cast<QLabel*>(Item(IDC_PROP_TIME1))->alignment() & Qt::AlignRight);
        EndDialog(openDialog, 1);
    });
    Open("DLG_ABOUT", [&] {
        QWidget* icon = nullptr;
        for (QLabel* label : Shown()->findChildren<QLabel*>())
            if (!label->pixmap().isNull()) icon = label;
        if (!platform::FindEntry("ICON_ZUM32", RT_ICON)) {
            EXPECT_EQ(icon, nullptr);
        } else {
            // The icon takes the system icon size, not the template's 18 x 20 units.
            ASSERT_NE(icon, nullptr);
            EXPECT_EQ(icon->geometry(), QRect(14, 13, 32, 32));
        }
        EndDialog(openDialog, 1);
    });
}

TEST_F(DialogLayoutTest, RadioClicksKeepOneOfTheGroupChecked) {
    procedure = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            CheckRadioButton(dialog, IDC_PROP_LEVEL1, IDC_PROP_LEVEL3, IDC_PROP_LEVEL1);
            SetFocus(GetDlgItem(dialog, IDC_PROP_OK));
        } else if (msg == WM_COMMAND && LOWORD(wParam) == IDC_PROP_OK) {
            EndDialog(dialog, 1);
            return 1;
        }
        return 0;
    };
    auto marks = [] {
        std::string s;
        for (int id : {IDC_PROP_LEVEL1, IDC_PROP_LEVEL2, IDC_PROP_LEVEL3}) {
            bool widget = qobject_cast<QRadioButton*>(Item(id))->isChecked();
            bool core = IsDlgButtonChecked(openDialog, id) == BST_CHECKED;
            s += widget != core ? '?' : core ? '1' : '0';
        }
        return s;
    };
    INT_PTR result = Open("DLG_PROPATY", [&] {
        EXPECT_EQ(marks(), "100");
        EXPECT_TRUE(Item(IDC_PROP_OK)->hasFocus());
        Click(Item(IDC_PROP_LEVEL3));
        EXPECT_EQ(marks(), "001");
        EXPECT_EQ(commands, std::vector<WORD>{IDC_PROP_LEVEL3});
        Click(Item(IDC_PROP_LEVEL3));  // a second click leaves it checked
        EXPECT_EQ(marks(), "001");
        Key(Item(IDC_PROP_LEVEL3), Qt::Key_Down);  // wraps to the group's first button
        EXPECT_EQ(marks(), "100");
        EXPECT_TRUE(Item(IDC_PROP_LEVEL1)->hasFocus());
        Click(Item(IDC_PROP_OK));
    });
    EXPECT_EQ(result, 1);
}

TEST_F(DialogLayoutTest, TabEntersTheRadioGroupAtItsCheckedButton) {
    procedure = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            CheckRadioButton(dialog, IDC_PROP_LEVEL1, IDC_PROP_LEVEL3, IDC_PROP_LEVEL2);
            SetFocus(GetDlgItem(dialog, IDC_PROP_OK));
        }
        return 0;
    };
    Open("DLG_PROPATY", [&] {
        struct Press {
            int key;
            int focus;
        };
        const Press presses[] = {{Qt::Key_Tab, IDC_PROP_CANCEL},    {Qt::Key_Tab, IDC_PROP_LEVEL2},
                                 {Qt::Key_Down, IDC_PROP_LEVEL3},   {Qt::Key_Tab, IDC_PROP_CLEAR1},
                                 {Qt::Key_Backtab, IDC_PROP_LEVEL3}, {Qt::Key_Backtab, IDC_PROP_CANCEL}};
        for (const Press& p : presses) {
            Key(QApplication::focusWidget(), p.key, QString(),
                p.key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
            EXPECT_TRUE(Item(p.focus)->hasFocus()) << "press " << &p - presses;
            EXPECT_EQ(platform_test::FocusedDialogItem(openDialog), p.focus);
        }
        EXPECT_TRUE(qobject_cast<QRadioButton*>(Item(IDC_PROP_LEVEL3))->isChecked());
        EndDialog(openDialog, 1);
    });
}

TEST_F(DialogLayoutTest, TheFocusedRadioButtonShowsAMark) {
    Open("DLG_PROPATY", [&] {
        QWidget* radio = Item(IDC_PROP_LEVEL2);
        auto shot = [&](int focus) {
            SetFocus(GetDlgItem(openDialog, focus));
            EXPECT_TRUE(Item(focus)->hasFocus());
            return Shown()->grab(radio->geometry()).toImage();
        };
        const QImage focused = shot(IDC_PROP_LEVEL2);
        const QImage unfocused = shot(IDC_PROP_OK);
        ASSERT_EQ(focused.size(), unfocused.size());
        int differ = 0;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x)
                differ += focused.pixel(x, y) != unfocused.pixel(x, y);
        EXPECT_GT(differ, 0);
        EndDialog(openDialog, 1);
    });
}

TEST_F(DialogLayoutTest, EscapeAndTheWindowManagerLeaveItOpenThenTheOwnerHasTheKeyboard) {
    procedure = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_ABOUT_OK) {
            EndDialog(dialog, 1);
            return 1;
        }
        return 0;
    };
    INT_PTR result = Open("DLG_ABOUT", [&] {
        QDialog* dialog = Shown();
        Key(dialog, Qt::Key_Escape);
        EXPECT_EQ(commands, std::vector<WORD>{IDCANCEL});
        dialog->close();
        Settle();
        EXPECT_TRUE(dialog->isVisible());
        dialog->showMinimized();
        Settle(20);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->isMinimized());
        EXPECT_FALSE(platform_test::DialogEnded(openDialog));
        Key(dialog, Qt::Key_Return);  // the default button
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(commands, (std::vector<WORD>{IDCANCEL, IDC_ABOUT_OK}));
    Settle(20);
    EXPECT_EQ(QApplication::activeWindow(), platform::qt::TopLevelWidget(owner));
}

TEST_F(DialogLayoutTest, NameEditTakesSixteenBytesThatFitItsWidth) {
    std::string name;
    procedure = [&](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            SendDlgItemMessageA(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, 16, 0);
            SetDlgItemTextA(dialog, IDC_ENTRY_NAME, "");
            SetFocus(GetDlgItem(dialog, IDC_ENTRY_NAME));
        } else if (msg == WM_COMMAND && LOWORD(wParam) == IDC_ENTRY_OK) {
            char buffer[17];
            GetDlgItemTextA(dialog, IDC_ENTRY_NAME, buffer, sizeof buffer);
            name = buffer;
            EndDialog(dialog, 1);
            return 1;
        }
        return 0;
    };
    auto reset = [] { SetDlgItemTextA(openDialog, IDC_ENTRY_NAME, ""); };
    INT_PTR result = Open("DLG_ENTRY", [&] {
        auto* edit = qobject_cast<QLineEdit*>(Item(IDC_ENTRY_NAME));
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->hasFocus());
        EXPECT_TRUE(edit->text().isEmpty());

        // Input methods commit whole strings: what fits is taken, the rest refused.
        Commit(edit, QString::fromUtf8("ずむずむずむず"));
        Commit(edit, QString::fromUtf8("むあ"));
        EXPECT_EQ(edit->text(), QString::fromUtf8("ずむずむずむずむ"));
        EXPECT_EQ(platform_test::DialogItemText(openDialog, IDC_ENTRY_NAME),
                  Cp932("ずむずむずむずむ"));
        // A character that Shift-JIS cannot hold is refused.
        reset();
        Commit(edit, QString::fromUtf8("a한b"));
        EXPECT_EQ(edit->text(), QStringLiteral("ab"));
        // Without horizontal scrolling a line of wide letters stops at the edit's width.
        reset();
        Type(edit, QStringLiteral("WWWWWWWWWWWWWWWW"));
        const QString ws = edit->text();
        EXPECT_GT(ws.size(), 4);
        EXPECT_LT(ws.size(), 16);
        // QLineEdit's text area: inside the frame, two pixels in from either side.
        const int room = edit->width() - 2 * edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) - 4;
        EXPECT_LE(QFontMetricsF(edit->font()).horizontalAdvance(ws), room);
        EXPECT_GT(QFontMetricsF(edit->font()).horizontalAdvance(ws + QLatin1Char('W')), room);

        reset();
        Type(edit, QStringLiteral("12345678901234567"));
        EXPECT_EQ(edit->text(), QStringLiteral("1234567890123456"));
        Key(edit, Qt::Key_Return);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(name, "1234567890123456");
}

TEST_F(DialogLayoutTest, ProgramTextsShowWhileOpen) {
    procedure = [](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) SetWindowTextA(dialog, Cp932("記録 【中級】").c_str());
        if (msg == WM_COMMAND && LOWORD(wParam) == IDC_SCORE_OK) {
            SetDlgItemTextA(dialog, IDC_SCORE_TIME1, "12");
            SetDlgItemTextA(dialog, IDC_SCORE_NAME1, Cp932("ずむ&タイル").c_str());
            return 1;
        }
        return 0;
    };
    Open("DLG_SCORE", [&] {
        EXPECT_EQ(Shown()->windowTitle(), QString::fromUtf8("記録 【中級】"));
        auto* time = qobject_cast<QLabel*>(Item(IDC_SCORE_TIME1));
        auto* name = qobject_cast<QLabel*>(Item(IDC_SCORE_NAME1));
        EXPECT_EQ(time->text(), QStringLiteral("9999"));
        // Sixteen digits, as the template's sample shows, fit a name's one line.
        EXPECT_LE(QFontMetricsF(name->font()).horizontalAdvance(QStringLiteral("1234567890123456")),
                  name->width());
        Key(Item(IDC_SCORE_OK), Qt::Key_Space);
        EXPECT_EQ(time->text(), QStringLiteral("12"));
        // An ampersand underlines the character after it.
        EXPECT_EQ(name->text(), QString::fromUtf8("<span style=\"white-space:pre-wrap\">ずむ<u>タ</u>イル</span>"));
        EndDialog(openDialog, 1);
    });
}

TEST_F(DialogLayoutTest, EveryNameShowsWholeOnItsLine) {
    // Sixteen of the widest letters, and eight double-byte characters.
    const char* const names[] = {"WWWWWWWWWWWWWWWW", "MMMMMMMMMMMMMMMM", "@@@@@@@@@@@@@@@@",
                                 "ずむのタイル３２"};
    struct Case {
        const char* dialog;
        int atStart, whileOpen;
    };
    const Case cases[] = {{"DLG_SCORE", IDC_SCORE_NAME1, IDC_SCORE_NAME5},
                          {"DLG_PROPATY", IDC_PROP_NAME1, IDC_PROP_NAME3}};
    for (const Case& c : cases) {
        for (const char* name : names) {
            SCOPED_TRACE(std::string(c.dialog) + " " + name);
            procedure = [&](HWND dialog, UINT msg, WPARAM, LPARAM) -> INT_PTR {
                if (msg == WM_INITDIALOG) SetDlgItemTextA(dialog, c.atStart, Cp932(name).c_str());
                return 0;
            };
            Open(c.dialog, [&] {
                SetDlgItemTextA(openDialog, c.whileOpen, Cp932(name).c_str());
                for (int id : {c.atStart, c.whileOpen}) {
                    auto* label = qobject_cast<QLabel*>(Item(id));
                    EXPECT_EQ(label->text(), QString::fromUtf8(name));
                    EXPECT_LE(QFontMetricsF(label->font()).horizontalAdvance(label->text()),
                              label->width());
                }
                EndDialog(openDialog, 1);
            });
        }
    }
}

TEST_F(DialogLayoutTest, ScreenReadersHearRolesNamesAndMarks) {
    GameState.level = 1;
    GameState.records[0].times[0] = 12;
    std::snprintf(GameState.records[0].names[0], 17, "%s", Cp932("ずむ").c_str());
    GameState.records[0].times[4] = 30;
    GameState.records[0].names[4][0] = '\0';
    using Proc = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
    const Proc none = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return 0; };
    const Proc marked = [](HWND dialog, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) SetDlgItemTextA(dialog, IDC_PROP_LEVEL1, "&A&&B");
        return 0;
    };
    struct Case {
        const char* dialog;
        Proc proc;
        int id;
        QAccessible::Role role;
        const char* name;
    };
    const Case cases[] = {
        {"DLG_PROPATY", PropertyDialogProc, IDC_PROP_LEVEL2, QAccessible::RadioButton, "サイズ 15*15 中級"},
        {"DLG_PROPATY", marked, IDC_PROP_LEVEL1, QAccessible::RadioButton, "A&B"},
        {"DLG_PROPATY", PropertyDialogProc, IDC_PROP_CLEAR1, QAccessible::PushButton, "初級の記録の消去"},
        {"DLG_PROPATY", none, IDC_PROP_CLEAR2, QAccessible::PushButton, "記録の消去"},
        // Windows' rule: the static before the edit in the template, which the game overrides.
        {"DLG_ENTRY", none, IDC_ENTRY_NAME, QAccessible::EditableText, "のベスト5入賞です。"},
        {"DLG_ENTRY", EntryDialogProc, IDC_ENTRY_NAME, QAccessible::EditableText, "名前を入力して下さい。"},
        {"DLG_SCORE", ScoreDialogProc, IDC_SCORE_NAME1, QAccessible::StaticText, "1位 12秒 ずむ"},
        {"DLG_SCORE", ScoreDialogProc, IDC_SCORE_NAME5, QAccessible::StaticText, "5位 30秒 名前なし"},
    };
    for (const Case& c : cases) {
        procedure = c.proc;
        Open(c.dialog, [&] {
            QAccessibleInterface* item = QAccessible::queryAccessibleInterface(Item(c.id));
            EXPECT_EQ(item->role(), c.role) << c.name;
            EXPECT_EQ(item->text(QAccessible::Name), QString::fromUtf8(c.name));
        });
    }
    procedure = PropertyDialogProc;
    Open("DLG_PROPATY", [&] {
        auto marks = [] {
            std::string s;
            for (int id : {IDC_PROP_LEVEL1, IDC_PROP_LEVEL2, IDC_PROP_LEVEL3}) {
                QAccessible::State state = QAccessible::queryAccessibleInterface(Item(id))->state();
                s += !state.checkable ? '?' : state.checked ? '1' : '0';
            }
            return s;
        };
        EXPECT_EQ(marks(), "100");
        Click(Item(IDC_PROP_LEVEL3));
        EXPECT_EQ(marks(), "001");
        QAccessibleInterface* middle = QAccessible::queryAccessibleInterface(Item(IDC_PROP_LEVEL2));
        middle->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(marks(), "010");
        const auto labels = middle->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), QString::fromUtf8("サイズ"));
    });
}

TEST_F(DialogLayoutTest, OwnersTimersRunWhileTheDialogIsOpen) {
    // Nothing but the dialog's own loop hands the timer messages out.
    platform_test::Reset();
    BareBackend bare;
    platform::SetBackend(&bare);
    WNDCLASSA wc{};
    wc.lpfnWndProc = OwnerProc;
    wc.lpszClassName = "DLGOWNER";
    ASSERT_NE(RegisterClassA(&wc), 0);
    owner = CreateWindowA("DLGOWNER", "owner", WS_CAPTION, 0, 0, 100, 100, nullptr, nullptr,
                          nullptr, nullptr);
    SetTimer(owner, 1, 20, nullptr);
    int ticks = 0;
    Open("DLG_ABOUT", [&] {
        // A starved loop merges late ticks, so wait for five rather than for a fixed time.
        for (int waited = 0; ownerTimerTicks < 5 && waited < 5000; waited += 20) Settle(20);
        ticks = ownerTimerTicks;
        EndDialog(openDialog, 1);
    });
    EXPECT_GE(ticks, 5);
    platform_test::Reset();
    platform::SetBackend(nullptr);
}

}  // namespace
