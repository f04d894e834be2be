#include "app/desktop_platform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QMessageBox>
#include <QUrl>
#include <algorithm>

#include "io/output_file.h"
#include "music/fluidsynth_output.h"
#include "pattern/pattern_parameters.h"

namespace vz {

namespace {

// A message box that shows its text as given: plain text, never markup, and
// each line on one line wherever the screen is wide enough for it (the
// toolkit wraps at about half the screen's width).
class PlainMessageBox final : public QMessageBox {
public:
    PlainMessageBox(Icon icon, const QString& title, const QString& text, QWidget* owner)
        : QMessageBox(icon, title, QString(), QMessageBox::Ok, owner) {
        setTextFormat(Qt::PlainText);
        setText(text);
    }

protected:
    void showEvent(QShowEvent* event) override {
        // The box sizes itself when shown and again on every layout request,
        // wrapping its text beyond about half the screen's width. A minimum
        // width for the text, as wide as its longest line, keeps each line
        // whole, up to the widest box the toolkit allows on this screen.
        auto* label = findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        if (label && screen()) {
            const bool wrap = label->wordWrap();
            label->setWordWrap(false);
            const int natural = label->sizeHint().width();
            label->setWordWrap(wrap);
            const int widest_box = std::min(screen()->availableGeometry().width() - 480, 1000);
            const int beside_text = layout() ? layout()->totalMinimumSize().width() - label->minimumSizeHint().width() : 0;
            label->setMinimumWidth(std::clamp(widest_box - beside_text, 0, natural));
        }
        QMessageBox::showEvent(event);
    }
};

}  // namespace

void configure_application() {
    QApplication::setApplicationName(QStringLiteral("vazedoza"));
    // No display name: the toolkit would add it to every caption and box
    // title, and those must read exactly as the window sets them.
    // The window ends the program itself, after a running generation has
    // cleaned up and said so.
    QApplication::setQuitOnLastWindowClosed(false);
}

DesktopPlatform::DesktopPlatform() : midi_(std::make_unique<FluidSynthOutput>()) {}

DesktopPlatform::~DesktopPlatform() = default;

void DesktopPlatform::message_box(const QString& title, const QString& text, Icon icon) {
    const QMessageBox::Icon shown = icon == Icon::Warning       ? QMessageBox::Warning
                                    : icon == Icon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
    // Message lines are kept with CR LF; the toolkit wants LF alone.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    PlainMessageBox box(shown, title, lines, owner_);
    box.exec();
}

void DesktopPlatform::open_file(const QString& path) {
    if (!path.isEmpty()) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool DesktopPlatform::open_link(const QString& target) { return QDesktopServices::openUrl(QUrl(target)); }

float DesktopPlatform::seconds_since_midnight() { return vz::seconds_since_local_midnight(); }

FileSystemCalls& DesktopPlatform::file_system() { return FileSystemCalls::system(); }

MidiOutput& DesktopPlatform::midi_output() { return *midi_; }

void DesktopPlatform::quit() { QCoreApplication::exit(0); }

}  // namespace vz
