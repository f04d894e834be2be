// Why a call into the page's engine did not do what it was asked: every
// call answers one of these, and the page words each in its own language.
#pragma once

namespace vz {

enum class EngineReason : int {
    Done = 0,
    NoHandle,    // the call named no engine or session
    BadText,     // a text argument missing, or not one the call knows
    BadPattern,  // a pattern code that is not DDDD-PPP
    BadRequest,  // a frame count, size or reference size out of range
    NoJob,       // a frame was asked for before a job was set
    BadFrame,    // a frame number outside the job's, or out of order
    BadInput,    // a frame handed in with a length no frame of the job has
    NoRun,       // the session was asked about a run it is not making
};

// The name the page knows the reason by.
inline const char* reason_name(EngineReason reason) {
    switch (reason) {
        case EngineReason::Done: return "done";
        case EngineReason::NoHandle: return "noHandle";
        case EngineReason::BadText: return "badText";
        case EngineReason::BadPattern: return "badPattern";
        case EngineReason::BadRequest: return "badRequest";
        case EngineReason::NoJob: return "noJob";
        case EngineReason::BadFrame: return "badFrame";
        case EngineReason::BadInput: return "badInput";
        case EngineReason::NoRun: return "noRun";
    }
    return "unknown";
}

}  // namespace vz
