// Drawing cost on a level-3 board, measured in the same run: a full play-screen paint with its
// presentation against presenting one 480 x 480 frame alone (target: at most 3x), and a click on
// a safe cell, a bomb-row step and a clock tick, each from its message through the game's own loop
// to the pixels handed to the screen, against the full paint (target: at most 5 %). Also checks
// that the 60 ms explosion timer outside an explosion presents nothing. The Google Benchmark table
// goes to stderr; stdout gets one tab-separated row per figure for bench/run.sh.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QPaintEvent>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/game_state.h"
#include "main_window_widget.h"
#include "qt_backend.h"
#include "records/settings.h"
#include "resource.h"
#include "shell/main_window.h"

namespace {

HWND window = nullptr;
platform::qt::ClientView* view = nullptr;
platform::qt::QtBackend* qtBackend = nullptr;

// Counts the pixels that the view converts and paints, from its paint events' regions.
class PaintMeter final : public QObject {
public:
    double pixels = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            for (const QRect& r : static_cast<QPaintEvent*>(event)->region())
                pixels += static_cast<double>(r.width()) * r.height();
        return false;
    }
};
PaintMeter meter;
std::map<std::string, double> pixelsPerStep;  // by benchmark, from its last repetition

void KeepPixelsPerStep(benchmark::State& state, const char* name, double pixelsBefore) {
    const double perStep = (meter.pixels - pixelsBefore) / static_cast<double>(state.iterations());
    pixelsPerStep[name] = perStep;
    state.counters["pixels"] = perStep;
}

// The Qt timers stay still, so that only the messages a benchmark sends reach the game.
void StopQtTimers() {
    for (UINT_PTR id : {TIMER_CLOCK, TIMER_BOMBROW, TIMER_EXPLOSION, TIMER_TITLE})
        qtBackend->TimerStopped(window, id);
}

// A new game on the same level, painted and shown; the timers' records stay, their Qt timers stop.
void StartGame() {
    SendMessageA(window, WM_COMMAND, CMD_START, 0);
    UpdateWindow(window);
    QApplication::processEvents();
    StopQtTimers();
}

void OpenLevelThreeGame(platform::qt::QtBackend& backend) {
    // A private records file, made first so that no message box waits for an answer.
    std::string dir = (std::filesystem::temp_directory_path() / "zum32-bench").string();
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    LoadSettings(nullptr);
    platform::SetBackend(&backend);
    qtBackend = &backend;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterMainClass(instance);
    window = CreateMainWindow(instance, SW_SHOWNORMAL);
    GameState.level = 3;
    StartGame();
    view = backend.WindowWidget(window)->Client();
    view->installEventFilter(&meter);
}

// One turn of the game's message loop, as WinMain runs it, for a message that is already due.
void RunOneMessage() {
    MSG msg;
    GetMessageA(&msg, nullptr, 0, 0);
    HACCEL accel = LoadAcceleratorsA(GameState.instanceHandle, "ACCEL");
    if (!TranslateAcceleratorA(window, accel, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Qt's turn: the rectangles the message changed are converted and handed to the screen.
void Present() { QApplication::processEvents(); }

void BM_PresentFrame(benchmark::State& state) {
    for (auto _ : state) view->repaint();
}
BENCHMARK(BM_PresentFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_FullPaintLevel3(benchmark::State& state) {
    for (auto _ : state) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
        view->repaint();
    }
}
BENCHMARK(BM_FullPaintLevel3)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// Left clicks on the safe cells of a board in turn; a new board, untimed, before the last would
// clear it.
void BM_ClickSafeCell(benchmark::State& state) {
    const int n = kBoardSize[3], m = kClueMargin[3];
    std::vector<std::pair<int, int>> cells;
    std::size_t next = 0;
    double fullPaints = 0;  // pixels of the untimed new boards, not the clicks'
    const double pixelsBefore = meter.pixels;
    for (auto _ : state) {
        if (next == cells.size()) {
            state.PauseTiming();
            const double before = meter.pixels;
            StartGame();
            fullPaints += meter.pixels - before;
            cells.clear();
            for (int r = 0; r < n; ++r)
                for (int c = 0; c < n; ++c)
                    if (GameState.bombGrid[c][r] == '0') cells.emplace_back(c, r);
            cells.resize(cells.size() - 1);
            next = 0;
            state.ResumeTiming();
        }
        const auto [c, r] = cells[next++];
        const LPARAM at = MAKELPARAM(16 * (m + c) + 8, 16 * (m + r) + 8);
        platform::QueueInput(MSG{window, WM_LBUTTONDOWN, MK_LBUTTON, at, 0, {0, 0}, 0});
        RunOneMessage();
        Present();
    }
    KeepPixelsPerStep(state, "BM_ClickSafeCell", pixelsBefore + fullPaints);
}
BENCHMARK(BM_ClickSafeCell)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// The bomb row with four bombs hit, the most it shows while a game goes on.
void BM_BombRowStep(benchmark::State& state) {
    StartGame();
    GameState.bombsHit = 4;
    const double pixelsBefore = meter.pixels;
    for (auto _ : state) {
        platform::TimerElapsed(window, TIMER_BOMBROW);
        RunOneMessage();
        Present();
    }
    KeepPixelsPerStep(state, "BM_BombRowStep", pixelsBefore);
    GameState.bombsHit = 0;
}
BENCHMARK(BM_BombRowStep)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_ClockTick(benchmark::State& state) {
    StartGame();
    const double pixelsBefore = meter.pixels;
    for (auto _ : state) {
        if (GameState.clockSeconds >= 9999) GameState.clockSeconds = 0;  // the digits keep changing
        platform::TimerElapsed(window, TIMER_CLOCK);
        RunOneMessage();
        Present();
    }
    KeepPixelsPerStep(state, "BM_ClockTick", pixelsBefore);
}
BENCHMARK(BM_ClockTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// Forwards to the Qt backend and counts what is presented.
struct CountingBackend final : platform::Backend {
    platform::Backend* inner = nullptr;
    long presented = 0;
    void WaitForEvents() override { inner->WaitForEvents(); }
    void Present(HWND hwnd, const RECT& rect) override {
        ++presented;
        inner->Present(hwnd, rect);
    }
    int MessageBox(HWND owner, const std::string& text, const std::string& caption,
                   UINT type) override {
        return inner->MessageBox(owner, text, caption, type);
    }
    INT_PTR RunDialog(HWND dialog) override { return inner->RunDialog(dialog); }
};

long explosionTimerPresents = 0;
bool explosionTimerDrew = false;
long explosionTimerMessages = 0;
double explosionTimerPixels = 0;

void BM_ExplosionTimerOutsideExplosion(benchmark::State& state) {
    StartGame();
    const std::vector<BYTE> before = window->framebuffer.pixels;
    CountingBackend counter;
    counter.inner = qtBackend;
    platform::SetBackend(&counter);
    const double pixelsBefore = meter.pixels;
    for (auto _ : state) {
        platform::TimerElapsed(window, TIMER_EXPLOSION);
        RunOneMessage();
        Present();
    }
    platform::SetBackend(qtBackend);
    KeepPixelsPerStep(state, "BM_ExplosionTimerOutsideExplosion", pixelsBefore);
    explosionTimerPixels += meter.pixels - pixelsBefore;
    explosionTimerPresents += counter.presented;
    if (window->framebuffer.pixels != before) explosionTimerDrew = true;
    explosionTimerMessages += static_cast<long>(state.iterations());
    state.counters["presented"] = static_cast<double>(counter.presented);
}
BENCHMARK(BM_ExplosionTimerOutsideExplosion)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

// Keeps the median CPU times (the wall clock of a shared machine is noise) so that the ratios can
// be printed after the table.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> medians;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians[run.run_name.function_name] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

void Row(const char* figure, double measured, double baseline, const char* baselineName,
         bool percent, double limit) {
    const double ratio = measured / baseline;
    if (percent)
        std::printf("%s\t%.1f µs\t%.1f µs (%s)\t%.1f %%\t≤ %g %%\t%s\n", figure, measured, baseline,
                    baselineName, 100 * ratio, limit, 100 * ratio <= limit ? "yes" : "no");
    else
        std::printf("%s\t%.1f µs\t%.1f µs (%s)\t%.2f×\t≤ %g×\t%s\n", figure, measured, baseline,
                    baselineName, ratio, limit, ratio <= limit ? "yes" : "no");
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    platform::qt::QtBackend backend;
    OpenLevelThreeGame(backend);
    // Repetitions of the figures and of their baselines take turns, so that a noisy spell of a
    // shared machine falls on both; a flag given on the command line still wins.
    std::vector<char*> args(argv, argv + argc);
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, interleave);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    RatioReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto median = [&](const char* name) { return reporter.medians[name]; };
    const double present = median("BM_PresentFrame"), paint = median("BM_FullPaintLevel3");
    if (present > 0 && paint > 0) {
        Row("Full level-3 paint with its presentation (median of 5)", paint, present,
            "presenting one 480 × 480 frame", false, 3);
        const std::pair<const char*, const char*> steps[] = {
            {"BM_ClickSafeCell", "Left click on a safe cell"},
            {"BM_BombRowStep", "Bomb-row step (timer 3, four bombs hit)"},
            {"BM_ClockTick", "Clock tick (timer 2)"},
        };
        for (const auto& [name, what] : steps) {
            if (median(name) <= 0) continue;
            const std::string figure = std::string(what) + ", message to presented pixels (" +
                                       std::to_string(std::lround(pixelsPerStep[name])) +
                                       " of 230400 pixels converted)";
            Row(figure.c_str(), median(name), paint, "full level-3 paint", true, 5);
        }
    }
    if (explosionTimerMessages > 0) {
        const bool nothing = explosionTimerPresents == 0 && explosionTimerPixels == 0 && !explosionTimerDrew;
        std::printf("Explosion timer (timer 4) outside an explosion, %ld messages\t%.2f µs a message\t—\t"
                    "%ld rectangles presented, %ld pixels converted, framebuffer %s\tnothing drawn\t%s\n",
                    explosionTimerMessages, median("BM_ExplosionTimerOutsideExplosion"),
                    explosionTimerPresents, std::lround(explosionTimerPixels),
                    explosionTimerDrew ? "changed" : "unchanged", nothing ? "yes" : "no");
    }
    platform::SetBackend(nullptr);
    return 0;
}
