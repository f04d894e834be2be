// A fresh window on a fake platform, with its own settings store and save
// folder in a temporary place.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "app/form1.h"
#include "app/qt_settings_store.h"
#include "control_lookup.h"
#include "fake_platform.h"

// Readable QStrings in test failure messages.
inline std::ostream& operator<<(std::ostream& out, const QString& text) { return out << text.toStdString(); }
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QStringList& texts, std::ostream* out) { *out << texts.join(QStringLiteral(" | ")).toStdString(); }

namespace vz::test {

// A settings store and a save folder of the test's own, in a temporary place.
class WindowFolders : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        folder_ = root_.filePath(QStringLiteral("pictures"));
        QDir().mkpath(folder_);
        qputenv("XDG_CONFIG_HOME", root_.filePath(QStringLiteral("config")).toUtf8());
        settings_ = std::make_unique<QtSettingsStore>();
        settings_->write("tem", "put", folder_.toStdString());
        settings_->write("tem", "px", "40");
        settings_->write("met", "ope", "0");
        ASSERT_FALSE(settings_->save());
    }

    QString in_folder(const QString& name) const { return folder_ + '/' + name; }
    QStringList files() const {
        return QDir(folder_).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    QTemporaryDir root_;
    QString folder_;
    std::unique_ptr<QtSettingsStore> settings_;
};

class WindowTest : public WindowFolders {
protected:
    // Loads the window the way the program does.
    Form1& open_window() {
        form_ = std::make_unique<Form1>(platform_, *settings_);
        form_->Form_Load();
        return *form_;
    }
    // A second window on the same store, as at the next start of the program.
    Form1& reopen_window() {
        form_.reset();
        settings_ = std::make_unique<QtSettingsStore>();
        return open_window();
    }

    // Serves the window's events until the run started last has ended.
    void run_to_end() const { ASSERT_TRUE(serve_events_until([&] { return !form_->running(); })); }
    // Presses Start and waits for the run's end.
    void press_start_and_wait() const {
        ui(*form_).Command1->click();
        run_to_end();
    }

    void touch(const QString& name, const QByteArray& content = "x") const {
        QFile file(in_folder(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QByteArray read(const QString& name) const {
        QFile file(in_folder(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    FakePlatform platform_;
    std::unique_ptr<Form1> form_;
};

}  // namespace vz::test
