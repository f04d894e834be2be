#include "app/refusal_text.h"

#include <QCoreApplication>

namespace vz {

namespace {
struct RunRefusal {
    Q_DECLARE_TR_FUNCTIONS(RunRefusal)
};

QString name_of(RequestValue value) {
    switch (value) {
        case RequestValue::FrameCount: return RunRefusal::tr("Количество картинок");
        case RequestValue::PictureSize: return RunRefusal::tr("Размер картинок");
        case RequestValue::ReferenceSize: return RunRefusal::tr("Исходный размер узора");
        case RequestValue::PatternDigit: return RunRefusal::tr("Цифра узора");
        case RequestValue::PalettePower: return RunRefusal::tr("Степень палитры");
        case RequestValue::None: break;
    }
    return {};
}
}  // namespace

QString refusal_text(const RequestProblem& problem) {
    return RunRefusal::tr("%1: %2, а допустимо от %3 до %4.")
        .arg(name_of(problem.value), QString::number(problem.given), QString::number(problem.low),
             QString::number(problem.high));
}

}  // namespace vz
