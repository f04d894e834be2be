#include "web/page_session.h"

#include <cmath>
#include <cstdio>

#include "cli/gif_options.h"
#include "pattern/rose_figure.h"
#include "run/repeat_rule.h"
#include "run/stored_choices.h"

namespace vz {

namespace {

// The page's own values, beside those the window stores.
namespace page {
inline constexpr StoredKey kCompress{"page", "compress", "1"};
inline constexpr StoredKey kSmall{"page", "small", "0"};
inline constexpr StoredKey kPattern{"page", "pattern", ""};     // the previous picture, DDDD-PPP
inline constexpr StoredKey kReference{"page", "reference", "0"};  // and its reference size
inline constexpr StoredKey kOffered{"page", "file", "0"};       // n of the last Kvel_<n>.GIF offered
}  // namespace page

// File numbers go up to this; a stored number beyond it, or not a whole
// number, starts again from 1.
constexpr double kLastFileNumber = 999999999;

// A size as the window shows a remembered one: a single-precision number, "323", "12.5".
std::string number_text(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(static_cast<float>(value)));
    return text;
}

// The link's values as the batch tool's options; the first of a name counts.
// A value option given without its value is refused as the tool's parser
// refuses it.
std::optional<std::string> read_link(const std::vector<std::pair<std::string, std::string>>& link,
                                     GifValues& values, bool& any) {
    GifArguments arguments;
    const std::pair<const GifOption*, std::optional<std::string>*> value_options[] = {
        {&gif_option::kFrames, &arguments.frames},
        {&gif_option::kSize, &arguments.size},
        {&gif_option::kReference, &arguments.reference},
        {&gif_option::kPattern, &arguments.pattern},
    };
    const std::pair<std::string_view, bool*> flags[] = {
        {gif_option::kUncompressed, &arguments.uncompressed},
        {gif_option::kTransparent, &arguments.transparent},
        {gif_option::kSmall, &arguments.small},
    };
    any = false;
    for (const auto& [name, value] : link) {
        const std::string option = "--" + name;
        for (const auto& [which, given] : value_options) {
            if (option != which->name || *given) continue;
            if (value.empty())
                return std::string(which->name) + ": 1 required " + std::string(which->value_name) +
                       " missing (see --help)";
            *given = value;
            any = true;
        }
        for (const auto& [flag, on] : flags) {
            if (option != flag) continue;
            *on = true;
            any = true;
        }
    }
    return check_gif_values(arguments, values);
}

}  // namespace

void PageSession::add_link_value(std::string_view name, std::string_view value) {
    link_.emplace_back(std::string(name), std::string(value));
}

std::string PageSession::open() {
    form_.count = read_text(store_, stored::kFrameCount);
    form_.size = read_text(store_, stored::kPictureSize);
    form_.mobile = read_box(store_, stored::kMobileSize);
    form_.transparent = read_box(store_, stored::kTransparent);
    form_.compress = read_box(store_, page::kCompress);
    form_.small = read_box(store_, page::kSmall);
    if (const auto pattern = parse_pattern(read_text(store_, page::kPattern))) {
        const double reference = read_number(store_, page::kReference);
        form_.previous = *pattern;
        form_.previous.reference_size = reference >= kMinSize && reference <= kMaxSize ? reference : 0;
    }
    form_.repeat_enabled = form_.previous.reference_size > 0;
    const double offered = std::floor(read_number(store_, page::kOffered));
    offered_number_ = offered >= 0 && offered <= kLastFileNumber ? static_cast<int>(offered) : 0;
    if (form_.mobile) form_.size = std::to_string(kMobileSize);

    GifValues values;
    bool any = false;
    std::optional<std::string> problem = read_link(link_, values, any);
    if (!problem && any) {
        // The link is a command line of the batch tool: what it leaves out
        // has the tool's defaults, and it wins for this visit only.
        if (values.frames) form_.count = std::to_string(values.frames);
        if (values.size) {
            form_.size = std::to_string(values.size);
            form_.mobile = false;
        }
        form_.compress = !values.uncompressed;
        form_.transparent = values.transparent;
        form_.small = values.small;
        if (values.pattern) {
            form_.previous = *values.pattern;
            form_.previous.reference_size = values.reference   ? values.reference
                                            : values.size      ? values.size
                                                               : std::floor(leading_number(form_.size));
            form_.repeat_enabled = form_.repeat_checked = true;
        }
    }
    saved_size_ = leading_number(form_.size);
    compose_tune(store_);
    return problem.value_or("");
}

void PageSession::choose(Choice choice, std::string_view value) {
    const bool on = value == "1";
    switch (choice) {
        case Choice::Count:
            form_.count = value;
            write_text(store_, stored::kFrameCount, value);
            return;
        case Choice::Size:
            form_.size = value;
            break;
        case Choice::SizeLeft:
            if (form_.mobile) form_.size = std::to_string(kMobileSize);
            break;
        case Choice::Mobile:
            form_.mobile = on;
            write_box(store_, stored::kMobileSize, on);
            if (on) {
                saved_size_ = leading_number(form_.size);
                form_.size = std::to_string(kMobileSize);
            } else {
                form_.size = number_text(saved_size_);
            }
            break;
        case Choice::Transparent:
            form_.transparent = on;
            write_box(store_, stored::kTransparent, on);
            return;
        case Choice::Compress:
            form_.compress = on;
            write_box(store_, page::kCompress, on);
            return;
        case Choice::Small:
            form_.small = on;
            write_box(store_, page::kSmall, on);
            return;
        case Choice::Repeat:
            form_.repeat_checked = on;
            return;
    }
    write_text(store_, stored::kPictureSize, form_.size);
}

void PageSession::store_previous() {
    write_text(store_, page::kPattern, format_pattern(form_.previous));
    write_text(store_, page::kReference, std::to_string(static_cast<int>(form_.previous.reference_size)));
}

PressResult PageSession::press(bool running, int processors) {
    PressResult result;
    form_.repeat_enabled = true;
    if (renew_unless_repeating(form_.previous, form_.repeat_checked, seconds_since_local_midnight())) store_previous();
    if (running) return result;

    const RunNumbers numbers = validate_run_numbers(form_.count, form_.size);
    if (!numbers.accepted()) {
        result.outcome = PressOutcome::Rejected;
        result.rejection = numbers.rejection;
        return result;
    }
    if (!settle_run_pattern(form_.previous, form_.repeat_checked, numbers.picture_size, seconds_since_local_midnight()))
        store_previous();
    job_ = PageJob{form_.previous, numbers.frame_count, numbers.picture_size, form_.compress, form_.transparent,
                   form_.small};
    result.outcome = PressOutcome::Started;
    result.parallel = parallelism_for(numbers.frame_count, 0, processors);
    schedule_.emplace(numbers.frame_count, result.parallel.slots);
    result.file_name = file_name_for(next_number());
    return result;
}

int PageSession::next_number() const { return offered_number_ < kLastFileNumber ? offered_number_ + 1 : 1; }

int PageSession::take_frame() { return schedule_ ? schedule_->take() : 0; }

void PageSession::release_frame(int frame) {
    if (schedule_) schedule_->release(frame);
}

int PageSession::milestones() const {
    if (!job_) return 0;
    const int rings = ring_count(job_->pattern.reference_size) + 1;
    return job_->drawn_whole() ? rings + job_->size : rings * kSweepsPerRing;
}

ProgressValues PageSession::progress(int frame, int milestone) const {
    if (!job_ || frame < 1 || frame > job_->frames) return {};
    const PageJob& job = *job_;
    const int K = ring_count(job.pattern.reference_size);
    if (job.drawn_whole()) {
        // Nothing new is shown while a frame is drawn; then each row at its start.
        const int rows = milestone - (K + 1);
        if (rows < 0) return frame > 1 ? row_progress(frame - 1, job.frames, job.size, job.size) : ProgressValues{};
        return row_progress(frame, job.frames, job.size, std::min(rows + 1, job.size));
    }
    const int sweeps = std::clamp(milestone, 0, (K + 1) * kSweepsPerRing);
    if (sweeps == (K + 1) * kSweepsPerRing)
        return step_progress(frame, job.frames, K, kSweepsPerRing * kSweepStride - 1, K);
    return step_progress(frame, job.frames, sweeps / kSweepsPerRing, sweeps % kSweepsPerRing * kSweepStride, K);
}

std::string PageSession::offer() {
    offered_number_ = next_number();
    write_text(store_, page::kOffered, std::to_string(offered_number_));
    return file_name_for(offered_number_);
}

std::string PageSession::link_of_run() const {
    if (!job_) return {};
    const PageJob& job = *job_;
    // The link names each option as the tool does, without its dashes.
    std::string link;
    auto add = [&](std::string_view option, const std::string& value = {}) {
        link.append(link.empty() ? "?" : "&").append(option.substr(2));
        if (!value.empty()) link.append("=").append(value);
    };
    add(gif_option::kFrames.name, std::to_string(job.frames));
    add(gif_option::kSize.name, std::to_string(job.size));
    add(gif_option::kPattern.name, format_pattern(job.pattern));
    if (job.pattern.reference_size != job.size)
        add(gif_option::kReference.name, std::to_string(static_cast<int>(job.pattern.reference_size)));
    if (!job.compressed) add(gif_option::kUncompressed);
    if (job.transparent) add(gif_option::kTransparent);
    if (job.small) add(gif_option::kSmall);
    return link;
}

void PageSession::end_run() { schedule_.reset(); }

}  // namespace vz
