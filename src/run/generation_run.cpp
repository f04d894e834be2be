#include "run/generation_run.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <new>
#include <string>
#include <system_error>
#include <vector>

#include "io/byte_sink.h"
#include "gif/gif_blocks.h"
#include "io/output_file.h"
#include "gif/uncompressed_layout.h"
#include "pattern/rose_figure.h"
#include "run/frame_makers.h"
#include "run/frame_pipeline.h"
#include "run/frame_schedule.h"
#include "run/progress_values.h"
#include "run/shared_picture_shelf.h"

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

// Progress of the painting pass within one ring of frame f. The strips and
// the percentage only grow with the step inside a ring, so they are computed
// afresh only at the steps where one of them changes (found by bisection)
// and shown exactly there, as if computed at every step.
class RingProgress {
public:
    RingProgress(Progress& progress, int ring, int ring_count, int frame, int frames)
        : progress_(progress), ring_(ring), ring_count_(ring_count), frame_(frame), frames_(frames) {}

    // The first step whose values may differ from those shown.
    int next_change() const { return next_change_; }

    void at(int step) {
        if (step < next_change_) return;
        const ProgressValues now = values(step);
        progress_.frame_bar(now.frame_blocks);
        progress_.total_bar(now.total_blocks);
        progress_.percent(now.percent);
        next_change_ = first_change_after(step, now);
    }

private:
    static constexpr int kLastStep = kSweepsPerRing * kSweepStride - 1;

    ProgressValues values(int step) const { return step_progress(frame_, frames_, ring_, step, ring_count_); }
    // The first step after `step` whose values differ from `now`, or one past the ring.
    int first_change_after(int step, const ProgressValues& now) const {
        if (values(kLastStep) == now) return kLastStep + 1;
        int same = step, changed = kLastStep;
        while (changed - same > 1) {
            const int middle = same + (changed - same) / 2;
            (values(middle) == now ? same : changed) = middle;
        }
        return changed;
    }

    Progress& progress_;
    int ring_, ring_count_, frame_, frames_;
    int next_change_ = 0;
};

// How a run ended, with its reason when it failed.
RunResult ended(RunOutcome outcome, std::error_code error = {}, std::string detail = {}) {
    RunResult result;
    result.outcome = outcome;
    result.error = error;
    result.detail = std::move(detail);
    return result;
}

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

// Runs `write` against a fresh output file and settles how the run ended.
// The file is synced, and named only if a last check point after the sync
// lets the run go on: a stop that comes while the disk is busy still leaves
// nothing behind.
// Any other exception from the writing or from a worker (an encoder's
// std::invalid_argument, say) ends the run the same way, as Failed with its
// own words: a run never ends the program.
template <class Write>
RunResult with_output_file(const RunRequest& request, RunObserver& observer, Write&& write) {
    if (path_exists(request.output_path)) return ended(RunOutcome::FileExists);
    try {
        OutputFile file(request.output_path,
                        request.file_system ? *request.file_system : FileSystemCalls::system());
        try {
            write(file);
            file.sync();
            take_check_point(observer);
        } catch (const RunInterrupted& interrupted) {
            file.discard();
            return ended(interrupted.outcome);
        }
        if (file.commit() == OutputFile::Commit::NameTaken) return ended(RunOutcome::FileExists);
        return ended(RunOutcome::Completed);
    } catch (const std::system_error& error) {
        return ended(RunOutcome::Failed, error.code());
    } catch (const std::bad_alloc&) {
        return ended(RunOutcome::Failed, std::make_error_code(std::errc::not_enough_memory));
    } catch (const std::exception& error) {
        return ended(RunOutcome::Failed, {}, error.what());
    } catch (...) {
        return ended(RunOutcome::Failed);
    }
}

Parallelism parallelism_for(const RunRequest& request) {
    return vz::parallelism_for(request.frame_count, request.worker_count, processors_available());
}

// The writing thread follows the frame it is at: it goes on as soon as the
// milestone it needs is reached, and sleeps until then.
template <class Slot>
class FrameFollower {
public:
    FrameFollower(FramePipeline<Slot>& pipeline, int frame) : pipeline_(pipeline), frame_(frame) {}

    void await(int milestone) {
        while (reached_ < milestone) reached_ = pipeline_.wait_for(frame_, milestone, std::chrono::seconds(1));
    }

private:
    FramePipeline<Slot>& pipeline_;
    int frame_;
    int reached_ = 0;
};

// Workers make frames into memory of their own with make(scratch, f,
// data, reached), reaching the milestones of a compressed frame (its rings
// drawn, then its rows encoded); this thread shows the progress and takes
// the check points exactly as a frame drawn and encoded here would, as each
// ring and row is reached, and writes every frame with write(data) only
// after the last check point of that frame.
template <class Scratch, class Make, class Write>
void write_frames(const RunRequest& request, RunObserver& observer, const RoseFigure& figure, Make&& make,
                  Write&& write) {
    const int S = request.picture_size;
    const int rings = figure.ring_count() + 1;

    const Parallelism parallel = parallelism_for(request);
    std::vector<Scratch> scratch(static_cast<std::size_t>(parallel.workers));
    FramePipeline<ByteSink> pipeline(request.frame_count, parallel.workers, parallel.slots,
                                     [&](int worker, int f, ByteSink& data, FrameSteps& steps) {
                                         if (request.frame_started) request.frame_started(f);
                                         int reached = 0;
                                         data.clear();
                                         make(scratch[static_cast<std::size_t>(worker)], f, data,
                                              [&] { steps.reached(++reached); });
                                     });

    Progress progress(observer);
    for (int f = 1; f <= request.frame_count; ++f) {
        observer.show_frame_number(f);
        FrameFollower<ByteSink> frame(pipeline, f);
        // The drawing pass writes nothing and has no check points.
        frame.await(rings);
        for (int r = 1; r <= S; ++r) {
            take_check_point(observer);
            const ProgressValues now = row_progress(f, request.frame_count, S, r);
            progress.frame_bar(now.frame_blocks);
            progress.percent(now.percent);
            progress.total_bar(now.total_blocks);
            frame.await(rings + r);
        }
        take_check_point(observer);
        write(pipeline.take(f).bytes());
        pipeline.release(f);
    }
}

}  // namespace

RunResult run_generation(const RunRequest& request, RunObserver& observer) {
    if (const RequestProblem problem = run_request_problem(request); !problem.empty()) {
        RunResult refused = ended(RunOutcome::Refused);
        refused.refusal = problem;
        return refused;
    }
    if (request.small) return run_small(request, observer);
    return request.compressed ? run_compressed(request, observer) : run_uncompressed(request, observer);
}

RunResult run_compressed(const RunRequest& request, RunObserver& observer) {
    return with_output_file(request, observer, [&](OutputFile& file) {
        ByteSink out(file);
        write_leading_blocks(out, request.pattern, request.picture_size);
        observer.show_percent(0);
        const RoseFigure figure(request.pattern, request.picture_size, drawing_path_from_environment());
        write_frames<FrameScratch>(
            request, observer, figure,
            [&](FrameScratch& scratch, int f, ByteSink& data, auto&& reached) {
                make_compressed_frame(figure, f, scratch, data, reached);
            },
            [&](std::span<const std::uint8_t> data) {
                write_compressed_frame(out, request.transparent, request.frame_count, request.picture_size, data);
            });
        write_trailer(out);
        out.flush();
    });
}

// Either mode's pictures in the smaller layout: frames made whole on the
// workers, leading blocks of their own, the compressed mode's progress.
RunResult run_small(const RunRequest& request, RunObserver& observer) {
    return with_output_file(request, observer, [&](OutputFile& file) {
        const RoseFigure figure(request.pattern, request.picture_size, drawing_path_from_environment());
        const SmallFilePlan plan =
            plan_small_file(figure, request.pattern, request.compressed, request.transparent, request.frame_count);
        ByteSink out(file);
        write_small_leading_blocks(out, plan);
        observer.show_percent(0);
        SharedPictureShelf shelf(static_cast<std::size_t>(parallelism_for(request).slots));
        write_frames<SmallFrameScratch>(
            request, observer, figure,
            [&](SmallFrameScratch& scratch, int f, ByteSink& record, auto&& reached) {
                scratch.shelf = &shelf;
                make_small_frame(plan, f, scratch, record, reached);
            },
            [&](std::span<const std::uint8_t> record) { out.put(record); });
        write_trailer(out);
        out.flush();
    });
}

// Pass 1 writes the black file here while workers already paint frame
// records (each a copy of the black one) for pass 2; pass 2 then shows the
// progress and takes the check points of every point and sweep as each
// sweep is painted, and writes a frame's record after its last check point.
RunResult run_uncompressed(const RunRequest& request, RunObserver& observer) {
    return with_output_file(request, observer, [&](OutputFile& file) {
        const int S = request.picture_size;
        const int N = request.frame_count;
        const UncompressedLayout layout(S);
        const std::uint8_t delay = frame_delay_for(N);

        // Every frame record of pass 1 is the same.
        const std::vector<std::uint8_t> black_record = black_frame_record(S, N);

        // Milestones of a frame: its sweeps painted, ten per ring.
        const RoseFigure figure(request.pattern, S, drawing_path_from_environment());
        const int K = figure.ring_count();
        const Parallelism parallel = parallelism_for(request);
        using Record = std::vector<std::uint8_t>;
        FramePipeline<Record> pipeline(N, parallel.workers, parallel.slots,
                                       [&](int, int f, Record& record, FrameSteps& steps) {
                                           if (request.frame_started) request.frame_started(f);
                                           record = black_record;
                                           int swept = 0;
                                           paint_frame_record(figure, f, record, [&] { steps.reached(++swept); });
                                       });

        // Pass 1: the whole file with every pixel black.
        ByteSink out(file);
        write_leading_blocks(out, request.pattern, request.picture_size);
        observer.show_percent(0);
        for (int f = 1; f <= N; ++f) {
            write_frame_header(out, gif::kUncompressedPacked, delay, S);
            observer.show_background_pass();
            for (std::int64_t b = 1; b <= layout.full_blocks(); ++b) {
                // Both strips on every block, without touching the recorded values.
                const ProgressValues now = block_progress(f, N, b, layout.full_blocks());
                observer.show_frame_bar(now.frame_blocks);
                observer.show_total_bar(now.total_blocks);
                layout.write_full_block(out);
                take_check_point(observer);
            }
            layout.write_final_block(out);
        }
        write_trailer(out);
        out.flush();

        // Pass 2: every point at its byte, a frame record at a time.
        Progress progress(observer);
        for (int f = 1; f <= N; ++f) {
            observer.show_frame_number(f);
            FrameFollower<Record> frame(pipeline, f);
            for (int k = 0; k <= K; ++k) {
                RingProgress ring_progress(progress, k, K, f, N);
                for (int c = 0; c < kSweepsPerRing; ++c) {
                    frame.await(k * kSweepsPerRing + c + 1);
                    const int first = kSweepStride * c, end = first + kStepsPerSweep;
                    for (int j = first; j < end;) {
                        // Up to the next step that changes the progress, only check points.
                        for (const int quiet = std::min(end, ring_progress.next_change()); j < quiet; ++j)
                            take_check_point(observer);
                        if (j == end) break;
                        take_check_point(observer);
                        ring_progress.at(j++);
                    }
                    take_check_point(observer);
                }
            }
            const Record& record = pipeline.take(f);
            file.write_at(gif::kFirstFrameOffset + (f - 1) * layout.frame_stride(), record.data(), record.size());
            pipeline.release(f);
        }
    });
}

}  // namespace vz
