// Plays a step script through the game's own code under virtual time and writes what it showed:
// framebuffer snapshots, the records file, and the script with every step made concrete.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "dialog_internal.h"
#include "game/game_state.h"
#include "game/moves.h"
#include "internal.h"
#include "platform_test.h"
#include "platform_test_dialogs.h"
#include "shell/main_window.h"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& why) { throw std::runtime_error(why); }

struct Step {
    int line;
    std::string text;
};

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The first word of a step and the rest of its line.
std::pair<std::string, std::string> Split(const std::string& text) {
    const auto space = text.find_first_of(" \t");
    if (space == std::string::npos) return {text, {}};
    return {text.substr(0, space), Trim(text.substr(space))};
}

long long Number(const std::string& word) {
    char* end = nullptr;
    const long long value = std::strtoll(word.c_str(), &end, 10);
    if (word.empty() || *end) Fail("not a number: '" + word + "'");
    return value;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

class Reference final : public platform::Backend {
public:
    Reference(std::vector<Step> steps, fs::path out)
        : steps_(std::move(steps)), out_(std::move(out)), expanded_(out_ / "expanded.script") {
        if (!expanded_) Fail("cannot write " + (out_ / "expanded.script").string());
    }

    int Line() const { return line_; }

    void Play() {
        while (next_ < steps_.size()) {
            const Step& step = steps_[next_++];
            line_ = step.line;
            Run(step.text, nullptr);
        }
    }

    void WaitForEvents() override { Fail("the game waited for an event that no step brings"); }
    void TimerStarted(HWND hwnd, UINT_PTR id, UINT periodMs) override {
        timers_[{hwnd, id}] = Timer{now_ + periodMs, periodMs, ++sequence_};
    }
    void TimerStopped(HWND hwnd, UINT_PTR id) override { timers_.erase({hwnd, id}); }
    int MessageBox(HWND, const std::string&, const std::string&, UINT) override {
        ++boxes_;
        return IDOK;
    }

    // The dialog's modal loop takes the script's next steps until one of them ends it.
    INT_PTR RunDialog(HWND dialog) override {
        const HWND owner = platform::DialogOf(dialog)->owner;
        const int outer = line_;
        platform::DispatchQueued(owner);
        while (!platform_test::DialogEnded(dialog)) {
            if (next_ >= steps_.size())
                Fail("the script ends inside the dialog that line " + std::to_string(outer) +
                     " opened");
            const Step& step = steps_[next_++];
            line_ = step.line;
            Run(step.text, dialog);
            if (platform_test::DialogEnded(dialog))
                Write("dialog-closed");
            else
                platform::DispatchQueued(owner);
        }
        line_ = outer;
        return platform_test::DialogResult(dialog);
    }

private:
    struct Timer {
        long long due;
        UINT period;
        unsigned long long sequence;
    };

    std::vector<Step> steps_;
    std::size_t next_ = 0;
    int line_ = 0;
    fs::path out_;
    std::ofstream expanded_;
    std::map<std::pair<HWND, UINT_PTR>, Timer> timers_;
    long long now_ = 0;
    unsigned long long sequence_ = 0;
    int boxes_ = 0;
    HWND window_ = nullptr;
    HACCEL accel_ = nullptr;

    void Write(const std::string& text, HWND dialog = nullptr) {
        expanded_ << (dialog ? "dialog " : "") << text << '\n' << std::flush;
    }

    // What the loop that runs at the moment dispatches: the game's own, or a dialog's.
    void Dispatch(HWND dialog) {
        if (dialog)
            platform::DispatchQueued(platform::DialogOf(dialog)->owner);
        else
            platform_test::PumpMessages(accel_);
    }

    void Run(const std::string& text, HWND dialog) {
        const auto [verb, rest] = Split(text);
        if (verb == "time") {
            if (dialog) Fail("time inside a dialog");
            Write(text);
            platform_test::SetCalendarTime(static_cast<std::int32_t>(Number(rest)));
            if (!window_) OpenWindow();
            return;
        }
        if (!window_) Fail("the script must start with 'time'");
        if (verb == "boxes") {
            Write(text, dialog);
            if (boxes_ != Number(rest))
                Fail("expected " + rest + " message boxes, " + std::to_string(boxes_) + " shown");
        } else if (verb == "snap") {
            const auto words = Words(rest);
            if (words.size() != 1 && (words.size() != 6 || words[1] != "mask"))
                Fail("snap NAME [mask X Y W H]");
            for (std::size_t i = 2; i < words.size(); ++i) Number(words[i]);
            Write(text, dialog);
            Snap(words[0]);
        } else if (verb == "ini") {
            Write(text, dialog);
            SaveIni(rest);
        } else if (verb == "pause" || verb == "run") {
            // The browser's clock: stopped, or let run while its storage answers in real time.
            Write(text, dialog);
        } else if (verb == "advance") {
            Write(text, dialog);
            Advance(Number(rest), dialog);
        } else if (verb == "key") {
            Write(text, dialog);
            if (dialog)
                DialogKey(dialog, rest);
            else
                Key(rest);
        } else if (dialog) {
            DialogStep(dialog, verb, rest, text);
        } else if (verb == "restart") {
            Write(text);
        } else if (verb == "left" || verb == "right") {
            Click(verb == "left", rest);
        } else if (verb == "menu") {
            Menu(rest, text);
        } else if (verb == "clear") {
            if (rest == "by clicks") {
                // Each closed safe cell in turn, as a finger clears a board.
                while (GameState.openedCount < WinThreshold()) Click(true, "safe");
            } else {
                if (!rest.empty()) Fail("clear takes nothing, or 'by clicks'");
                Clear();
            }
        } else if (verb == "drag") {
            Drag(rest);
        } else if (verb == "click" || verb == "type") {
            Fail(verb + " with no dialog open");
        } else {
            Fail("unknown step '" + verb + "'");
        }
    }

    void DialogStep(HWND dialog, const std::string& verb, const std::string& rest,
                    const std::string& text) {
        if (verb == "click") {
            const std::string id = Split(rest).first;  // the rest is its label, for the page
            Write(text, dialog);
            if (!platform_test::ClickDialogItem(dialog, static_cast<int>(Number(id))))
                Fail("control " + id + " is no enabled button");
        } else if (verb == "type") {
            bool lossless = false;
            const std::string cp932 = platform::Utf8ToCp932(rest, &lossless);
            if (rest.empty() || !lossless) Fail("nothing to type, or not in CP932: '" + rest + "'");
            Write(text, dialog);
            if (platform_test::TypeText(dialog, cp932) != cp932.size())
                Fail("the focused control took less than '" + rest + "'");
        } else if (verb == "texts") {
            // The caption, then each control's text in template order, as the page lists them.
            Write(text, dialog);
            std::ofstream file(out_ / (rest + ".texts"), std::ios::binary);
            file << platform::Cp932ToUtf8(dialog->text) << '\n';
            for (HWND control : platform::DialogOf(dialog)->controls)
                file << platform::Cp932ToUtf8(control->text) << '\n';
            if (!file) Fail("cannot write " + rest + ".texts");
        } else {
            Fail("'" + verb + "' makes no sense inside a dialog");
        }
    }

    void OpenWindow() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        if (!RegisterMainClass(instance)) Fail("RegisterMainClass failed");
        window_ = CreateMainWindow(instance, SW_SHOWNORMAL);
        if (!window_) Fail("CreateMainWindow failed");
        accel_ = LoadAcceleratorsA(instance, "ACCEL");
        if (!accel_) Fail("no ACCEL table");
        platform_test::PumpMessages(accel_);
    }

    // Repeating timers fire in due order, ties in the order they were (re)scheduled, as the
    // browser's intervals do under virtual time; each firing's messages go out before the next.
    void Advance(long long ms, HWND dialog) {
        if (ms < 0) Fail("advance by a negative time");
        const long long end = now_ + ms;
        for (;;) {
            auto best = timers_.end();
            for (auto it = timers_.begin(); it != timers_.end(); ++it)
                if (it->second.due <= end &&
                    (best == timers_.end() ||
                     std::tie(it->second.due, it->second.sequence) <
                         std::tie(best->second.due, best->second.sequence)))
                    best = it;
            if (best == timers_.end()) break;
            const auto [hwnd, id] = best->first;
            now_ = best->second.due;
            best->second.due += best->second.period;
            best->second.sequence = ++sequence_;
            platform::TimerElapsed(hwnd, id);
            Dispatch(dialog);
        }
        now_ = std::max(now_, end);
    }

    void Queue(UINT message, WPARAM wParam, LPARAM lParam, DWORD modifiers, POINT at = {0, 0}) {
        platform::QueueInput(MSG{window_, message, wParam, lParam, 0, at, modifiers});
    }

    // A key as the page sends it: Control pressed around it, and its own down and up.
    void Key(const std::string& stroke) {
        std::string name = stroke;
        DWORD modifiers = 0;
        if (name.rfind("ctrl+", 0) == 0) {
            modifiers |= MK_CONTROL;
            name.erase(0, 5);
        }
        static const std::map<std::string, WPARAM> kNamed = {
            {"Left", VK_LEFT},   {"Right", VK_RIGHT}, {"Up", VK_UP},  {"Down", VK_DOWN},
            {"Space", VK_SPACE}, {"Return", VK_RETURN}, {"Tab", VK_TAB}};
        WPARAM vk = 0;
        if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
            vk = static_cast<WPARAM>(name[0]);
        else if (auto it = kNamed.find(name); it != kNamed.end())
            vk = it->second;
        else
            Fail("unknown key '" + stroke + "'");
        if (modifiers & MK_CONTROL) Queue(WM_KEYDOWN, VK_CONTROL, 0, modifiers);
        Queue(WM_KEYDOWN, vk, 0, modifiers);
        Queue(WM_KEYUP, vk, 0, modifiers);
        if (modifiers & MK_CONTROL) Queue(WM_KEYUP, VK_CONTROL, 0, modifiers & ~MK_CONTROL);
        platform_test::PumpMessages(accel_);
    }

    void DialogKey(HWND dialog, const std::string& stroke) {
        bool done = true;
        if (stroke == "Return")
            platform_test::PressEnter(dialog);
        else if (stroke == "Tab" || stroke == "shift+Tab")
            done = platform_test::PressTab(dialog, stroke == "Tab");
        else if (stroke == "Right" || stroke == "Down" || stroke == "Left" || stroke == "Up")
            done = platform_test::PressArrow(dialog, stroke == "Right" || stroke == "Down");
        else
            Fail("key '" + stroke + "' makes no sense inside a dialog");
        if (!done) Fail("key '" + stroke + "' found nothing to move the focus to");
    }

    void Click(bool left, const std::string& where) {
        const auto words = Words(where);
        int x = 0, y = 0;
        if (words.size() == 1 && (words[0] == "safe" || words[0] == "bomb")) {
            if (ScreenState != Playing)
                Fail("no board in play (screen state " + std::to_string(ScreenState) + ")");
            const bool bomb = words[0] == "bomb";
            const int n = kBoardSize[GameState.level], m = kClueMargin[GameState.level];
            bool found = false;
            for (int r = 0; r < n && !found; ++r)
                for (int c = 0; c < n && !found; ++c)
                    if (GameState.openGrid[c][r] != '1' && GameState.flagGrid[c][r] != '1' &&
                        (GameState.bombGrid[c][r] == '1') == bomb) {
                        x = 16 * (m + c) + 8;
                        y = 16 * (m + r) + 8;
                        found = true;
                    }
            if (!found) Fail("no closed, unflagged " + words[0] + " cell is left");
        } else if (words.size() == 1 && words[0] == "flag") {
            const int n = kBoardSize[GameState.level], m = kClueMargin[GameState.level];
            bool found = false;
            for (int r = 0; r < n && !found; ++r)
                for (int c = 0; c < n && !found; ++c)
                    if (GameState.flagGrid[c][r] == '1') {
                        x = 16 * (m + c) + 8;
                        y = 16 * (m + r) + 8;
                        found = true;
                    }
            if (!found) Fail("no flagged cell");
        } else if (words.size() == 2) {
            x = static_cast<int>(Number(words[0]));
            y = static_cast<int>(Number(words[1]));
        } else {
            Fail("left|right X Y, or left safe|bomb, right bomb|flag");
        }
        Write(std::string(left ? "left " : "right ") + std::to_string(x) + " " + std::to_string(y));
        const LPARAM at = MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
        // A press where the pointer was not makes no move message on the page either.
        Queue(left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN, left ? MK_LBUTTON : MK_RBUTTON, at, 0,
              POINT{x, y});
        Queue(left ? WM_LBUTTONUP : WM_RBUTTONUP, 0, at, 0, POINT{x, y});
        platform_test::PumpMessages(accel_);
    }

    // "drag safe": the left button pressed on a closed safe cell and dragged to the closed safe
    // cell at its right, where it is let go.
    void Drag(const std::string& where) {
        if (where != "safe" || ScreenState != Playing) Fail("drag safe, on a board in play");
        const GameStateRecord& g = GameState;
        const int n = kBoardSize[g.level], m = kClueMargin[g.level];
        auto safe = [&](int c, int r) {
            return g.openGrid[c][r] != '1' && g.flagGrid[c][r] != '1' && g.bombGrid[c][r] != '1';
        };
        for (int r = 0; r < n; ++r)
            for (int c = 0; c + 1 < n; ++c)
                if (safe(c, r) && safe(c + 1, r)) {
                    const int x = 16 * (m + c) + 8, y = 16 * (m + r) + 8;
                    Write("drag " + std::to_string(x) + " " + std::to_string(y) + " " +
                          std::to_string(x + 16) + " " + std::to_string(y));
                    Queue(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y), 0, POINT{x, y});
                    Queue(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 16, y), 0, POINT{x + 16, y});
                    Queue(WM_LBUTTONUP, 0, MAKELPARAM(x + 16, y), 0, POINT{x + 16, y});
                    platform_test::PumpMessages(accel_);
                    return;
                }
        Fail("no two closed safe cells side by side");
    }

    // The rest of the line is the item's label, by which the page chooses it.
    void Menu(const std::string& rest, const std::string& text) {
        Write(text);
        PostMessageA(window_, WM_COMMAND, static_cast<WPARAM>(Number(Split(rest).first)), 0);
        platform_test::PumpMessages(accel_);
    }

    void Press(const char* name) {
        Write(std::string("key ") + name);
        Key(name);
    }

    // Opens every safe cell that is left with the keyboard, walking the board as a serpentine
    // from the top-left cell, where the first arrow of a fresh game shows the cursor.
    void Clear() {
        GameStateRecord& g = GameState;
        if (ScreenState != Playing || g.cursorShown) Fail("no fresh board in play");
        const int n = kBoardSize[g.level];
        Press("Right");
        if (g.cursorCol != 0 || g.cursorRow != 0) Fail("the first arrow left the cursor elsewhere");
        for (int r = 0; r < n; ++r) {
            for (int i = 0; i < n; ++i) {
                const int c = r % 2 == 0 ? i : n - 1 - i;
                if (g.openGrid[c][r] != '1' && g.bombGrid[c][r] != '1') {
                    Press("Space");
                    if (g.openGrid[c][r] != '1') Fail("key Space did not open the cursor's cell");
                    if (g.openedCount >= WinThreshold()) return;
                }
                if (i < n - 1) Press(r % 2 == 0 ? "Right" : "Left");
            }
            if (r < n - 1) Press("Down");
        }
        Fail("the walk ended with safe cells still closed");
    }

    void Snap(const std::string& name) {
        int width = 0, height = 0;
        const BYTE* pixels = platform_test::Framebuffer(window_, &width, &height);
        if (!pixels) Fail("no framebuffer");
        const auto& palette = platform::SystemPalette();
        std::string ppm = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
        for (int i = 0; i < width * height; ++i) {
            const PALETTEENTRY& e = palette[pixels[i]];
            ppm += static_cast<char>(e.peRed);
            ppm += static_cast<char>(e.peGreen);
            ppm += static_cast<char>(e.peBlue);
        }
        std::ofstream file(out_ / (name + ".ppm"), std::ios::binary);
        if (!(file << ppm)) Fail("cannot write " + name + ".ppm");
    }

    void SaveIni(const std::string& name) {
        const fs::path ini = fs::path(std::getenv("XDG_CONFIG_HOME")) / "zum32" / "ZUM32.INI";
        std::error_code ec;
        fs::copy_file(ini, out_ / (name + ".ini"), fs::copy_options::overwrite_existing, ec);
        if (ec) Fail("cannot copy " + ini.string() + ": " + ec.message());
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: web_reference <script> <outdir> [records file to start with]\n";
        return 2;
    }
    // The game's records file is written under XDG_CONFIG_HOME: never in the player's own folder.
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::error_code ec;
    if (!config || config[0] != '/' || !fs::is_directory(config) ||
        !fs::is_empty(config, ec) || ec) {
        std::cerr << "web_reference: XDG_CONFIG_HOME must name an empty folder\n";
        return 2;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (argc == 4) {
        fs::create_directories(fs::path(config) / "zum32");
        fs::copy_file(argv[3], fs::path(config) / "zum32" / "ZUM32.INI", ec);
        if (ec) {
            std::cerr << "web_reference: cannot copy " << argv[3] << ": " << ec.message() << "\n";
            return 2;
        }
    }

    std::ifstream in(argv[1]);
    if (!in) {
        std::cerr << "web_reference: cannot read " << argv[1] << "\n";
        return 2;
    }
    std::vector<Step> steps;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        std::string text = Trim(line.substr(0, line.find('#')));
        if (!text.empty()) steps.push_back({number, text});
    }
    fs::create_directories(argv[2], ec);

    int code = 0;
    try {
        Reference reference(std::move(steps), argv[2]);
        platform::SetBackend(&reference);
        try {
            reference.Play();
        } catch (const std::exception& e) {
            std::cerr << argv[1] << ":" << reference.Line() << ": " << e.what() << "\n";
            code = 1;
        }
        platform_test::Reset();
    } catch (const std::exception& e) {
        std::cerr << "web_reference: " << e.what() << "\n";
        code = 1;
    }
    return code;
}
