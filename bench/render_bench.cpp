// Speed of the picture engine, side by side with its natural yardsticks:
//  - our LZW encoder against giflib's EGifPutLine and cgif on the same frames;
//  - drawing a frame against one sincos per point, the floor for exact drawing;
//  - a whole compressed render against the same render uncompressed.
// All at S = M = 1000.
#include <benchmark/benchmark.h>
#include <cgif.h>
#include <gif_lib.h>

#include <cmath>
#include <filesystem>

#include "io/byte_sink.h"
#include "gif/lzw_encoder.h"
#include "pattern/rose_figure.h"
#include "pattern/sine_palette.h"
#include "run/generation_run.h"

namespace {

constexpr int kSize = 1000;
constexpr int kFrames = 4;

vz::PatternParameters bench_pattern() {
    vz::PatternParameters p;
    p.twist_digit = 6, p.petal_digit = 3, p.shrink_digit = 7, p.spin_digit = 1;
    p.red_power = 1, p.green_power = 2, p.blue_power = 0;
    p.reference_size = kSize;
    return p;
}

// Rose frames 1..kFrames, each S * S palette indices in raster order.
const std::vector<std::vector<std::uint8_t>>& rose_frames() {
    static const auto frames = [] {
        std::vector<std::vector<std::uint8_t>> result;
        const vz::RoseFigure figure(bench_pattern(), kSize);
        std::vector<std::uint8_t> grid;
        for (int f = 1; f <= kFrames; ++f) {
            vz::draw_frame(figure, f, grid, [] {});
            std::vector<std::uint8_t> pixels;
            for (int y = 1; y <= kSize; ++y)
                pixels.insert(pixels.end(), &grid[y * (kSize + 1) + 1], &grid[y * (kSize + 1) + 1 + kSize]);
            result.push_back(std::move(pixels));
        }
        return result;
    }();
    return frames;
}

void set_pixel_counters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kFrames * static_cast<std::int64_t>(kSize) * kSize);
}

void BM_Encode_Ours(benchmark::State& state) {
    const auto& frames = rose_frames();
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
    const auto& frames = rose_frames();
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

void BM_Encode_Cgif(benchmark::State& state) {
    const auto& frames = rose_frames();
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
    set_pixel_counters(state);
}
BENCHMARK(BM_Encode_Cgif)->Unit(benchmark::kMillisecond);

void BM_DrawFrame(benchmark::State& state) {
    const vz::RoseFigure figure(bench_pattern(), kSize);
    std::vector<std::uint8_t> grid;
    int frame = 1;
    for (auto _ : state) {
        vz::draw_frame(figure, frame, grid, [] {});
        benchmark::DoNotOptimize(grid.data());
        frame = frame % 100 + 1;
    }
    state.SetItemsProcessed(state.iterations() * (figure.ring_count() + 1) * vz::kCompressedRingSteps);
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

void render(benchmark::State& state, bool compressed) {
    const auto folder = std::filesystem::temp_directory_path();
    vz::RunRequest request;
    request.pattern = bench_pattern();
    request.frame_count = 10;
    request.picture_size = kSize;
    request.compressed = compressed;
    request.output_path = folder / (compressed ? "vz-bench-c.gif" : "vz-bench-u.gif");
    vz::SilentRunObserver observer;
    for (auto _ : state) {
        std::filesystem::remove(request.output_path);
        if (vz::run_generation(request, observer).outcome != vz::RunOutcome::Completed)
            state.SkipWithError("render failed");
    }
    std::filesystem::remove(request.output_path);
}
void BM_Render_Compressed(benchmark::State& state) { render(state, true); }
void BM_Render_Uncompressed(benchmark::State& state) { render(state, false); }
BENCHMARK(BM_Render_Compressed)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render_Uncompressed)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
