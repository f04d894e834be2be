#include "app/system_reasons.h"

#include <QCoreApplication>
#include <cerrno>

namespace vz {

namespace {
struct SystemReasons {
    Q_DECLARE_TR_FUNCTIONS(SystemReasons)
};
}  // namespace

QString reason_text(std::error_code error) {
    if (error.category() == std::generic_category() || error.category() == std::system_category()) {
        switch (error.value()) {
            case ENOSPC: return SystemReasons::tr("На диске нет свободного места");
            case EACCES:
            case EPERM: return SystemReasons::tr("Нет прав на запись");
            case EROFS: return SystemReasons::tr("Диск доступен только для чтения");
            case ENOENT: return SystemReasons::tr("Такой папки нет");
            case ENAMETOOLONG: return SystemReasons::tr("Слишком длинное имя файла");
            case EDQUOT: return SystemReasons::tr("Превышена дисковая квота");
            case EIO: return SystemReasons::tr("Ошибка ввода-вывода");
            case EEXIST: return SystemReasons::tr("Файл с таким именем уже есть");
            default: break;
        }
    }
    return QString::fromLocal8Bit(error.message());
}

}  // namespace vz
