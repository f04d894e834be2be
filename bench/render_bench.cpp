// Speed of the picture engine, side by side with its natural yardsticks:
//  - our LZW encoder against giflib's EGifPutLine and cgif on the same frames;
//  - drawing a frame against one sincos per point, the old floor for exact
//    drawing, and a whole run against that floor over all of its points;
//  - a whole render in either mode, with one worker thread and with all;
//  - how soon a run ends after Stop while workers draw ahead.
// All at S = M = 1000.
#include <benchmark/benchmark.h>
#include <cgif.h>
#include <gif_lib.h>

#include <chrono>
#include <cmath>
#include <filesystem>

#include "io/byte_sink.h"
#include "pattern/vector_rose_points.h"
#include "gif/lzw_encoder.h"
#include "pattern/rose_figure.h"
#include "pattern/sine_palette.h"
#include "run/frame_pipeline.h"
#include "run/generation_run.h"

namespace {

constexpr int kSize = 1000;
constexpr int kFrames = 4;       // frames the encoders compare on
constexpr int kRunFrames = 100;  // frames of a whole run

vz::PatternParameters bench_pattern() {
    vz::PatternParameters p;
    p.twist_digit = 6, p.petal_digit = 3, p.shrink_digit = 7, p.spin_digit = 1;
    p.red_power = 1, p.green_power = 2, p.blue_power = 0;
    p.reference_size = kSize;
    return p;
}

// Rose frames 1..10, each S * S palette indices in raster order.
std::vector<std::vector<std::uint8_t>> rose_frames(int count) {
    static const auto frames = [] {
        std::vector<std::vector<std::uint8_t>> result;
        const vz::RoseFigure figure(bench_pattern(), kSize, vz::drawing_path_from_environment());
        std::vector<std::uint8_t> grid;
        for (int f = 1; f <= 10; ++f) {
            vz::draw_frame(figure, f, grid, [] {});
            std::vector<std::uint8_t> pixels;
            for (int y = 1; y <= kSize; ++y) {
                const std::uint8_t* row = grid.data() + y * (kSize + 1) + 1;
                pixels.insert(pixels.end(), row, row + kSize);
            }
            result.push_back(std::move(pixels));
        }
        return result;
    }();
    return {frames.begin(), frames.begin() + count};
}

void set_pixel_counters(benchmark::State& state, int frames = kFrames) {
    state.SetItemsProcessed(state.iterations() * frames * static_cast<std::int64_t>(kSize) * kSize);
}

void BM_Encode_Ours(benchmark::State& state) {
    const auto frames = rose_frames(kFrames);
    vz::LzwEncoder encoder;
    vz::ByteSink out;
    for (auto _ : state) {
        out.clear();
        for (const auto& pixels : frames) {
            encoder.begin_frame(out);
            for (int y = 0; y < kSize; ++y) encoder.encode(&pixels[static_cast<std::size_t>(y) * kSize], kSize);
            encoder.end_frame();
        }
        benchmark::DoNotOptimize(out.bytes().data());
    }
    set_pixel_counters(state);
}
BENCHMARK(BM_Encode_Ours)->Unit(benchmark::kMillisecond);

int discard_gif_output(GifFileType*, const GifByteType*, int length) { return length; }

void BM_Encode_Giflib(benchmark::State& state) {
    const auto frames = rose_frames(kFrames);
    const vz::Palette palette = vz::sine_palette(bench_pattern());
    GifColorType colours[128];
    for (int i = 0; i < 128; ++i) colours[i] = {palette[3 * i], palette[3 * i + 1], palette[3 * i + 2]};
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = EGifOpen(nullptr, discard_gif_output, &error);
        ColorMapObject* map = GifMakeMapObject(128, colours);
        EGifPutScreenDesc(gif, kSize, kSize, 8, 0, map);
        for (const auto& pixels : frames) {
            EGifPutImageDesc(gif, 0, 0, kSize, kSize, false, nullptr);
            for (int y = 0; y < kSize; ++y)
                EGifPutLine(gif, const_cast<GifPixelType*>(&pixels[static_cast<std::size_t>(y) * kSize]), kSize);
        }
        EGifCloseFile(gif, &error);
        GifFreeMapObject(map);
    }
    set_pixel_counters(state);
}
BENCHMARK(BM_Encode_Giflib)->Unit(benchmark::kMillisecond);

int discard_cgif_output(void*, const std::uint8_t*, const std::size_t) { return 0; }

// frames:4 against the other encoders, frames:10 against a whole run of 10.
void BM_Encode_Cgif(benchmark::State& state) {
    const auto frames = rose_frames(static_cast<int>(state.range(0)));
    vz::Palette palette = vz::sine_palette(bench_pattern());
    for (auto _ : state) {
        CGIF_Config config{};
        config.pGlobalPalette = palette.data();
        config.attrFlags = CGIF_ATTR_IS_ANIMATED;
        config.width = kSize;
        config.height = kSize;
        config.numGlobalPaletteEntries = 128;
        config.pWriteFn = discard_cgif_output;
        CGIF* gif = cgif_newgif(&config);
        for (const auto& pixels : frames) {
            CGIF_FrameConfig frame{};
            frame.pImageData = const_cast<std::uint8_t*>(pixels.data());
            frame.delay = 5;
            cgif_addframe(gif, &frame);
        }
        cgif_close(gif);
    }
    set_pixel_counters(state, static_cast<int>(frames.size()));
}
BENCHMARK(BM_Encode_Cgif)->ArgName("frames")->Arg(kFrames)->Arg(10)->Unit(benchmark::kMillisecond);

// Points the guard recomputed per point drawn since `before`.
void report_guard(benchmark::State& state, std::uint64_t before, double points) {
    state.counters["vector"] = vz::drawing_path_from_environment() == vz::DrawingPath::Vector;
    state.counters["guard_per_point"] = static_cast<double>(vz::guard_firings() - before) / points;
}

void BM_DrawFrame(benchmark::State& state) {
    const vz::RoseFigure figure(bench_pattern(), kSize, vz::drawing_path_from_environment());
    std::vector<std::uint8_t> grid;
    int frame = 1;
    const std::uint64_t firings = vz::guard_firings();
    for (auto _ : state) {
        vz::draw_frame(figure, frame, grid, [] {});
        benchmark::DoNotOptimize(grid.data());
        frame = frame % 100 + 1;
    }
    state.SetItemsProcessed(state.iterations() * (figure.ring_count() + 1) * vz::kCompressedRingSteps);
    report_guard(state, firings, static_cast<double>(state.iterations()) * (figure.ring_count() + 1) *
                                     vz::kCompressedRingSteps);
}
BENCHMARK(BM_DrawFrame)->Unit(benchmark::kMillisecond);

// The floor: one sincos per point of a frame and nothing else.
void BM_SincosFloor(benchmark::State& state) {
    const int points = (vz::ring_count(kSize) + 1) * vz::kCompressedRingSteps;
    double angle = 0.1, sum = 0;
    for (auto _ : state) {
        for (int i = 0; i < points; ++i) {
            double s, c;
            ::sincos(angle, &s, &c);
            sum += s + c;
            angle += 0.0007;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(BM_SincosFloor)->Unit(benchmark::kMillisecond);

// The old floor of a whole compressed run of 1000 x 1000 x 100: one scalar
// sincos of each point's own angle, nothing else.
void BM_SincosFloor_Run(benchmark::State& state) {
    const vz::PatternParameters p = bench_pattern();
    const int rings = vz::ring_count(kSize);
    const double root_m = std::sqrt(p.reference_size);
    double sum = 0;
    for (auto _ : state) {
        for (int f = 1; f <= kRunFrames; ++f)
            for (int k = 0; k <= rings; ++k) {
                const double a1 = (p.twist_digit / 10.0 + 0.5) * (k / 4.0) / (root_m / 2);
                const double a3 = (f / p.reference_size) * 3;
                for (int j = 1; j <= vz::kCompressedRingSteps; ++j) {
                    double s, c;
                    ::sincos(a1 + static_cast<double>(j) / vz::kStepsPerRadian * (p.spin_digit + 1) + a3, &s, &c);
                    sum += s + c;
                }
            }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kRunFrames * (rings + 1) * vz::kCompressedRingSteps);
}
BENCHMARK(BM_SincosFloor_Run)->Unit(benchmark::kMillisecond)->Iterations(1);

// A whole run of 1000 x 1000 x 100 (or 10 frames), as the batch tool makes
// it, with one worker thread or with one per processor (workers:0). Run the
// process under `taskset -c 0` as well to see one core against all of them.
void BM_Render(benchmark::State& state) {
    const bool compressed = state.range(0) != 0;
    const auto folder = std::filesystem::temp_directory_path();
    vz::RunRequest request;
    request.pattern = bench_pattern();
    request.frame_count = static_cast<int>(state.range(2));
    request.picture_size = kSize;
    request.compressed = compressed;
    request.worker_count = static_cast<int>(state.range(1));
    const std::uint64_t firings = vz::guard_firings();
    request.output_path = folder / (compressed ? "vz-bench-c.gif" : "vz-bench-u.gif");
    vz::SilentRunObserver observer;
    for (auto _ : state) {
        std::filesystem::remove(request.output_path);
        if (vz::run_generation(request, observer).outcome != vz::RunOutcome::Completed)
            state.SkipWithError("render failed");
    }
    std::filesystem::remove(request.output_path);
    state.counters["processors"] = vz::processors_available();
    if (compressed)
        report_guard(state, firings, static_cast<double>(state.iterations()) * request.frame_count *
                                         (vz::ring_count(kSize) + 1) * vz::kCompressedRingSteps);
}
BENCHMARK(BM_Render)
    ->ArgNames({"compressed", "workers", "frames"})
    ->ArgsProduct({{1, 0}, {1, 0}, {kRunFrames}})
    ->Args({1, 0, 10})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// How long a run takes to end after a check point says Stop, workers
// drawing ahead included: from that answer until run_generation returns.
class StopAtCheckPoint final : public vz::RunObserver {
public:
    explicit StopAtCheckPoint(long at) : at_(at) {}
    void show_frame_bar(int) override {}
    void show_total_bar(int) override {}
    void show_percent(int) override {}
    void show_frame_number(int) override {}
    void show_background_pass() override {}
    vz::CheckPoint check_point() override {
        if (++checks_ != at_) return vz::CheckPoint::Continue;
        stopped_at_ = std::chrono::steady_clock::now();
        return vz::CheckPoint::Stop;
    }
    std::chrono::steady_clock::time_point stopped_at() const { return stopped_at_; }

private:
    long at_;
    long checks_ = 0;
    std::chrono::steady_clock::time_point stopped_at_{};
};

void BM_StopLatency(benchmark::State& state) {
    const bool compressed = state.range(0) != 0;
    vz::RunRequest request;
    request.pattern = bench_pattern();
    request.frame_count = 10;
    request.picture_size = kSize;
    request.compressed = compressed;
    request.output_path = std::filesystem::temp_directory_path() / "vz-bench-stop.gif";
    // Compressed: a middle row of frame 5. Uncompressed: a point of frame 3's
    // painting, after the 10 x 3968 check points of the background pass.
    const long at = compressed ? 4 * (kSize + 1) + kSize / 2 : 10L * 3968 + 2L * 56 * 9440 + 12345;
    for (auto _ : state) {
        StopAtCheckPoint observer(at);
        const auto outcome = vz::run_generation(request, observer).outcome;
        const auto returned = std::chrono::steady_clock::now();
        if (outcome != vz::RunOutcome::Stopped) state.SkipWithError("the run did not stop");
        state.SetIterationTime(std::chrono::duration<double>(returned - observer.stopped_at()).count());
    }
}
BENCHMARK(BM_StopLatency)->ArgName("compressed")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
