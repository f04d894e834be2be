#include "app/controls.h"

#include <QAccessibleWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStorageInfo>
#include <QStyleOption>
#include <QStyleOptionButton>
#include <QDir>
#include <QStyle>
#include <QStylePainter>

namespace vz {

namespace {

// The drive list to assistive technology: Qt names a combo box on Linux by
// its current text, so a screen reader heard "/" for it. Here the name is
// its own and the current drive is its value.
class DriveListAccessible final : public QAccessibleWidget {
public:
    explicit DriveListAccessible(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return list()->currentText();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << showMenuAction(); }
    void doAction(const QString& action) override {
        if (action == showMenuAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    DriveList* list() const { return static_cast<DriveList*>(widget()); }
};

QAccessibleInterface* drive_list_accessible(const QString& class_name, QObject* object) {
    if (class_name != QLatin1String(DriveList::staticMetaObject.className())) return nullptr;
    auto* list = qobject_cast<DriveList*>(object);
    return list ? new DriveListAccessible(list) : nullptr;
}

}  // namespace

void ColourButton::set_colour(const QColor& colour) {
    QPalette p = palette();
    p.setColor(QPalette::Button, colour);
    setPalette(p);
    update();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.setPen(palette().color(QPalette::ButtonText));
    // Long runs of blanks in the caption stand for line breaks.
    const QStringList lines = text().split(QRegularExpression(QStringLiteral("\\s{2,}")), Qt::SkipEmptyParts);
    painter.drawText(rect().adjusted(4, 2, -4, -2), Qt::AlignCenter | Qt::TextWordWrap, lines.join('\n'));
}

ClickableLabel::ClickableLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickableLabel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            emit clicked();
            return;
        default:
            QLabel::keyPressEvent(event);
    }
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus()) return;
    // The focus frame around the text, as a push button shows its own.
    QStylePainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = contentsRect().intersected(
        QStyle::alignedRect(layoutDirection(), alignment(), sizeHint(), contentsRect()).adjusted(-1, 0, 1, 0));
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
}

ShapeFrame::ShapeFrame(QWidget* parent, QColor border, bool rounded, QColor fill)
    : QWidget(parent), border_(border), fill_(fill), rounded_(rounded) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeFrame::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(border_);
    painter.setBrush(fill_.isValid() ? QBrush(fill_) : Qt::NoBrush);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (rounded_)
        painter.drawRoundedRect(r, 8, 8);
    else
        painter.drawRect(r);
}

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { set_folder(item->data(Qt::UserRole).toString()); });
}

bool FolderList::set_folder(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir() || !info.isExecutable()) return false;
    const QString folder = QDir::cleanPath(info.absoluteFilePath());
    if (folder == folder_) return true;
    folder_ = folder;
    fill();
    emit folder_changed();
    return true;
}

void FolderList::fill() {
    clear();
    const QIcon open_folder = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed_folder = style()->standardIcon(QStyle::SP_DirClosedIcon);
    QStringList ancestors;
    for (QDir dir(folder_);; ) {
        ancestors.prepend(dir.absolutePath());
        if (!dir.cdUp()) break;
    }
    const QString indent = QStringLiteral("  ");
    int depth = 0;
    for (const QString& ancestor : ancestors) {
        const QString name = depth == 0 ? ancestor : QFileInfo(ancestor).fileName();
        auto* item = new QListWidgetItem(open_folder, indent.repeated(depth++) + name, this);
        item->setData(Qt::UserRole, ancestor);
    }
    setCurrentRow(count() - 1);
    for (const QString& name : QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(closed_folder, indent.repeated(depth) + name, this);
        item->setData(Qt::UserRole, folder_ + (folder_.endsWith('/') ? QString() : QStringLiteral("/")) + name);
    }
    scrollToItem(item(ancestors.size() - 1), QAbstractItemView::PositionAtTop);
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    static const bool installed = (QAccessible::installFactory(drive_list_accessible), true);
    (void)installed;
    refresh();
    connect(this, &QComboBox::activated, this, [this] { emit drive_changed(); });
}

void DriveList::refresh() {
    clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = volume.rootPath();
        const QString name = volume.displayName();
        addItem(name == root ? root : root + QStringLiteral("  [") + name + ']', root);
    }
}

QString DriveList::drive_of(const QString& folder) { return QStorageInfo(folder).rootPath(); }

void DriveList::set_drive_of(const QString& folder) {
    const QString root = drive_of(folder);
    int at = findData(root);
    if (at < 0) {
        refresh();
        at = findData(root);
    }
    const QSignalBlocker quiet(this);
    setCurrentIndex(at);
}

}  // namespace vz
