// Where the next picture goes: the drive and folder lists, the folder's
// pictures, and the path field with the proposed free name.
#pragma once

#include <QString>
#include <set>
#include <utility>

class QLineEdit;
class QListWidget;

namespace vz {

class DriveList;
class FolderList;

class SaveLocation final {
public:
    SaveLocation(DriveList* Drive1, FolderList* Dir1, QListWidget* File1, QLineEdit* Text3);

    // Shows the stored folder, or a usable one when it cannot be shown.
    void load(const QString& stored_folder);
    // The folder's pictures again, keeping the rows that are still there.
    void show_files();
    // The lowest free Kvel_N.GIF in the folder, shown in the path field.
    void propose_next_name();

    void folder_changed();
    void drive_changed();
    void file_clicked();

    const QString& folder() const { return folder_; }
    const QString& proposed_path() const { return proposed_path_; }
    const QString& selected_file() const { return selected_file_; }

    // The first Kvel_N.GIF with N >= first that `taken` does not hold, and its N.
    static std::pair<QString, qint64> free_name(const std::set<QString>& taken, qint64 first = 1);
    // The stored folder when it exists, else the program's own folder where it
    // is writable (it is not once installed), else Pictures, else home.
    static QString usable_folder(const QString& stored);

private:
    DriveList* Drive1;
    FolderList* Dir1;
    QListWidget* File1;
    QLineEdit* Text3;
    QString folder_;
    QString proposed_path_;
    QString selected_file_;
};

}  // namespace vz
