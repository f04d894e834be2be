// The window on the real desktop layer: a real X server (the test is started
// under Xvfb), real message boxes and real mouse events. Files and links are
// "opened" by a recording xdg-open placed first on PATH, which appends its
// argument to the file named by VZ_OPENED_LOG.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/desktop_platform.h"

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("VZ_OPENED_LOG", (home.path() + "/opened.log").toUtf8());
    // No desktop session: the toolkit falls back to xdg-open.
    qunsetenv("XDG_CURRENT_DESKTOP");
    qunsetenv("DESKTOP_SESSION");

    const QString bin = home.path() + "/bin";
    QDir().mkpath(bin);
    QFile opener(bin + "/xdg-open");
    if (!opener.open(QIODevice::WriteOnly)) return 2;
    opener.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$VZ_OPENED_LOG\"\n");
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", bin.toUtf8() + ':' + qgetenv("PATH"));

    QApplication app(argc, argv);
    vz::configure_application();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
