#include "app/desktop_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "music/fluidsynth_output.h"
#include "pattern/pattern_parameters.h"

namespace vz {

void configure_application() {
    QApplication::setApplicationName(QStringLiteral("vazedoza"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vuzuduzi-2"));
    // The window ends the program itself, after a running generation has
    // cleaned up and said so.
    QApplication::setQuitOnLastWindowClosed(false);
}

DesktopPlatform::DesktopPlatform() : midi_(std::make_unique<FluidSynthOutput>()) { clock_.start(); }

DesktopPlatform::~DesktopPlatform() = default;

void DesktopPlatform::message_box(const QString& title, const QString& text, Icon icon) {
    const QMessageBox::Icon shown = icon == Icon::Warning       ? QMessageBox::Warning
                                    : icon == Icon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
    // Message lines are kept with CR LF; the toolkit wants LF alone.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(shown, title, lines, QMessageBox::Ok, owner_);
    box.exec();
}

void DesktopPlatform::open_file(const QString& path) {
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopPlatform::open_link(const QString& target) { return QDesktopServices::openUrl(QUrl(target)); }

float DesktopPlatform::seconds_since_midnight() { return vz::seconds_since_local_midnight(); }

void DesktopPlatform::process_events() { QCoreApplication::processEvents(); }

MidiOutput& DesktopPlatform::midi_output() { return *midi_; }

void DesktopPlatform::quit() { QCoreApplication::exit(0); }

}  // namespace vz
