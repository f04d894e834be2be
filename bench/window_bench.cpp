// What the window's event-loop turns cost a large run: Start pressed in the
// real window (offscreen) against the same run with nobody watching, as the
// batch tool makes it. Both write 1000 x 1000 x 100, in either mode.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "app/form1.h"
#include "recording_midi_output.h"
#include "memory_settings_store.h"
#include "run/generation_run.h"

namespace {

constexpr int kFrames = 100;
constexpr int kSize = 1000;

// The desktop without dialogs: real event processing and clock.
class BenchPlatform final : public vz::Platform {
public:
    BenchPlatform() { clock_.start(); }
    void message_box(const QString&, const QString&, Icon) override {}
    void open_file(const QString&) override {}
    bool open_link(const QString&) override { return false; }
    float seconds_since_midnight() override { return 45296.37109375f; }
    qint64 steady_milliseconds() override { return clock_.elapsed(); }
    void process_events() override { QCoreApplication::processEvents(); }
    vz::MidiOutput& midi_output() override { return midi_; }
    void quit() override {}

private:
    QElapsedTimer clock_;
    vz::RecordingMidiOutput midi_{false};
};

void BM_Run_Window(benchmark::State& state) {
    QTemporaryDir folder;
    BenchPlatform platform;
    vz::MemorySettingsStore settings;
    settings.write("tem", "put", folder.path().toStdString());
    settings.write("tem", "col", std::to_string(kFrames));
    settings.write("tem", "px", std::to_string(kSize));
    settings.write("met", "ope", "0");
    vz::Form1 window(platform, settings);
    window.Form_Load();
    window.findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(state.range(0) != 0);
    auto* start = window.findChild<QPushButton*>(QStringLiteral("Command1"));
    window.show();
    for (auto _ : state) {
        start->click();
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
    }
}
BENCHMARK(BM_Run_Window)->ArgName("compressed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_Run_Unwatched(benchmark::State& state) {
    QTemporaryDir folder;
    vz::RunRequest request;
    vz::randomize_pattern(request.pattern, 45296.37109375f);
    request.pattern.reference_size = kSize;
    request.frame_count = kFrames;
    request.picture_size = kSize;
    request.compressed = state.range(0) != 0;
    request.output_path = (folder.path() + "/Kvel_1.GIF").toStdString();
    vz::SilentRunObserver observer;
    for (auto _ : state) {
        vz::run_generation(request, observer);
        std::filesystem::remove(request.output_path);
    }
}
BENCHMARK(BM_Run_Unwatched)->ArgName("compressed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
