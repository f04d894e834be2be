#include "app/system_reasons.h"

#include <cerrno>
#include <cstring>

namespace vz {

namespace {
constexpr int kTranslated[] = {ENOSPC, EACCES, EPERM, EROFS, ENOENT, ENAMETOOLONG, EDQUOT, EIO, EEXIST};
}

QString reason_text(int error_number) {
    switch (error_number) {
        case ENOSPC: return QStringLiteral("На диске нет свободного места");
        case EACCES:
        case EPERM: return QStringLiteral("Нет прав на запись");
        case EROFS: return QStringLiteral("Диск доступен только для чтения");
        case ENOENT: return QStringLiteral("Такой папки нет");
        case ENAMETOOLONG: return QStringLiteral("Слишком длинное имя файла");
        case EDQUOT: return QStringLiteral("Превышена дисковая квота");
        case EIO: return QStringLiteral("Ошибка ввода-вывода");
        case EEXIST: return QStringLiteral("Файл с таким именем уже есть");
        default: return QString::fromLocal8Bit(std::strerror(error_number));
    }
}

QString reason_text(const std::string& system_text) {
    // The run reports strerror's text in this process's locale, so the same
    // call tells which number it stands for.
    for (int error_number : kTranslated)
        if (system_text == std::strerror(error_number)) return reason_text(error_number);
    return QString::fromLocal8Bit(system_text.c_str());
}

}  // namespace vz
