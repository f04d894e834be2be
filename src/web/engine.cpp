// The engine as the page uses it: one WebAssembly instance per worker. A
// frame worker makes whole frames (drawn and encoded, or painted); one
// instance assembles the file from them with the native run's block writers.
// Every byte goes into memory and is handed to JavaScript as a view of it.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gif/gif_blocks.h"
#include "gif/lzw_encoder.h"
#include "gif/uncompressed_layout.h"
#include "io/byte_sink.h"
#include "pattern/pattern_parameters.h"
#include "pattern/rose_figure.h"
#include "run/frame_makers.h"
#include "run/generation_run.h"
#include "run/run_values.h"

using namespace vz;

namespace {

struct Job {
    PatternParameters pattern;
    int frames = 0;
    int size = 0;
    bool compressed = true;
    bool transparent = false;
    std::optional<RoseFigure> figure;
};

Job job;
ByteSink out;                      // the bytes of the last call, read through vz_bytes
std::vector<std::uint8_t> input;   // a frame handed in for assembly
FrameScratch scratch;              // a frame worker's grid and encoder
std::vector<std::uint8_t> black;   // the uncompressed layout's black record
std::string text;                  // the last text returned

int bytes_out() { return static_cast<int>(out.bytes().size()); }

}  // namespace

// Tells the worker's JavaScript that the frame in hand reached a milestone:
// rings drawn then rows encoded, or sweeps painted.
EM_JS(void, vz_reached, (int milestone), { if (Module["onMilestone"]) Module["onMilestone"](milestone); });

extern "C" {

// Sets the run every later call is about. Returns 0, or -1 when the pattern
// code or a number is out of range.
EMSCRIPTEN_KEEPALIVE int vz_job(const char* pattern_code, int reference, int size, int frames, int compressed,
                                int transparent) {
    const std::optional<PatternParameters> pattern = parse_pattern(pattern_code);
    if (!pattern) return -1;
    RunRequest request;
    request.pattern = *pattern;
    request.pattern.reference_size = reference;
    request.picture_size = size;
    request.frame_count = frames;
    if (!run_request_problem(request).empty()) return -1;
    job.pattern = request.pattern;
    job.frames = frames;
    job.size = size;
    job.compressed = compressed != 0;
    job.transparent = transparent != 0;
    job.figure.emplace(job.pattern, size);
    black.clear();
    return 0;
}

// A new pattern from the clock, as a Start press draws one: its code.
EMSCRIPTEN_KEEPALIVE const char* vz_random_pattern() {
    PatternParameters pattern;
    randomize_pattern(pattern, seconds_since_local_midnight());
    text = format_pattern(pattern);
    return text.c_str();
}

// The user's count and size texts read as the window reads them: 0 when both
// are accepted (see vz_frames, vz_size), else the Rejection, 1..4.
static RunNumbers numbers;
EMSCRIPTEN_KEEPALIVE int vz_validate(const char* count_text, const char* size_text) {
    numbers = validate_run_numbers(count_text, size_text);
    return static_cast<int>(numbers.rejection);
}
EMSCRIPTEN_KEEPALIVE int vz_frames() { return numbers.frame_count; }
EMSCRIPTEN_KEEPALIVE int vz_size() { return numbers.picture_size; }

// Milestones of one frame of the job, for the progress bars.
EMSCRIPTEN_KEEPALIVE int vz_milestones() {
    const int rings = job.figure->ring_count() + 1;
    return job.compressed ? rings + job.size : rings * kSweepsPerRing;
}
EMSCRIPTEN_KEEPALIVE int vz_rings() { return job.figure->ring_count() + 1; }

// Makes frame f: its LZW data, or its painted record. Returns the length.
EMSCRIPTEN_KEEPALIVE int vz_frame(int f) {
    int reached = 0;
    out.clear();
    if (job.compressed) {
        make_compressed_frame(*job.figure, f, scratch, out, [&] { vz_reached(++reached); });
    } else {
        if (black.empty()) black = black_frame_record(job.size, job.frames);
        std::vector<std::uint8_t> record = black;
        paint_frame_record(*job.figure, f, record, [&] { vz_reached(++reached); });
        out.put(std::span<const std::uint8_t>(record));
    }
    return bytes_out();
}

// Room for a frame of `size` bytes handed in for assembly.
EMSCRIPTEN_KEEPALIVE std::uint8_t* vz_input(int size) {
    input.resize(static_cast<std::size_t>(size));
    return input.data();
}

// The file's parts in order: the leading blocks, each frame (given in
// vz_input), the trailer. Each returns the length of its bytes.
EMSCRIPTEN_KEEPALIVE int vz_leading() {
    out.clear();
    write_leading_blocks(out, job.pattern, job.size);
    return bytes_out();
}
EMSCRIPTEN_KEEPALIVE int vz_frame_part() {
    out.clear();
    if (job.compressed)
        write_compressed_frame(out, job.transparent, job.frames, job.size, input);
    else
        out.put(std::span<const std::uint8_t>(input));
    return bytes_out();
}
EMSCRIPTEN_KEEPALIVE int vz_trailer() {
    out.clear();
    write_trailer(out);
    return bytes_out();
}

// For the benchmark of the encoder alone: frame f drawn, as S x S palette
// indices row by row; and the pixels in vz_input LZW-encoded as one frame.
EMSCRIPTEN_KEEPALIVE int vz_draw(int f) {
    draw_frame(*job.figure, f, scratch.grid, [] {});
    const std::size_t S = static_cast<std::size_t>(job.size);
    out.clear();
    for (std::size_t r = 1; r <= S; ++r) out.put(std::span<const std::uint8_t>(&scratch.grid[r * (S + 1) + 1], S));
    return bytes_out();
}
EMSCRIPTEN_KEEPALIVE int vz_encode() {
    if (!scratch.encoder) scratch.encoder = std::make_unique<LzwEncoder>();
    out.clear();
    scratch.encoder->begin_frame(out);
    scratch.encoder->encode(input.data(), input.size());
    scratch.encoder->end_frame();
    return bytes_out();
}

// The bytes of the last call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* vz_bytes() { return out.bytes().data(); }

}  // extern "C"
