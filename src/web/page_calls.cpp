// The page's session as its JavaScript calls it, on the page's own thread:
// a session made by vz_session_new and named in every call. Every call
// checks what it is given and answers an EngineReason; what it has to say
// is then read as JSON through vz_session_answer.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "web/engine_reason.h"
#include "web/handles.h"
#include "web/json_text.h"
#include "web/page_session.h"
#include "web/tune_calls.h"

using namespace vz;

struct Session {
    PageSession page;
    std::string answer;               // the last call's JSON
    std::vector<double> score;        // the last tune composed, as the page's synthesizer plays it
};

namespace {

Handles<Session> sessions;

int answer(Session& session, std::string json) {
    session.answer = std::move(json);
    return static_cast<int>(EngineReason::Done);
}
int refuse(EngineReason reason) { return static_cast<int>(reason); }

const char* rejection_name(Rejection rejection) {
    switch (rejection) {
        case Rejection::None: return "";
        case Rejection::TooManyFrames: return "tooManyFrames";
        case Rejection::TooFewFrames: return "tooFewFrames";
        case Rejection::TooLarge: return "tooLarge";
        case Rejection::TooSmall: return "tooSmall";
    }
    return "";
}

std::string form_json(const PageForm& form) {
    const bool previous = form.previous.reference_size > 0;
    return JsonObject()
        .add("count", form.count)
        .add("size", form.size)
        .add("mobile", form.mobile)
        .add("transparent", form.transparent)
        .add("compress", form.compress)
        .add("small", form.small)
        .add("repeatEnabled", form.repeat_enabled)
        .add("repeatChecked", form.repeat_checked)
        .add("pattern", previous ? format_pattern(form.previous) : std::string())
        .add("reference", static_cast<int>(form.previous.reference_size))
        .text();
}

std::string job_json(const PageJob& job) {
    return JsonObject()
        .add("pattern", format_pattern(job.pattern))
        .add("reference", static_cast<int>(job.pattern.reference_size))
        .add("size", job.size)
        .add("frames", job.frames)
        .add("compressed", job.compressed)
        .add("transparent", job.transparent)
        .add("small", job.small)
        .text();
}

std::optional<Choice> choice_named(std::string_view name) {
    constexpr std::pair<std::string_view, Choice> kChoices[] = {
        {"count", Choice::Count},         {"size", Choice::Size},         {"sizeLeft", Choice::SizeLeft},
        {"mobile", Choice::Mobile},       {"transparent", Choice::Transparent},
        {"compress", Choice::Compress},   {"small", Choice::Small},     {"repeat", Choice::Repeat},
    };
    for (const auto& [known, choice] : kChoices)
        if (name == known) return choice;
    return std::nullopt;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE Session* vz_session_new() { return sessions.add(std::make_unique<Session>()); }

EMSCRIPTEN_KEEPALIVE const char* vz_session_answer(Session* session) {
    return sessions.has(session) ? session->answer.c_str() : "";
}

// "en" for a browser whose first language is English, else "ru": the
// window's rule for its desktop's language.
EMSCRIPTEN_KEEPALIVE const char* vz_page_language(const char* first) {
    if (!first) return "ru";
    const std::string_view tag = first;
    const std::string_view language = tag.substr(0, tag.find_first_of("-_"));
    return language.size() == 2 && (language[0] | 0x20) == 'e' && (language[1] | 0x20) == 'n' ? "en" : "ru";
}

// The prefix of the storage keys that are the page's.
EMSCRIPTEN_KEEPALIVE const char* vz_storage_prefix() { return PageStore::kPrefix.data(); }

// A value the page's storage holds, and a value of the page's link.
EMSCRIPTEN_KEEPALIVE int vz_session_put(Session* session, const char* storage_key, const char* text) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!storage_key || !text) return refuse(EngineReason::BadText);
    session->page.store().put(storage_key, text);
    return answer(*session, "null");
}
EMSCRIPTEN_KEEPALIVE int vz_session_link(Session* session, const char* name, const char* value) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!name || !value) return refuse(EngineReason::BadText);
    session->page.add_link_value(name, value);
    return answer(*session, "null");
}

// {form, problem}: the form as the page opens, and what is wrong with its link.
EMSCRIPTEN_KEEPALIVE int vz_session_open(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    const std::string problem = session->page.open();
    return answer(*session, JsonObject().raw("form", form_json(session->page.form())).add("problem", problem).text());
}

// The user changed a control ("count", "size", "sizeLeft" when the size box
// is left, "mobile", "transparent", "compress", "small", "repeat"); `value` is the
// text, or "1" and "0" for a box. Answers the form.
EMSCRIPTEN_KEEPALIVE int vz_session_choose(Session* session, const char* choice, const char* value) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!choice || !value) return refuse(EngineReason::BadText);
    const std::optional<Choice> which = choice_named(choice);
    if (!which) return refuse(EngineReason::BadText);
    session->page.choose(*which, value);
    return answer(*session, form_json(session->page.form()));
}

// A press of Start or Stop. {outcome: "stop", "rejected" or "started", form;
// rejection; job, workers, milestones, name}.
EMSCRIPTEN_KEEPALIVE int vz_session_press(Session* session, int running, int processors) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    const PressResult result = session->page.press(running != 0, processors);
    JsonObject json;
    json.add("outcome", result.outcome == PressOutcome::Stop       ? "stop"
                        : result.outcome == PressOutcome::Rejected ? "rejected"
                                                                   : "started");
    json.raw("form", form_json(session->page.form()));
    if (result.outcome == PressOutcome::Rejected) json.add("rejection", rejection_name(result.rejection));
    if (result.outcome == PressOutcome::Started) {
        json.raw("job", job_json(*session->page.job()))
            .add("workers", result.parallel.workers)
            .add("milestones", session->page.milestones())
            .add("name", result.file_name);
    }
    return answer(*session, json.text());
}

// The frame a free worker makes next, 0 when none may start now.
EMSCRIPTEN_KEEPALIVE int vz_session_take_frame(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!session->page.job()) return refuse(EngineReason::NoRun);
    return answer(*session, std::to_string(session->page.take_frame()));
}
EMSCRIPTEN_KEEPALIVE int vz_session_release_frame(Session* session, int frame) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!session->page.job()) return refuse(EngineReason::NoRun);
    if (frame < 1 || frame > session->page.job()->frames) return refuse(EngineReason::BadFrame);
    session->page.release_frame(frame);
    return answer(*session, "null");
}

// {frame, total, percent}: the strips and the percentage when frame `frame`
// has reached `milestone`.
EMSCRIPTEN_KEEPALIVE int vz_session_progress(Session* session, int frame, int milestone) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!session->page.job()) return refuse(EngineReason::NoRun);
    if (frame < 1 || frame > session->page.job()->frames) return refuse(EngineReason::BadFrame);
    const ProgressValues values = session->page.progress(frame, milestone);
    return answer(*session, JsonObject()
                                .add("frame", values.frame_blocks)
                                .add("total", values.total_blocks)
                                .add("percent", values.percent)
                                .text());
}

// {name, link}: the finished file is offered under `name`; `link` makes its picture again.
EMSCRIPTEN_KEEPALIVE int vz_session_offer(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    if (!session->page.job()) return refuse(EngineReason::NoRun);
    const std::string name = session->page.offer();
    return answer(*session, JsonObject().add("name", name).add("link", session->page.link_of_run()).text());
}
EMSCRIPTEN_KEEPALIVE int vz_session_end_run(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    session->page.end_run();
    return answer(*session, "null");
}

// The About face's tune, composed anew: {sol, fon, bas, score}, the counters
// it used and the length of its score (see tune_calls.h) at vz_session_score.
EMSCRIPTEN_KEEPALIVE int vz_session_compose(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    const ComposedTune tune = session->page.compose();
    session->score = tune_score(tune.table);
    return answer(*session, JsonObject()
                                .add("sol", static_cast<int>(tune.counters.sol))
                                .add("fon", static_cast<int>(tune.counters.fon))
                                .add("bas", static_cast<int>(tune.counters.bas))
                                .add("score", static_cast<int>(session->score.size()))
                                .text());
}
EMSCRIPTEN_KEEPALIVE const double* vz_session_score(Session* session) {
    return sessions.has(session) ? session->score.data() : nullptr;
}

// [[storage key, text], ...]: every value written since the last look, for
// the page to keep in its storage.
EMSCRIPTEN_KEEPALIVE int vz_session_written(Session* session) {
    if (!sessions.has(session)) return refuse(EngineReason::NoHandle);
    std::string json = "[";
    for (const auto& [key, text] : session->page.store().take_written()) {
        if (json.size() > 1) json += ',';
        json += "[" + json_string(key) + "," + json_string(text) + "]";
    }
    return answer(*session, json + "]");
}

}  // extern "C"
