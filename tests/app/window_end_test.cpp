// How the window ends: on a termination signal, and when its settings
// cannot be stored.
#include <QSettings>
#include <csignal>

#include "app/termination_signals.h"
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

TEST_F(WindowEndTest, SettingsThatCannotBeStoredAreReportedOnceWithThePathAndReason) {
    Form1& form = open_window();
    // A folder where the file should be: no one, not even root, can write it.
    const QString path = settings_->file_name();
    QFile::remove(path);
    ASSERT_TRUE(QDir().mkpath(path));
    ui(form).Text1->setText("5");
    ui(form).Command4->click();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0].title, QStringLiteral("Ошибка"));
    EXPECT_EQ(platform_.messages[0].icon, Platform::Icon::Warning);
    const QStringList lines = platform_.messages[0].text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringLiteral("Не удалось сохранить настройки в файл :"));
    EXPECT_EQ(lines[1], path);
    EXPECT_FALSE(lines[2].isEmpty());
    EXPECT_EQ(platform_.quits, 1);
}

TEST_F(WindowEndTest, ASettingsFileThatCannotBeReadCountsAsEmpty) {
    const QString path = settings_->file_name();
    QFile::remove(path);
    QDir().mkpath(path);
    settings_ = std::make_unique<QtSettingsStore>();
    Form1& form = open_window();
    EXPECT_EQ(ui(form).Text1->text(), QStringLiteral("3"));
    EXPECT_EQ(ui(form).Text2->text(), QStringLiteral("323"));
    EXPECT_TRUE(ui(form).Check5->isChecked());
    EXPECT_TRUE(platform_.messages.empty());

    // So does one full of bytes that are no settings at all.
    QDir(path).removeRecursively();
    QFile garbage(path);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray("\0\xff[tem\npx=\x01\x02\n==", 16));
    garbage.close();
    settings_ = std::make_unique<QtSettingsStore>();
    Form1& again = open_window();
    EXPECT_EQ(ui(again).Text1->text(), QStringLiteral("3"));
    EXPECT_TRUE(platform_.messages.empty());
}

}  // namespace
}  // namespace vz::test
