// What showing a large run costs: Start pressed in the real window
// (offscreen) against the same run with nobody watching, as the batch tool
// makes it. Both write 1000 x 1000 x 100, in either mode. The window's runs
// also report the longest time its event loop went without a turn, also
// while a slow disk syncs the file.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <thread>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>

#include "app/form1.h"
#include "memory_settings_store.h"
#include "pattern/rose_figure.h"
#include "recording_midi_output.h"
#include "run/generation_run.h"

namespace {

constexpr int kFrames = 100;
constexpr int kSize = 1000;

// The system calls, with every sync taking `sync_delay` as on a slow stick.
class SlowDisk final : public vz::FileSystemCalls {
public:
    std::chrono::milliseconds sync_delay{0};
    int fsync(int fd) override {
        std::this_thread::sleep_for(sync_delay);
        return vz::FileSystemCalls::fsync(fd);
    }
};

// The desktop without dialogs.
class BenchPlatform final : public vz::Platform {
public:
    SlowDisk disk;
    void message_box(const QString&, const QString&, Icon) override {}
    void open_file(const QString&) override {}
    bool open_link(const QString&) override { return false; }
    float seconds_since_midnight() override { return 45296.37109375f; }
    vz::FileSystemCalls& file_system() override { return disk; }
    vz::MidiOutput& midi_output() override { return midi_; }
    void quit() override {}

private:
    vz::RecordingMidiOutput midi_{false};
};

// The longest time between two turns of the event loop, seen by a timer
// that asks for a turn every millisecond.
class TurnGaps {
public:
    TurnGaps() {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
    }
    void start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.start();
    }
    double stop_ms() {
        timer_.stop();
        return longest_ / 1e6;
    }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0, longest_ = 0;
};

// Presses Start in a window that writes `frames` x `size` into a folder of
// its own and serves the window's events until each run has ended.
// With `watch_gaps`, a timer asks the event loop for a turn every millisecond
// to find the longest wait; that costs the run a little, so the comparison
// with the tool runs without it.
void run_in_window(benchmark::State& state, int frames, int size, bool compressed, bool watch_gaps,
                   BenchPlatform& platform) {
    QTemporaryDir folder;
    vz::MemorySettingsStore settings;
    settings.write("tem", "put", folder.path().toStdString());
    settings.write("tem", "col", std::to_string(frames));
    settings.write("tem", "px", std::to_string(size));
    settings.write("met", "ope", "0");
    vz::Form1 window(platform, settings);
    window.Form_Load();
    window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(compressed);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    window.show();
    double longest_gap = 0;
    TurnGaps gaps;
    for (auto _ : state) {
        if (watch_gaps) gaps.start();
        start->click();
        while (window.running()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (watch_gaps) longest_gap = std::max(longest_gap, gaps.stop_ms());
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
    }
    // Responsiveness: the longest the window's events waited during a run.
    if (watch_gaps) state.counters["max_turn_gap_ms"] = longest_gap;
}

void BM_Run_Window(benchmark::State& state) {
    BenchPlatform platform;
    run_in_window(state, kFrames, kSize, state.range(0) != 0, state.range(1) != 0, platform);
}
BENCHMARK(BM_Run_Window)
    ->ArgNames({"compressed", "gaps"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

// A small run whose file takes a second to sync: the window keeps answering.
void BM_SlowSync_Window(benchmark::State& state) {
    BenchPlatform platform;
    platform.disk.sync_delay = std::chrono::milliseconds(1000);
    run_in_window(state, 10, 200, true, true, platform);
}
BENCHMARK(BM_SlowSync_Window)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

// What the batch tool's observer does off a terminal: remembers nothing
// worth showing and stops only on a signal. Defined here, out of sight of
// the run's code, so that its calls cost what the tool's cost (the run's
// code may inline SilentRunObserver's, which no real observer gets).
volatile std::sig_atomic_t g_stop_requested = 0;

class ToolObserver final : public vz::RunObserver {
public:
    void show_frame_bar(int) override {}
    void show_total_bar(int) override {}
    void show_percent(int percent) override { percent_ = percent; }
    void show_frame_number(int frame) override { frame_ = frame; }
    void show_background_pass() override {}
    vz::CheckPoint check_point() override {
        return g_stop_requested ? vz::CheckPoint::Stop : vz::CheckPoint::Continue;
    }

private:
    int percent_ = 0;
    int frame_ = 0;
};

void BM_Run_Unwatched(benchmark::State& state) {
    QTemporaryDir folder;
    vz::RunRequest request;
    vz::randomize_pattern(request.pattern, 45296.37109375f);
    request.pattern.reference_size = kSize;
    request.frame_count = kFrames;
    request.picture_size = kSize;
    request.compressed = state.range(0) != 0;
    request.output_path = (folder.path() + "/Kvel_1.GIF").toStdString();
    ToolObserver observer;
    for (auto _ : state) {
        vz::run_generation(request, observer);
        std::filesystem::remove(request.output_path);
    }
}
BENCHMARK(BM_Run_Unwatched)
    ->ArgName("compressed")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(2);

// Why the frames are drawn on worker threads: on some processors (Zen 4 for
// one) drawing on the thread that has just run Qt's vectorised painting code
// is much slower, as the upper halves of the vector registers stay dirty and
// slow the legacy-SSE drawing code and libm down until they are cleared.
// painted:1 draws each frame right after a fill of a window-sized image on
// the same thread, painted:0 draws the same frames alone; a ratio well above
// 1 says this machine pays, and BM_Run_Window against BM_Run_Unwatched then
// shows whether the window still does.
void BM_DrawFrame_AfterPainting(benchmark::State& state) {
    vz::PatternParameters pattern;
    vz::randomize_pattern(pattern, 45296.37109375f);
    pattern.reference_size = kSize;
    const vz::RoseFigure figure(pattern, kSize, vz::drawing_path_from_environment());
    std::vector<std::uint8_t> grid;
    QImage image(600, 400, QImage::Format_ARGB32_Premultiplied);
    int frame = 1, colour = 0;
    for (auto _ : state) {
        if (state.range(0) != 0) image.fill(QColor::fromRgb(static_cast<QRgb>(0xFF000000u | ++colour)));
        vz::draw_frame(figure, frame, grid, [] {});
        benchmark::DoNotOptimize(grid.data());
        frame = frame % kFrames + 1;
    }
}
BENCHMARK(BM_DrawFrame_AfterPainting)->ArgName("painted")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
