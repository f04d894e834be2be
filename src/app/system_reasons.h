// The system's reasons for a failed file operation, in Russian for the
// common cases and as the system words them otherwise.
#pragma once

#include <QString>
#include <string>

namespace vz {

QString reason_text(int error_number);
// The same for a reason already given as the system's text (strerror).
QString reason_text(const std::string& system_text);

}  // namespace vz
