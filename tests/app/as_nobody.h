// Root may write any file and start any number of threads, so a test of
// what an ordinary user meets runs, under root, again in a child process
// that is nobody.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <grp.h>
#include <unistd.h>

namespace vz::test {

inline constexpr uid_t kNobody = 65534;  // and its group, nogroup

// True in a process that goes on with the test itself: one that is not
// root, or the child. Under root it runs the current test again as nobody,
// with `name`=`value` in its environment, checks that it passed there, and
// returns false.
inline bool runs_unprivileged(const QString& name = {}, const QString& value = {}) {
    if (::geteuid() != 0) return true;
    QTemporaryDir place;  // a copy of the program where nobody may run it, wherever the build is
    const QString program = place.filePath(QStringLiteral("as-nobody"));
    EXPECT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    ::chmod(place.path().toUtf8(), 0755);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!name.isEmpty()) environment.insert(name, value);
    // A leak checker's suppression file may lie where nobody cannot read it;
    // the same code's leaks are looked for in tests run as root.
    const QString sanitizer = QStringLiteral("ASAN_OPTIONS");
    environment.insert(sanitizer, environment.value(sanitizer) + QStringLiteral(":detect_leaks=0"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) || ::setresgid(kNobody, kNobody, kNobody) || ::setresuid(kNobody, kNobody, kNobody))
            ::_exit(126);
    });
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    child.start(program, {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    child.waitForFinished(120000);
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test."))) << output.toStdString();
    return false;
}

}  // namespace vz::test
