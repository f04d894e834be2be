// What the page knows from its opening to its closing: its form as the
// window's rules fill it, the stored values, the link it was opened with,
// the previous picture, and the run under way. The page's JavaScript shows
// what this holds and tells it what the user did.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "music/tune_composer.h"
#include "pattern/pattern_parameters.h"
#include "run/frame_schedule.h"
#include "run/progress_values.h"
#include "run/run_values.h"
#include "web/page_store.h"

namespace vz {

struct PageForm {
    std::string count;  // the texts as typed
    std::string size;
    bool mobile = false;
    bool transparent = false;
    bool compress = true;
    bool small = false;
    bool repeat_enabled = false;  // there is a previous picture, or Start was pressed
    bool repeat_checked = false;
    PatternParameters previous;   // reference_size 0 while there is none
};

// The form's controls, as the user changes them.
enum class Choice { Count, Size, SizeLeft, Mobile, Transparent, Compress, Small, Repeat };

struct PageJob {
    PatternParameters pattern;  // with its reference size
    int frames = 0;
    int size = 0;
    bool compressed = true;
    bool transparent = false;
    bool small = false;  // the smaller layout
    // Whether each frame is drawn whole, then encoded row by row (else its
    // rings are painted sweep by sweep into the uncompressed layout's record).
    bool drawn_whole() const { return compressed || small; }
};

enum class PressOutcome { Stop, Rejected, Started };

struct PressResult {
    PressOutcome outcome = PressOutcome::Stop;
    Rejection rejection = Rejection::None;  // when Rejected
    Parallelism parallel{1, 1};             // when Started
    std::string file_name;                  // when Started: the name the file will be offered under
};

class PageSession {
public:
    PageStore& store() { return store_; }

    // A value of the link the page was opened with; the first of a name counts.
    void add_link_value(std::string_view name, std::string_view value);
    // The stored values, then the link's over them for this visit; the tune
    // is composed once, as the window composes it when it opens. Returns
    // what is wrong with the link, as the batch tool says it, or empty; a
    // link with something wrong changes nothing.
    std::string open();
    const PageForm& form() const { return form_; }

    void choose(Choice choice, std::string_view value);

    // A press of Start, or of Stop while a run is under way (`running`).
    PressResult press(bool running, int processors);
    const std::optional<PageJob>& job() const { return job_; }
    // The frame a free worker makes next, or 0 when none may start now.
    int take_frame();
    // Frame `frame` is in the file: its worker may take a later one.
    void release_frame(int frame);
    // Milestones of one frame: rings drawn then rows encoded, or sweeps painted.
    int milestones() const;
    // What the run shows when frame `frame`, the one the file waits for, has
    // reached `milestone`.
    ProgressValues progress(int frame, int milestone) const;
    // The finished file is offered: its name, stored as the last one offered.
    std::string offer();
    // The link that makes the run's picture again.
    std::string link_of_run() const;
    void end_run();

    // The About face: the tune composed anew, the counters advanced.
    ComposedTune compose() { return compose_tune(store_); }

private:
    void store_previous();
    int next_number() const;

    PageStore store_;
    std::vector<std::pair<std::string, std::string>> link_;
    PageForm form_;
    double saved_size_ = 0;   // the size before the mobile box was checked
    int offered_number_ = 0;  // n of the last Kvel_<n>.GIF offered
    std::optional<PageJob> job_;
    std::optional<FrameSchedule> schedule_;
};

}  // namespace vz
