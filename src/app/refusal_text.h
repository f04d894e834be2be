// The window's words for a run request that the run refused: which value,
// what it was, and the range it must lie in.
#pragma once

#include <QString>

#include "run/run_values.h"

namespace vz {

QString refusal_text(const RequestProblem& problem);

}  // namespace vz
