#include "run/generation_run.h"

#include <cerrno>
#include <cmath>
#include <new>
#include <cstring>
#include <system_error>
#include <vector>

#include "io/byte_sink.h"
#include "gif/gif_blocks.h"
#include "gif/lzw_encoder.h"
#include "io/output_file.h"
#include "gif/uncompressed_layout.h"
#include "pattern/rose_figure.h"
#include "pattern/sine_palette.h"

namespace vz {

namespace {

// The two strips and the percentage, each shown only when its value changes.
class Progress {
public:
    explicit Progress(RunObserver& observer) : observer_(observer) {}

    void frame_bar(int blocks) {
        if (blocks != frame_bar_blocks_) observer_.show_frame_bar(frame_bar_blocks_ = blocks);
    }
    void total_bar(int blocks) {
        if (blocks != total_bar_blocks_) observer_.show_total_bar(total_bar_blocks_ = blocks);
    }
    void percent(int value) {
        if (value != percent_done_) observer_.show_percent(percent_done_ = value);
    }

private:
    RunObserver& observer_;
    int frame_bar_blocks_ = 0;
    int total_bar_blocks_ = 0;
    int percent_done_ = 0;
};

// Int(v) of a progress fraction: truncation corrected for negatives equals
// floor for every value that fits an int, without a libm call per point.
int floor_int(double v) {
    const int truncated = static_cast<int>(v);
    return truncated - (v < truncated);
}

// Progress of the painting pass within one ring of frame f: the frame
// fraction F = (k * 6.28 * q + j) / ((K + 1) * 6.28 * q), and from it the two
// strips and the percentage. All three only grow with j inside a ring, so
// they are computed afresh only at the steps where one of them changes
// (found by bisection) and shown exactly there, as if computed at every step.
class RingProgress {
public:
    RingProgress(Progress& progress, double ring_start, double ring_span, int frame, int frames)
        : progress_(progress), ring_start_(ring_start), ring_span_(ring_span), frame_(frame), frames_(frames) {}

    void at(int step) {
        if (step < next_change_) return;
        const Values now = values(step);
        progress_.frame_bar(now.frame_blocks);
        progress_.total_bar(now.total_blocks);
        progress_.percent(now.percent);
        next_change_ = first_change_after(step, now);
    }

private:
    static constexpr int kLastStep = kSweepsPerRing * kSweepStride - 1;
    struct Values {
        int frame_blocks, total_blocks, percent;
        bool operator==(const Values&) const = default;
    };

    Values values(int step) const {
        const double F = (ring_start_ + step) / ring_span_;
        const double run_fraction = (F + frame_ - 1) / frames_;
        return {floor_int(F * 32), floor_int(run_fraction * 32), floor_int(run_fraction * 100)};
    }
    // The first step after `step` whose values differ from `now`, or one past the ring.
    int first_change_after(int step, const Values& now) const {
        if (values(kLastStep) == now) return kLastStep + 1;
        int same = step, changed = kLastStep;
        while (changed - same > 1) {
            const int middle = same + (changed - same) / 2;
            (values(middle) == now ? same : changed) = middle;
        }
        return changed;
    }

    Progress& progress_;
    double ring_start_, ring_span_;
    int frame_, frames_;
    int next_change_ = 0;
};

// Thrown from inside a pass when a check point ends the run.
struct RunInterrupted {
    RunOutcome outcome;
};

void take_check_point(RunObserver& observer) {
    switch (observer.check_point()) {
        case CheckPoint::Continue: return;
        case CheckPoint::Stop: throw RunInterrupted{RunOutcome::Stopped};
        case CheckPoint::Exit: throw RunInterrupted{RunOutcome::Exited};
    }
}

void turn_and_check(RunObserver& observer) {
    observer.yield_to_events();
    take_check_point(observer);
}

void write_leading_blocks(ByteSink& out, const RunRequest& request) {
    write_gif_header(out, request.picture_size);
    write_palette(out, sine_palette(request.pattern));
    write_loop_extension(out);
    write_comment(out);
}

// Runs `write` against a fresh output file and settles how the run ended:
// the file is moved into place only when `write` returns normally.
template <class Write>
RunResult with_output_file(const RunRequest& request, Write&& write) {
    if (path_exists(request.output_path)) return {RunOutcome::FileExists, {}};
    try {
        OutputFile file(request.output_path);
        try {
            write(file);
        } catch (const RunInterrupted& interrupted) {
            file.discard();
            return {interrupted.outcome, {}};
        }
        if (file.commit() == OutputFile::Commit::NameTaken) return {RunOutcome::FileExists, {}};
        return {RunOutcome::Completed, {}};
    } catch (const std::system_error& error) {
        return {RunOutcome::Failed, std::strerror(error.code().value())};
    } catch (const std::bad_alloc&) {
        return {RunOutcome::Failed, std::strerror(ENOMEM)};
    }
}

}  // namespace

RunResult run_compressed(const RunRequest& request, RunObserver& observer) {
    return with_output_file(request, [&](OutputFile& file) {
        ByteSink out(file);
        write_leading_blocks(out, request);
        observer.show_percent(0);

        const int S = request.picture_size;
        const double size = S;
        const double frames = request.frame_count;
        const std::uint8_t delay = frame_delay_for(request.frame_count);
        const std::uint8_t flags = control_flags_for(request.transparent);
        const RoseFigure figure(request.pattern, size);
        LzwEncoder encoder;
        Progress progress(observer);
        std::vector<std::uint8_t> grid;
        const std::size_t stride = static_cast<std::size_t>(S) + 1;

        for (int f = 1; f <= request.frame_count; ++f) {
            observer.show_frame_number(f);
            write_frame_header(out, flags, delay, S);
            encoder.begin_frame(out);
            // The drawing pass writes nothing, so it yields without check points.
            draw_frame(figure, f, grid, [&] { observer.yield_to_events(); });
            for (int r = 1; r <= S; ++r) {
                take_check_point(observer);
                const double done = ((f - 1) * size + r) / (frames * size);
                progress.frame_bar(floor_int(r / size * 32));
                progress.percent(floor_int(done * 100));
                progress.total_bar(floor_int(done * 32));
                encoder.encode(&grid[r * stride + 1], static_cast<std::size_t>(S));
                observer.yield_to_events();
            }
            take_check_point(observer);
            encoder.end_frame();
        }
        write_trailer(out);
        out.flush();
    });
}

RunResult run_uncompressed(const RunRequest& request, RunObserver& observer) {
    return with_output_file(request, [&](OutputFile& file) {
        const int S = request.picture_size;
        const int N = request.frame_count;
        const UncompressedLayout layout(S);

        // Pass 1: the whole file with every pixel black.
        ByteSink out(file);
        write_leading_blocks(out, request);
        observer.show_percent(0);
        const std::uint8_t delay = frame_delay_for(N);
        const double blocks = static_cast<double>(layout.full_blocks());
        for (int f = 1; f <= N; ++f) {
            write_frame_header(out, gif::kUncompressedPacked, delay, S);
            observer.show_background_pass();
            for (std::int64_t b = 1; b <= layout.full_blocks(); ++b) {
                // Both strips on every block, without touching the recorded values.
                observer.show_frame_bar(floor_int(b / blocks * 32));
                observer.show_total_bar(floor_int(((f - 1.0) / N + b / blocks / N) * 32));
                layout.write_full_block(out);
                turn_and_check(observer);
            }
            layout.write_final_block(out);
        }
        write_trailer(out);
        out.flush();

        // Pass 2: paint every point at its byte. A frame record is read back,
        // painted in drawing order and written in place, one frame at a time.
        const RoseFigure figure(request.pattern, S);
        const int K = figure.ring_count();
        const double q = kStepsPerRadian;
        const double ring_span = (K + 1) * 6.28 * q;
        Progress progress(observer);
        std::vector<std::uint8_t> record(static_cast<std::size_t>(layout.frame_stride()));
        for (int f = 1; f <= N; ++f) {
            observer.show_frame_number(f);
            const std::uint64_t record_offset = gif::kFirstFrameOffset + (f - 1) * layout.frame_stride();
            file.read_at(record_offset, record.data(), record.size());
            for (int k = 0; k <= K; ++k) {
                const RoseFigure::Ring ring = figure.ring(f, k);
                const std::uint8_t colour = ring_colour(k);
                RingProgress ring_progress(progress, k * 6.28 * q, ring_span, f, N);
                for (int c = 0; c < kSweepsPerRing; ++c) {
                    const int first = kSweepStride * c;
                    for_each_point(ring, first, first + kStepsPerSweep - 1, [&](int j, Point p) {
                        take_check_point(observer);
                        ring_progress.at(j);
                        record[static_cast<std::size_t>(layout.offset_in_frame(p.x, p.y))] = colour;
                    });
                    turn_and_check(observer);
                }
            }
            file.write_at(record_offset, record.data(), record.size());
        }
    });
}

}  // namespace vz
