// The engine as the page's workers use it: each worker holds an engine of
// its own, made by vz_engine_new and named in every call. A frame worker
// makes whole frames (drawn and encoded, or painted); one engine assembles
// the file from them with the native run's block writers. Every call checks
// what it is given and answers an EngineReason; its bytes are then read
// through vz_bytes and vz_length.
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
#include "run/progress_values.h"
#include "web/engine_reason.h"
#include "web/handles.h"
#include "web/json_text.h"

using namespace vz;

namespace {

// Blocks of the background pass written by one call: a few at a time, so
// that the page can show the pass's progress as it goes.
constexpr std::int64_t kBackgroundBlocks = 512;

}  // namespace

struct Engine {
    struct Job {
        PatternParameters pattern;
        int frames = 0;
        int size = 0;
        bool compressed = true;
        bool transparent = false;
        bool small = false;  // the smaller layout, of either mode's pictures
        RoseFigure figure;
        UncompressedLayout layout;
        SmallFilePlan plan;  // for the smaller layout
    };
    std::optional<Job> job;
    ByteSink out;                      // the bytes of the last call
    std::vector<std::uint8_t> input;   // a frame handed in
    FrameScratch scratch;              // a frame worker's grid and encoder
    SmallFrameScratch small_scratch;   // the same for the smaller layout
    std::vector<std::uint8_t> black;   // the uncompressed layout's black record
    int next_part = 0;                 // the frame the file takes next
    std::int64_t next_block = 0;       // the background pass's next block; 0 when the frame is done
    std::optional<ProgressValues> shown;  // the background pass's progress at its last block, if it wrote one
    RequestProblem refused;            // why the last job was refused, when it was
    std::string refused_text;          // the same as JSON, for vz_problem

    // The longest frame a job can hand in: its record in the uncompressed
    // layout, else twice its pixels (LZW codes are at most 12 bits a pixel).
    std::size_t longest_frame() const {
        const std::size_t pixels = static_cast<std::size_t>(job->size) * static_cast<std::size_t>(job->size);
        return painted() ? black.size() : 2 * pixels + 4096;
    }
    // The uncompressed layout's records, painted in place.
    bool painted() const { return !job->compressed && !job->small; }
    int bytes_out() const { return static_cast<int>(out.bytes().size()); }
};

namespace {

Handles<Engine> engines;

int answer(EngineReason reason) { return static_cast<int>(reason); }

// Whether `engine` is one and has a job to make frames of.
EngineReason job_set(const Engine* engine) {
    if (!engines.has(engine)) return EngineReason::NoHandle;
    return engine->job ? EngineReason::Done : EngineReason::NoJob;
}

}  // namespace

// Tells the worker's JavaScript that the frame in hand reached a milestone:
// rings drawn then rows encoded, or sweeps painted.
EM_JS(void, vz_reached, (int milestone), { if (Module["onMilestone"]) Module["onMilestone"](milestone); });

extern "C" {

EMSCRIPTEN_KEEPALIVE Engine* vz_engine_new() { return engines.add(std::make_unique<Engine>()); }

EMSCRIPTEN_KEEPALIVE const char* vz_reason_name(int reason) {
    return reason_name(static_cast<EngineReason>(reason));
}

// Sets the run every later call is about.
EMSCRIPTEN_KEEPALIVE int vz_job(Engine* engine, const char* pattern_code, int reference, int size, int frames,
                                int compressed, int transparent, int small) {
    if (!engines.has(engine)) return answer(EngineReason::NoHandle);
    if (!pattern_code) return answer(EngineReason::BadText);
    const std::optional<PatternParameters> pattern = parse_pattern(pattern_code);
    if (!pattern) return answer(EngineReason::BadPattern);
    RunRequest request;
    request.pattern = *pattern;
    request.pattern.reference_size = reference;
    request.picture_size = size;
    request.frame_count = frames;
    engine->job.reset();
    engine->refused = run_request_problem(request);
    if (!engine->refused.empty()) return answer(EngineReason::BadRequest);
    engine->job.emplace(Engine::Job{request.pattern, frames, size, compressed != 0, transparent != 0, small != 0,
                                    RoseFigure(request.pattern, size), UncompressedLayout(size), {}});
    Engine::Job& job = *engine->job;
    if (job.small) job.plan = plan_small_file(job.figure, job.pattern, job.compressed, job.transparent, frames);
    engine->small_scratch.after_frame = 0;  // a picture of the last job is none of this one's
    engine->black = engine->painted() ? black_frame_record(size, frames) : std::vector<std::uint8_t>();
    engine->next_part = 0;
    engine->next_block = 0;
    return answer(EngineReason::Done);
}

// {value, given, low, high}: the value of the last job refused as a bad
// request, by the name the page knows it by, and its range.
EMSCRIPTEN_KEEPALIVE const char* vz_problem(Engine* engine) {
    if (!engines.has(engine)) return "null";
    constexpr const char* kNames[] = {"", "frameCount", "pictureSize", "referenceSize", "patternDigit", "palettePower"};
    const RequestProblem& problem = engine->refused;
    engine->refused_text = JsonObject()
               .add("value", kNames[static_cast<int>(problem.value)])
               .add("given", problem.given)
               .add("low", problem.low)
               .add("high", problem.high)
               .text();
    return engine->refused_text.c_str();
}

// Makes frame f: its LZW data, or its painted record.
EMSCRIPTEN_KEEPALIVE int vz_frame(Engine* engine, int f) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    const Engine::Job& job = *engine->job;
    if (f < 1 || f > job.frames) return answer(EngineReason::BadFrame);
    int reached = 0;
    engine->out.clear();
    if (job.small) {
        make_small_frame(job.plan, f, engine->small_scratch, engine->out, [&] { vz_reached(++reached); });
    } else if (job.compressed) {
        make_compressed_frame(job.figure, f, engine->scratch, engine->out, [&] { vz_reached(++reached); });
    } else {
        std::vector<std::uint8_t> record = engine->black;
        paint_frame_record(job.figure, f, record, [&] { vz_reached(++reached); });
        engine->out.put(std::span<const std::uint8_t>(record));
    }
    return answer(EngineReason::Done);
}

// Room for a frame of `size` bytes handed in, at vz_input_data.
EMSCRIPTEN_KEEPALIVE int vz_input(Engine* engine, int size) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    if (size < 1 || static_cast<std::size_t>(size) > engine->longest_frame()) return answer(EngineReason::BadInput);
    engine->input.resize(static_cast<std::size_t>(size));
    return answer(EngineReason::Done);
}
EMSCRIPTEN_KEEPALIVE std::uint8_t* vz_input_data(Engine* engine) {
    return engines.has(engine) ? engine->input.data() : nullptr;
}

// The file's parts in order: the leading blocks; in the uncompressed layout
// the background pass, frame by frame; each frame (handed in with vz_input);
// the trailer.
EMSCRIPTEN_KEEPALIVE int vz_leading(Engine* engine) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    engine->out.clear();
    if (engine->job->small)
        write_small_leading_blocks(engine->out, engine->job->plan);
    else
        write_leading_blocks(engine->out, engine->job->pattern, engine->job->size);
    engine->next_part = 1;
    return answer(EngineReason::Done);
}

// The background pass of frame f from block `first` on: a few blocks, the
// frame header before block 1 and the last short block after the last.
// vz_next_block then gives where the next call goes on, 0 when the frame is
// complete, and vz_progress the strips at the last block written.
EMSCRIPTEN_KEEPALIVE int vz_background(Engine* engine, int f, int first) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    if (!engine->painted()) return answer(EngineReason::NoJob);
    const Engine::Job& job = *engine->job;
    const std::int64_t blocks = job.layout.full_blocks();
    if (f < 1 || f > job.frames || first < 1 || first > blocks + 1) return answer(EngineReason::BadFrame);
    engine->out.clear();
    if (first == 1) write_frame_header(engine->out, gif::kUncompressedPacked, frame_delay_for(job.frames), job.size);
    const std::int64_t last = std::min<std::int64_t>(blocks, first + kBackgroundBlocks - 1);
    for (std::int64_t b = first; b <= last; ++b) job.layout.write_full_block(engine->out);
    engine->shown.reset();  // a frame with no full block shows nothing new
    if (last >= first) engine->shown = block_progress(f, job.frames, last, blocks);
    engine->next_block = last < blocks ? last + 1 : 0;
    if (engine->next_block == 0) job.layout.write_final_block(engine->out);
    return answer(EngineReason::Done);
}
EMSCRIPTEN_KEEPALIVE int vz_next_block(Engine* engine) {
    return engines.has(engine) ? static_cast<int>(engine->next_block) : 0;
}
// The frame strip, the run strip and the percentage, as three ints; null
// when the last call wrote no full block.
EMSCRIPTEN_KEEPALIVE const ProgressValues* vz_progress(Engine* engine) {
    return engines.has(engine) && engine->shown ? &*engine->shown : nullptr;
}

// Frame f, the next one of the file, as made by a frame worker.
EMSCRIPTEN_KEEPALIVE int vz_frame_part(Engine* engine, int f) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    const Engine::Job& job = *engine->job;
    if (f != engine->next_part || f > job.frames) return answer(EngineReason::BadFrame);
    if (engine->painted() && engine->input.size() != engine->black.size()) return answer(EngineReason::BadInput);
    engine->out.clear();
    if (job.compressed && !job.small)
        write_compressed_frame(engine->out, job.transparent, job.frames, job.size, engine->input);
    else
        engine->out.put(std::span<const std::uint8_t>(engine->input));  // a whole record
    ++engine->next_part;
    return answer(EngineReason::Done);
}

EMSCRIPTEN_KEEPALIVE int vz_trailer(Engine* engine) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    if (engine->next_part != engine->job->frames + 1) return answer(EngineReason::BadFrame);
    engine->out.clear();
    write_trailer(engine->out);
    return answer(EngineReason::Done);
}

// For the benchmark of the encoder alone: frame f drawn, as S x S palette
// indices row by row; and the pixels handed in LZW-encoded as one frame.
EMSCRIPTEN_KEEPALIVE int vz_draw(Engine* engine, int f) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    if (f < 1 || f > engine->job->frames) return answer(EngineReason::BadFrame);
    draw_frame(engine->job->figure, f, engine->scratch.grid, [] {});
    const std::size_t S = static_cast<std::size_t>(engine->job->size);
    engine->out.clear();
    for (std::size_t r = 1; r <= S; ++r)
        engine->out.put(std::span<const std::uint8_t>(&engine->scratch.grid[r * (S + 1) + 1], S));
    return answer(EngineReason::Done);
}
EMSCRIPTEN_KEEPALIVE int vz_encode(Engine* engine) {
    if (const EngineReason reason = job_set(engine); reason != EngineReason::Done) return answer(reason);
    if (!engine->scratch.encoder) engine->scratch.encoder = std::make_unique<LzwEncoder>();
    engine->out.clear();
    engine->scratch.encoder->begin_frame(engine->out);
    engine->scratch.encoder->encode(engine->input.data(), engine->input.size());
    engine->scratch.encoder->end_frame();
    return answer(EngineReason::Done);
}

// The bytes of the last call.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* vz_bytes(Engine* engine) {
    return engines.has(engine) ? engine->out.bytes().data() : nullptr;
}
EMSCRIPTEN_KEEPALIVE int vz_length(Engine* engine) { return engines.has(engine) ? engine->bytes_out() : 0; }

}  // extern "C"
