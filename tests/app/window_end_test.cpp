// How the window ends: on a termination signal, and when its settings
// cannot be stored.
#include <QSettings>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <tuple>

#include <sys/stat.h>

#include "app/termination_signals.h"
#include "as_nobody.h"
#include "window_fixture.h"

namespace vz::test {
namespace {

class WindowEndTest : public WindowTest {
protected:
    Form1& open_with_signals() {
        Form1& form = open_window();
        termination_ = std::make_unique<TerminationSignals>();
        QObject::connect(termination_.get(), &TerminationSignals::received, &form, &Form1::end_on_signal);
        return form;
    }
    QString stored(const char* key) const {
        return QSettings(settings_->file_name(), QSettings::IniFormat).value(key).toString();
    }
    std::unique_ptr<TerminationSignals> termination_;
};

TEST_F(WindowEndTest, ASignalDuringARunEndsItLikeClosingButWithoutAMessage) {
    for (int signal_number : {SIGTERM, SIGHUP, SIGINT}) {
        Form1& form = open_with_signals();
        platform_.quits = 0;
        ui(form).Text1->setText("9");
        ui(form).Check5->setChecked(true);
        platform_.gate.hold_at("check", 20);
        ui(form).Command1->click();
        ASSERT_TRUE(platform_.gate.hold.wait_held());
        std::raise(signal_number);
        QCoreApplication::processEvents();
        platform_.gate.hold.release();
        run_to_end();
        EXPECT_TRUE(platform_.messages.empty()) << signal_number;
        EXPECT_EQ(platform_.quits, 1) << signal_number;
        EXPECT_TRUE(files().isEmpty()) << files().join(",").toStdString();
        EXPECT_EQ(stored("tem/col"), QStringLiteral("9"));
        EXPECT_EQ(stored("met/ope"), QStringLiteral("1"));
        EXPECT_FALSE(form.window_open());
        termination_.reset();
        settings_->write("tem", "col", "3");
    }
}

TEST_F(WindowEndTest, ASignalWhenIdleStoresTheSettingsAndQuits) {
    Form1& form = open_with_signals();
    ui(form).Text1->setText("12");
    std::raise(SIGTERM);
    QCoreApplication::processEvents();
    EXPECT_EQ(platform_.quits, 1);
    EXPECT_TRUE(platform_.messages.empty());
    EXPECT_EQ(stored("tem/col"), QStringLiteral("12"));

    // Once the handlers are gone, the previous disposition is back.
    termination_.reset();
    struct sigaction now = {};
    sigaction(SIGTERM, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_DFL);
}

// Started under nohup, the window keeps ignoring the hang-up.
TEST(TerminationSignalsTest, ASignalIgnoredAtStartStaysIgnored) {
    struct sigaction ignore = {}, before = {}, during = {}, after = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGHUP, &ignore, &before), 0);
    {
        TerminationSignals watcher;
        sigaction(SIGHUP, nullptr, &during);
        EXPECT_EQ(during.sa_handler, SIG_IGN);
        sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, SIG_IGN);
        EXPECT_NE(during.sa_handler, SIG_DFL);
    }
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_IGN);
    sigaction(SIGHUP, &before, nullptr);
}

// A real failure to save is reported once, naming the file and the reason.
TEST_F(WindowEndTest, SettingsThatCannotBeStoredAreReportedWithThePathAndTheReason) {
    const QString path = settings_->file_name(), folder = QFileInfo(path).absolutePath();
    const std::pair<std::function<void()>, int> cases[] = {
        {[&] { QDir().mkpath(path); }, EISDIR},  // a folder in the file's place
        {[&] { QFile(folder).open(QIODevice::WriteOnly); }, ENOTDIR},  // a file in the folder's place
    };
    for (const auto& [spoil, error] : cases) {
        QDir(folder).removeRecursively();
        QFile::remove(folder);
        spoil();
        settings_ = std::make_unique<QtSettingsStore>();
        Form1& form = open_window();
        platform_.messages.clear();
        platform_.quits = 0;
        ui(form).Command4->click();
        ASSERT_EQ(platform_.messages.size(), 1u) << error;
        EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
        EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::Warning);
        EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Не удалось сохранить настройки в файл :\r\n") + path +
                                                  "\r\n" + QString::fromLocal8Bit(std::strerror(error)));
        EXPECT_EQ(platform_.quits, 1);
        form_.reset();
        settings_.reset();
        QDir(folder).removeRecursively();
        QFile::remove(folder);
    }
}

// A settings file of another user, left by a run under sudo, say: the save
// is reported like any failed one, and the file is left as it was.
TEST_F(WindowEndTest, ASettingsFileOfAnotherUserIsReportedAndLeftAsItWas) {
    const QByteArray file = QFile::encodeName(settings_->file_name()), home = QFile::encodeName(root_.path());
    if (::geteuid() == 0) {  // the folders are the user's, the file root's
        struct stat before = {}, after = {};
        ASSERT_EQ(::chmod(home, 0755) | ::chown(home + "/config/vazedoza", kNobody, kNobody) | ::stat(file, &before), 0);
        if (!runs_unprivileged(QStringLiteral("VZ_OTHER_USERS_CONFIG"), QString::fromUtf8(home + "/config"))) {
            ::stat(file, &after);
            EXPECT_EQ(std::tuple(after.st_ino, after.st_uid, after.st_mtime),
                      std::tuple(before.st_ino, before.st_uid, before.st_mtime));
            return;
        }
    }
    if (qEnvironmentVariableIsSet("VZ_OTHER_USERS_CONFIG")) {  // nobody, in the child
        qputenv("XDG_CONFIG_HOME", qgetenv("VZ_OTHER_USERS_CONFIG"));
        settings_ = std::make_unique<QtSettingsStore>();
    } else {  // not root: a file this user may not write stands for another's
        ASSERT_EQ(::chmod(file, 0444), 0);
    }
    Form1& form = open_window();
    ui(form).Text1->setText("9");
    ui(form).Command4->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].text, QStringLiteral("Не удалось сохранить настройки в файл :\r\n") +
                                              settings_->file_name() + QStringLiteral("\r\nНет прав на запись"));
    QFile kept(settings_->file_name());
    EXPECT_TRUE(kept.open(QIODevice::ReadOnly) && !kept.readAll().contains("col=9"));
}

// A file that does not parse is moved aside unchanged, under a name of its
// own, and clean settings are written at exit without a word.
TEST_F(WindowEndTest, ADamagedSettingsFileIsKeptAsideAndCleanSettingsWritten) {
    const QString path = settings_->file_name();
    const QByteArray damaged[] = {
        QByteArray("\0\xff[tem\npx=\x01\x02\n==", 16),
        QByteArray("[tem\ncol=9\n[met]]]\nope=0\n"),
        QByteArray(3000, '\0'),
    };
    const QString aside[] = {path + ".damaged", path + ".damaged.1", path + ".damaged.2"};
    for (int i = 0; i < 3; ++i) {
        form_.reset();
        settings_.reset();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged[i]);
        file.close();
        settings_ = std::make_unique<QtSettingsStore>();
        EXPECT_EQ(settings_->damaged_copy(), aside[i]);
        Form1& form = open_window();
        EXPECT_EQ(ui(form).Text2->text(), QStringLiteral("323"));
        platform_.messages.clear();
        ui(form).Text1->setText("8");
        form.close();
        EXPECT_TRUE(platform_.messages.empty()) << i;
        QFile kept(aside[i]);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly)) << i;
        EXPECT_EQ(kept.readAll(), damaged[i]);
        QSettings clean(path, QSettings::IniFormat);
        EXPECT_EQ(clean.status(), QSettings::NoError) << i;
        EXPECT_EQ(clean.value("tem/col").toString(), QStringLiteral("8"));
    }
}

// What the file holds: the tune's advanced counters from the start, the
// window's values only once it closes.
TEST_F(WindowEndTest, TheFileHoldsTheCountersFromTheStartAndTheWindowsValuesFromTheClose) {
    auto raw = [&] {
        QFile file(settings_->file_name());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    Form1& form = open_window();
    EXPECT_TRUE(raw().contains("sol=1")) << raw().toStdString();
    ui(form).Text1->setText("42");
    EXPECT_FALSE(raw().contains("col=42"));
    form.close();
    EXPECT_TRUE(raw().contains("col=42"));
}

}  // namespace
}  // namespace vz::test
