// Texts the window's parts share: conversions between the engine's UTF-8
// and Qt's strings, line breaks as the messages keep them, the caption.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vz {

inline const QString kTitle = QStringLiteral("Vuzuduzi-2");
inline const QString kCrLf = QStringLiteral("\r\n");

inline QString text_of(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string bytes_of(const QString& text) { return text.toStdString(); }

}  // namespace vz
