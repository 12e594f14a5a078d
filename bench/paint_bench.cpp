// Drawing cost of a full level-3 play-screen paint with its presentation, against presenting
// one 480 x 480 frame alone, measured in the same run; prints the ratio (target: at most 3).
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "game/game_state.h"
#include "main_window_widget.h"
#include "qt_backend.h"
#include "records/settings.h"
#include "resource.h"
#include "shell/main_window.h"

namespace {

HWND window = nullptr;
platform::qt::ClientView* view = nullptr;

void OpenLevelThreeGame(platform::qt::QtBackend& backend) {
    // A private records file, made first so that no message box waits for an answer.
    std::string dir = (std::filesystem::temp_directory_path() / "zum32-bench").string();
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    LoadSettings(nullptr);
    platform::SetBackend(&backend);
    HINSTANCE instance = GetModuleHandleA(nullptr);
    RegisterMainClass(instance);
    window = CreateMainWindow(instance, SW_SHOWNORMAL);
    GameState.level = 3;
    SendMessageA(window, WM_COMMAND, CMD_START, 0);
    UpdateWindow(window);
    QApplication::processEvents();
    view = backend.WindowWidget(window)->Client();
}

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

// Keeps the median CPU times (the wall clock of a shared machine is noise) so the ratio can be printed after the table.
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

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    QApplication app(argc, argv);
    platform::qt::QtBackend backend;
    OpenLevelThreeGame(backend);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double present = reporter.medians["BM_PresentFrame"], paint = reporter.medians["BM_FullPaintLevel3"];
    if (present > 0)
        std::printf("full level-3 paint / bare presentation: %.2fx (target <= 3x)\n", paint / present);
    platform::SetBackend(nullptr);
    return 0;
}
