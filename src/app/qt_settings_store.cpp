#include "app/qt_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vz {

namespace {

QString store_path() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vazedoza/vazedoza.conf");
}

QString setting_key(std::string_view section, std::string_view key) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
}

std::error_code last_error() { return {errno, std::generic_category()}; }

// QSettings says only that a save failed, and keeps saying so once a read
// has failed. The reason comes from doing what a save does, with plain
// system calls: make the folder, find out whether the name itself can take
// a file and whether a file there may be written (QSettings leaves a file
// alone that it may not write, another user's, say), then write and sync a
// scratch file of the same size beside it (then removed). When all of that
// works, so did the save.
std::error_code why_saving_fails(const QString& path) {
    const QFileInfo file(path);
    const QByteArray folder = QFile::encodeName(file.absolutePath());
    if (!QDir().mkpath(file.absolutePath())) {
        // The first part of the path that exists and is no folder, or the reason mkdir gives.
        QString part = file.absolutePath();
        while (!QFileInfo::exists(part) && part != QDir::rootPath()) part = QFileInfo(part).absolutePath();
        if (!QFileInfo(part).isDir()) return std::make_error_code(std::errc::not_a_directory);
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST) return last_error();
    }
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return std::make_error_code(std::errc::is_a_directory);
    if (::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno != ENOENT)
        return last_error();
    QByteArray scratch = folder + "/.vazedoza.conf.XXXXXX";
    const int fd = ::mkostemp(scratch.data(), O_CLOEXEC);
    if (fd < 0) return last_error();
    std::error_code error;
    const QByteArray bytes(static_cast<qsizetype>(std::max<qint64>(file.size(), 4096)), ' ');
    errno = 0;
    if (::write(fd, bytes.constData(), static_cast<std::size_t>(bytes.size())) != bytes.size() || ::fsync(fd) != 0)
        error = errno ? last_error() : std::make_error_code(std::errc::no_space_on_device);
    ::close(fd);
    ::unlink(scratch.constData());
    return error;
}

}  // namespace

QtSettingsStore::QtSettingsStore() : settings_(std::make_unique<QSettings>(store_path(), QSettings::IniFormat)) {
    settings_->allKeys();  // reads the file, which tells whether it parses
    if (settings_->status() == QSettings::FormatError) keep_damaged_file();
}

void QtSettingsStore::keep_damaged_file() {
    const QString path = settings_->fileName();
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".damaged.") + QString::number(n);
    // A hard link then an unlink: the bytes stay as they are, and a name
    // that appeared meanwhile is never replaced.
    const QByteArray from = QFile::encodeName(path), to = QFile::encodeName(aside);
    if (::link(from.constData(), to.constData()) != 0) {
        damaged_in_place_ = true;  // a save will say why it fails
        return;
    }
    ::unlink(from.constData());
    damaged_copy_ = aside;
    std::fprintf(stderr, "vuzuduzi-2: the settings file %s could not be read; it was moved to %s\n", from.constData(),
                 to.constData());

    // What could be read stays in use until written anew; the file starts clean.
    for (const QString& key : settings_->allKeys()) recovered_.insert(key, settings_->value(key));
    settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
}

std::string QtSettingsStore::read(std::string_view section, std::string_view key, std::string_view fallback) {
    const QString name = setting_key(section, key);
    const QVariant value = settings_->contains(name) ? settings_->value(name) : recovered_.value(name);
    if (!value.isValid()) return std::string(fallback);
    // A hand-edited list ("a, b") reads back as several texts; keep them as typed.
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", ")).toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::write(std::string_view section, std::string_view key, std::string_view text) {
    settings_->setValue(setting_key(section, key), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    unsaved_ = true;
}

std::error_code QtSettingsStore::save() {
    if (!unsaved_) return {};
    const QByteArray path = QFile::encodeName(settings_->fileName());
    struct stat before = {};
    const bool existed = ::stat(path.constData(), &before) == 0;
    settings_->sync();
    unsaved_ = false;
    bool failed = settings_->status() == QSettings::AccessError;
    if (damaged_in_place_) {
        // The status keeps its first problem, the format error: the file
        // was saved only if it was replaced.
        struct stat after = {};
        failed = existed && ::stat(path.constData(), &after) == 0 && after.st_ino == before.st_ino &&
                 after.st_dev == before.st_dev;
    }
    if (!failed) return {};
    // A failure is never reported as success, even when its reason stays hidden.
    const std::error_code why = why_saving_fails(settings_->fileName());
    return why ? why : std::make_error_code(std::errc::io_error);
}

}  // namespace vz
