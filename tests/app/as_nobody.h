// Root may write any file and start any number of threads, so a test of
// what an ordinary user meets runs, under root, again in a child process
// that is nobody.
#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <initializer_list>
#include <utility>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace vz::test {

inline std::pair<uid_t, gid_t> nobody() {
    const passwd* user = ::getpwnam("nobody");
    return user ? std::pair(user->pw_uid, user->pw_gid) : std::pair<uid_t, gid_t>(65534, 65534);
}

// True in a process that goes on with the test itself: one that is not
// root, or the child. Under root it runs the current test again as nobody,
// with `extra` added to the environment, checks that the test passed there,
// and returns false.
inline bool runs_unprivileged(std::initializer_list<std::pair<QString, QString>> extra = {}) {
    if (::geteuid() != 0) return true;
    const auto [uid, gid] = nobody();
    // A copy of the program where nobody may run it, wherever the build is.
    QTemporaryDir place;
    const QString program = place.filePath(QStringLiteral("as-nobody"));
    EXPECT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), program));
    QFile::setPermissions(place.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther);
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : extra) environment.insert(name, value);
    environment.remove(QStringLiteral("TMPDIR"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([uid, gid] {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(gid, gid, gid) != 0 || ::setresuid(uid, uid, uid) != 0)
            ::_exit(126);
    });
    child.start(program, {QStringLiteral("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
    EXPECT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test."))) << output.toStdString();
    return false;
}

}  // namespace vz::test
