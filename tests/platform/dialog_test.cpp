// Modal dialogs of the core: initialisation, the modal run and its result, control texts, byte
// limits, radio groups and the dialog manager's keys, run headless through a dialog handler.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "platform/core/dialog_internal.h"
#include "platform_test_dialogs.h"
#include "resource.h"
#include "windows.h"

namespace {

// A template of our own: two radio groups, a push button row, a group box, statics and an edit.
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
const rc::DialogControl kControls[] = {
    {u"BUTTON", u"OK", 10, 4, 4, 40, 14, kChild | BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {u"BUTTON", u"Other", 11, 48, 4, 40, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
    {u"BUTTON", u"Box", 12, 4, 20, 100, 60, kChild | BS_GROUPBOX, 0},
    {u"BUTTON", u"A1", 20, 8, 30, 40, 10, kChild | BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {u"BUTTON", u"A2", 21, 8, 40, 40, 10, kChild | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {u"BUTTON", u"A3", 22, 8, 50, 40, 10, kChild | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {u"STATIC", u"ラベル", -1, 8, 60, 40, 8, kChild | SS_LEFT | WS_GROUP, 0},
    {u"BUTTON", u"B1", 30, 56, 30, 40, 10, kChild | BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 0},
    {u"BUTTON", u"B2", 31, 56, 40, 40, 10, kChild | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
    {u"EDIT", u"", 40, 4, 84, 64, 12, kChild | ES_LEFT | WS_BORDER | WS_TABSTOP | WS_GROUP, 0},
};
const rc::DialogTemplate kTemplate = {
    10, 10, 120, 100, WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE, 0,
    u"テスト", u"ＭＳ Ｐゴシック", 9, kControls, static_cast<int>(std::size(kControls))};

// No default push button and no tab stop before the text.
const rc::DialogControl kPlainControls[] = {
    {u"STATIC", u"text", -1, 4, 4, 40, 8, kChild | SS_LEFT | WS_GROUP, 0},
    {u"BUTTON", u"Go", 7, 4, 20, 40, 14, kChild | BS_PUSHBUTTON | WS_TABSTOP, 0},
};
const rc::DialogTemplate kPlainTemplate = {
    0, 0, 60, 40, WS_POPUP | WS_CAPTION, 0, u"Plain", nullptr, 0, kPlainControls, 2};

struct Message {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

// The dialog procedure under test forwards here, so each test writes its own in a lambda.
std::function<INT_PTR(HWND, UINT, WPARAM, LPARAM)> procedure;
std::vector<Message> received;

INT_PTR CALLBACK TestProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    received.push_back({msg, wParam, lParam});
    return procedure ? procedure(dialog, msg, wParam, lParam) : 0;
}

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) received.push_back({msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// This suite is compiled with UTF-8 narrow strings; the platform speaks CP932.
std::string Sjis(const char* utf8) { return platform::Utf8ToCp932(utf8); }

std::vector<Message> Commands() {
    std::vector<Message> out;
    for (const Message& m : received)
        if (m.msg == WM_COMMAND) out.push_back(m);
    return out;
}

std::vector<WORD> CommandIds() {
    std::vector<WORD> ids;
    for (const Message& m : received)
        if (m.msg == WM_COMMAND) ids.push_back(LOWORD(m.wParam));
    return ids;
}

class DialogTest : public testing::Test {
protected:
    HWND owner = nullptr;

    void SetUp() override {
        platform_test::Reset();
        received.clear();
        procedure = nullptr;
        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.lpszClassName = "Owner";
        ASSERT_NE(RegisterClassA(&wc), 0);
        owner = CreateWindowA("Owner", "owner", WS_OVERLAPPED | WS_CAPTION, 0, 0, 200, 200,
                              nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner, nullptr);
    }
    void TearDown() override {
        procedure = nullptr;
        platform_test::Reset();
    }

    // Runs a template; inside is what the user does while it is open.
    INT_PTR Run(const rc::DialogTemplate& t, std::function<void(HWND)> inside, LPARAM param = 0) {
        platform_test::SetDialogHandler([&](HWND dialog) {
            inside(dialog);
            return INT_PTR{-7};
        });
        return platform::DialogBoxFromTemplate(t, owner, TestProc, param);
    }
    INT_PTR Run(const char* name, std::function<void(HWND)> inside) {
        platform_test::SetDialogHandler([&](HWND dialog) {
            inside(dialog);
            return INT_PTR{-7};
        });
        return DialogBoxParamA(GetModuleHandleA(nullptr), name, owner, TestProc, 0);
    }
};

TEST_F(DialogTest, InitDialogComesFirstWithTheFirstTabStopAndTheParameter) {
    HWND seen = nullptr;
    procedure = [&](HWND dialog, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
        if (msg == WM_INITDIALOG) {
            seen = dialog;
            // The controls exist and read their template texts during initialisation.
            EXPECT_EQ(reinterpret_cast<HWND>(wParam), GetDlgItem(dialog, 7));
            EXPECT_EQ(platform_test::DialogItemText(dialog, -1), "text");
        }
        return 0;
    };
    HWND during = nullptr;
    INT_PTR result = Run(kPlainTemplate, [&](HWND dialog) {
        during = dialog;
        EndDialog(dialog, 42);
    }, 0x1234);
    EXPECT_EQ(result, 42);
    EXPECT_EQ(during, seen);
    ASSERT_GE(received.size(), 2u);
    EXPECT_EQ(received.front().msg, WM_INITDIALOG);
    EXPECT_EQ(received.front().lParam, 0x1234);
    EXPECT_EQ(received.back().msg, WM_DESTROY);
    EXPECT_FALSE(platform::IsLiveWindow(seen));
}

TEST_F(DialogTest, InitDialogResultDecidesTheFocus) {
    // Nonzero: the dialog manager focuses the first tab stop; zero keeps what the procedure set.
    for (INT_PTR answer : {INT_PTR{1}, INT_PTR{0}}) {
        int focused = -1;
        procedure = [&](HWND dialog, UINT msg, WPARAM, LPARAM) -> INT_PTR {
            if (msg != WM_INITDIALOG) return 0;
            SetFocus(GetDlgItem(dialog, 40));
            return answer;
        };
        Run(kTemplate, [&](HWND dialog) { focused = platform_test::FocusedDialogItem(dialog); });
        EXPECT_EQ(focused, answer ? 10 : 40) << "WM_INITDIALOG returned " << answer;
    }
}

TEST_F(DialogTest, ResultComesFromEndDialog) {
    struct Case {
        const char* what;
        bool endInInit;
        bool endInRun;
        INT_PTR expected;
        bool runs;
    };
    const Case cases[] = {
        {"ended while open", false, true, 5, true},
        {"ended during initialisation: never shown", true, false, 3, false},
        {"handler gave up without EndDialog", false, false, -7, true},
    };
    for (const Case& c : cases) {
        procedure = [&](HWND dialog, UINT msg, WPARAM, LPARAM) -> INT_PTR {
            if (msg == WM_INITDIALOG && c.endInInit) EndDialog(dialog, 3);
            return 0;
        };
        bool ran = false;
        bool endedSeen = false;
        INT_PTR result = Run(kTemplate, [&](HWND dialog) {
            ran = true;
            if (c.endInRun) EndDialog(dialog, 5);
            endedSeen = platform_test::DialogEnded(dialog) &&
                        platform_test::DialogResult(dialog) == c.expected;
        });
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(ran, c.runs) << c.what;
        EXPECT_EQ(endedSeen, c.endInRun) << c.what;
    }
}

TEST_F(DialogTest, UnknownTemplateFailsWithoutCallingTheProcedure) {
    EXPECT_EQ(Run("DLG_NONE", [](HWND) { ADD_FAILURE() << "shown"; }), -1);
    EXPECT_TRUE(received.empty());
}

TEST_F(DialogTest, OwnerTakesNoInputWhileOpenButItsTimersGoOn) {
    SetTimer(owner, 2, 1000, nullptr);
    bool disabled = false, enabledAfterEnd = false;
    Run(kPlainTemplate, [&](HWND dialog) {
        disabled = platform_test::OwnerDisabled(dialog);
        platform_test::ElapseTimer(owner, 2);
        platform::DispatchQueued(owner);
        EndDialog(dialog, 1);
        enabledAfterEnd = !platform_test::OwnerDisabled(dialog);
    });
    EXPECT_TRUE(disabled);
    EXPECT_TRUE(enabledAfterEnd);
    EXPECT_FALSE(owner->style & WS_DISABLED);
    ASSERT_FALSE(received.empty());
    bool timerSeen = false;
    for (const Message& m : received) timerSeen |= m.msg == WM_TIMER && m.wParam == 2;
    EXPECT_TRUE(timerSeen);
}

TEST_F(DialogTest, GetDlgItemTextNeverSplitsADoubleByteCharacter) {
    struct Case {
        const char* text;
        int size;
        const char* expected;
    };
    const Case cases[] = {
        {"あいう", 7, "あいう"}, {"あいう", 6, "あい"}, {"あいう", 3, "あ"}, {"あいう", 2, ""},
        {"AあB", 2, "A"},       {"AあB", 3, "A"},     {"AあB", 4, "Aあ"}, {"AあB", 1, ""},
        {"1234567890123456", 17, "1234567890123456"}, {"12345678901234567", 17, "1234567890123456"},
    };
    Run(kTemplate, [&](HWND dialog) {
        for (const Case& c : cases) {
            SetDlgItemTextA(dialog, 40, Sjis(c.text).c_str());
            char buffer[32];
            std::memset(buffer, '#', sizeof buffer);
            UINT n = GetDlgItemTextA(dialog, 40, buffer, c.size);
            EXPECT_EQ(buffer, Sjis(c.expected)) << c.text << " into " << c.size;
            EXPECT_EQ(n, Sjis(c.expected).size());
            EXPECT_EQ(buffer[c.size], '#') << "wrote past the buffer";
        }
        char buffer[4] = {'#', '#', '#', '#'};
        EXPECT_EQ(GetDlgItemTextA(dialog, 40, buffer, 0), 0u);
        EXPECT_EQ(buffer[0], '#');
        EXPECT_FALSE(SetDlgItemTextA(dialog, 999, "x"));
        EXPECT_EQ(GetDlgItemTextA(dialog, 999, buffer, 4), 0u);
        EXPECT_STREQ(buffer, "");
        EndDialog(dialog, 1);
    });
}

TEST_F(DialogTest, EditLimitCountsBytes) {
    // As the name entry does: 16 bytes, emptied, focused.
    std::size_t initialLimit = 0;
    procedure = [&](HWND dialog, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        if (msg != WM_INITDIALOG) return 0;
        initialLimit = platform_test::EditLimit(dialog, IDC_ENTRY_NAME);
        SendDlgItemMessageA(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, 16, 0);
        SetDlgItemTextA(dialog, IDC_ENTRY_NAME, "");
        SetFocus(GetDlgItem(dialog, IDC_ENTRY_NAME));
        return 0;
    };
    Run("DLG_ENTRY", [](HWND dialog) {
        EXPECT_EQ(platform_test::EditLimit(dialog, IDC_ENTRY_NAME), 16u);
        EXPECT_EQ(platform_test::TypeText(dialog, "123456789012345"), 15u);
        EXPECT_EQ(platform_test::TypeText(dialog, Sjis("あ")), 0u);  // two bytes do not fit into one
        EXPECT_EQ(platform_test::TypeText(dialog, "67"), 1u);
        EXPECT_EQ(platform_test::DialogItemText(dialog, IDC_ENTRY_NAME), "1234567890123456");
        char name[17];
        EXPECT_EQ(GetDlgItemTextA(dialog, IDC_ENTRY_NAME, name, sizeof name), 16u);
        // The program itself may set a longer text; only typing is limited.
        SetDlgItemTextA(dialog, IDC_ENTRY_NAME, Sjis("ずむずむずむずむず").c_str());
        EXPECT_EQ(platform_test::DialogItemText(dialog, IDC_ENTRY_NAME).size(), 18u);
        EXPECT_EQ(platform_test::TypeText(dialog, "x"), 0u);
        SendDlgItemMessageA(dialog, IDC_ENTRY_NAME, EM_LIMITTEXT, 0, 0);
        EXPECT_EQ(platform_test::EditLimit(dialog, IDC_ENTRY_NAME), platform::kMaximumEditLimit);
        EXPECT_EQ(platform_test::TypeText(dialog, "x"), 1u);
        EndDialog(dialog, 1);
    });
    EXPECT_EQ(initialLimit, platform::kDefaultEditLimit);
}

TEST_F(DialogTest, AutomaticRadioButtonsKeepOneCheckedPerGroup) {
    Run(kTemplate, [](HWND dialog) {
        auto checked = [&] {
            std::string s;
            for (int id : {20, 21, 22, 30, 31}) s += platform_test::DialogItemChecked(dialog, id) ? '1' : '0';
            return s;
        };
        CheckRadioButton(dialog, 20, 22, 21);
        CheckRadioButton(dialog, 30, 31, 30);
        EXPECT_EQ(checked(), "01010");
        struct Step {
            int click;
            const char* expected;
        };
        const Step steps[] = {{22, "00110"}, {22, "00110"}, {31, "00101"}, {20, "10001"},
                              {11, "10001"}, {12, "10001"}};
        for (const Step& s : steps) {
            received.clear();
            bool button = platform_test::ClickDialogItem(dialog, s.click);
            EXPECT_EQ(checked(), s.expected) << "after clicking " << s.click;
            // A group box is no button: no command, and the focus stays.
            if (s.click == 12) {
                EXPECT_FALSE(button);
                EXPECT_TRUE(received.empty());
                continue;
            }
            EXPECT_TRUE(button);
            EXPECT_EQ(platform_test::FocusedDialogItem(dialog), s.click);
            ASSERT_EQ(received.size(), 1u);
            EXPECT_EQ(received[0].wParam, MAKEWPARAM(s.click, 0)) << "BN_CLICKED";
            EXPECT_EQ(received[0].lParam, reinterpret_cast<LPARAM>(GetDlgItem(dialog, s.click)));
        }
        // CheckRadioButton acts on its id range only, and may leave none checked.
        CheckRadioButton(dialog, 20, 22, 99);
        EXPECT_EQ(checked(), "00001");
        EXPECT_EQ(IsDlgButtonChecked(dialog, 10), BST_UNCHECKED);
        EndDialog(dialog, 1);
    });
}

TEST_F(DialogTest, ArrowKeysMoveWithinTheGroupAndClickRadioButtons) {
    Run("DLG_PROPATY", [](HWND dialog) {
        EXPECT_EQ(platform_test::DialogCaption(dialog), Sjis("プロパティ"));
        EXPECT_EQ(platform_test::DialogItemText(dialog, IDC_PROP_LEVEL3),
                  Sjis("サイズ 20*20 上級 (要SVGA)"));
        CheckRadioButton(dialog, IDC_PROP_LEVEL1, IDC_PROP_LEVEL3, IDC_PROP_LEVEL1);
        SetFocus(GetDlgItem(dialog, IDC_PROP_LEVEL1));
        struct Step {
            bool forward;
            int focus;
        };
        const Step steps[] = {{true, IDC_PROP_LEVEL2}, {true, IDC_PROP_LEVEL3},
                              {true, IDC_PROP_LEVEL1}, {false, IDC_PROP_LEVEL3}};
        for (const Step& s : steps) {
            received.clear();
            EXPECT_TRUE(platform_test::PressArrow(dialog, s.forward));
            EXPECT_EQ(platform_test::FocusedDialogItem(dialog), s.focus);
            EXPECT_TRUE(platform_test::DialogItemChecked(dialog, s.focus));
            EXPECT_EQ(CommandIds(), std::vector<WORD>{static_cast<WORD>(s.focus)});
        }
        // Push buttons take the focus without a command; the radio choice stays.
        SetFocus(GetDlgItem(dialog, IDC_PROP_CLEAR3));
        received.clear();
        EXPECT_TRUE(platform_test::PressArrow(dialog, true));
        EXPECT_EQ(platform_test::FocusedDialogItem(dialog), IDC_PROP_CLEAR1);
        EXPECT_TRUE(CommandIds().empty());
        EXPECT_TRUE(platform_test::DialogItemChecked(dialog, IDC_PROP_LEVEL3));
        EndDialog(dialog, 1);
    });
    Run(kTemplate, [](HWND dialog) {
        SetFocus(GetDlgItem(dialog, 40));
        EXPECT_FALSE(platform_test::PressArrow(dialog, true));  // the edit keeps its arrows
        EndDialog(dialog, 1);
    });
}

TEST_F(DialogTest, EnterSendsTheDefaultButtonAndEscapeCancel) {
    struct Case {
        const rc::DialogTemplate* t;
        int focus;  // 0: none
        WORD enter;
    };
    const Case cases[] = {
        {&kTemplate, 40, 10},  // from the edit: the default push button
        {&kTemplate, 21, 10},  // from a radio button too
        {&kTemplate, 11, 11},  // a focused push button stands in for the default one
        {&kTemplate, 0, 10},
        {&kPlainTemplate, 0, IDOK},  // no default push button: IDOK
    };
    for (const Case& c : cases) {
        received.clear();
        bool open = false;
        Run(*c.t, [&](HWND dialog) {
            if (c.focus) SetFocus(GetDlgItem(dialog, c.focus));
            received.clear();
            platform_test::PressEnter(dialog);
            platform_test::PressEscape(dialog);
            // Our procedures ignore both, so the dialog stays open.
            open = !platform_test::DialogEnded(dialog);
            EndDialog(dialog, 1);
        });
        EXPECT_TRUE(open);
        std::vector<Message> commands = Commands();
        ASSERT_EQ(commands.size(), 2u);
        EXPECT_EQ(commands[0].wParam, MAKEWPARAM(c.enter, 0)) << "focus " << c.focus;
        EXPECT_EQ(commands[1].wParam, MAKEWPARAM(IDCANCEL, 0));
        EXPECT_EQ(commands[1].lParam, 0);
    }
}

TEST_F(DialogTest, PostedMessagesReachTheProcedure) {
    Run(kTemplate, [&](HWND dialog) {
        received.clear();
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(11, 0), 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);  // as the dialog manager answers it: IDCANCEL
        platform::DispatchQueued(owner);
        EXPECT_EQ(CommandIds(), (std::vector<WORD>{11, IDCANCEL}));
        EndDialog(dialog, 1);
    });
}

// What a view sees of the program's changes; what the user did is not echoed back to it.
struct RecordingView : platform::DialogView {
    std::vector<std::string> log;
    void TextChanged(HWND w) override { log.push_back("text " + std::to_string(w->id)); }
    void CheckChanged(HWND c) override { log.push_back("check " + std::to_string(c->id)); }
    void FocusChanged(HWND c) override { log.push_back("focus " + std::to_string(c->id)); }
    void Ended(INT_PTR r) override { log.push_back("end " + std::to_string(r)); }
};

TEST_F(DialogTest, ViewLearnsOfTheProgramsChangesOnly) {
    RecordingView view;
    Run(kTemplate, [&](HWND dialog) {
        platform::DialogOf(dialog)->view = &view;
        CheckRadioButton(dialog, 20, 22, 20);
        SetDlgItemTextA(dialog, 40, "abc");
        SetFocus(GetDlgItem(dialog, 11));
        platform::DialogFocusMoved(GetDlgItem(dialog, 40));
        platform::DialogEditChanged(GetDlgItem(dialog, 40), "abcd");
        platform::DialogTextChanged(GetDlgItem(dialog, 40));
        platform_test::ClickDialogItem(dialog, 21);
        EndDialog(dialog, 9);
        platform::DialogOf(dialog)->view = nullptr;
    });
    EXPECT_EQ(view.log, (std::vector<std::string>{"check 20", "text 40", "focus 11", "text 40",
                                                  "focus 21", "check 20", "check 21", "end 9"}));
}

}  // namespace
