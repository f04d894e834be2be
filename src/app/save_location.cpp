#include "app/save_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QStandardPaths>

#include <unistd.h>

#include "app/controls.h"
#include "run/run_values.h"

namespace vz {

namespace {

bool writable_folder(const QString& path) {
    const QFileInfo info(path);
    return !path.isEmpty() && info.isDir() && ::access(QFile::encodeName(info.absoluteFilePath()).constData(), W_OK) == 0;
}

}  // namespace

SaveLocation::SaveLocation(DriveList* drive, FolderList* folders, QListWidget* files, QLineEdit* path)
    : Drive1(drive), Dir1(folders), File1(files), Text3(path) {}

void SaveLocation::load(const QString& stored_folder) {
    const QString folder = usable_folder(stored_folder);
    Drive1->set_drive_of(folder);
    Dir1->set_folder(folder);
    show_files();
    folder_ = Dir1->folder();
}

QString SaveLocation::usable_folder(const QString& stored) {
    if (!stored.isEmpty() && QFileInfo(stored).isDir()) return QDir::cleanPath(QFileInfo(stored).absoluteFilePath());
    const QString candidates[] = {QCoreApplication::applicationDirPath(),
                                  QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
                                  QDir::homePath()};
    for (const QString& candidate : candidates)
        if (writable_folder(candidate)) return QDir::cleanPath(candidate);
    return QDir::homePath();
}

std::pair<QString, qint64> SaveLocation::free_name(const std::set<QString>& taken, qint64 first) {
    for (qint64 n = first;; ++n) {
        QString name = QString::fromStdString(file_name_for(n));
        if (!taken.contains(name)) return {std::move(name), n};
    }
}

void SaveLocation::propose_next_name() {
    // One directory listing; a name counts as taken only when stored with
    // exactly this spelling.
    std::set<QString> taken;
    for (const QString& name : QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System))
        taken.insert(name);
    proposed_path_ = folder_ + '/' + free_name(taken).first;
    Text3->setText(proposed_path_);
}

void SaveLocation::show_files() {
    // Hidden files stay out, among them a running picture's temporary file.
    const QStringList names = QDir(Dir1->folder()).entryList({QStringLiteral("*.GIF*")}, QDir::Files, QDir::Name);
    // Rows are changed in place rather than made anew: a refresh between the
    // two clicks of a double-click must leave the clicked row the same item.
    const QSet<QString> listed(names.begin(), names.end());
    for (int row = File1->count() - 1; row >= 0; --row)
        if (!listed.contains(File1->item(row)->text())) delete File1->takeItem(row);
    for (int row = 0; row < names.size(); ++row)
        if (row >= File1->count() || File1->item(row)->text() != names[row]) File1->insertItem(row, names[row]);
    while (File1->count() > names.size()) delete File1->takeItem(File1->count() - 1);
}

void SaveLocation::folder_changed() {
    show_files();
    folder_ = Dir1->folder();
    propose_next_name();
}

void SaveLocation::drive_changed() {
    // A volume that cannot be shown leaves the folder list where it was;
    // either way the file list, save folder and proposal follow it again.
    Dir1->set_folder(Drive1->drive());
    folder_changed();
}

void SaveLocation::file_clicked() {
    Drive1->set_drive_of(folder_);
    Dir1->set_folder(folder_);
    const QListWidgetItem* item = File1->currentItem();
    const QString name = item ? item->text() : QString();
    show_files();
    if (!name.isEmpty()) {
        selected_file_ = folder_ + '/' + name;
        const QList<QListWidgetItem*> same = File1->findItems(name, Qt::MatchExactly);
        if (!same.isEmpty()) File1->setCurrentItem(same.front());
    }
}

}  // namespace vz
