// The system's reasons for a failed file operation, in Russian for the
// common cases and as the system words them otherwise.
#pragma once

#include <QString>
#include <system_error>

namespace vz {

QString reason_text(std::error_code error);

}  // namespace vz
