// The About face: hides the working controls, shows the author's links and
// the way back, and plays a newly orchestrated tune while it is open.
#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <vector>

#include "io/settings_store.h"
#include "music/tune_player.h"
#include "music/tune_table.h"

class QLabel;
class QPushButton;
class QTimer;
class QWidget;

namespace vz {

class Platform;

class AboutFace final {
    Q_DECLARE_TR_FUNCTIONS(AboutFace)

public:
    struct Controls {
        QWidget* window;
        QPushButton *Command3, *Command4, *Command7;
        QLabel *Label10, *Label15, *Picture2;
        QTimer* Timer3;
        std::vector<QWidget*> working;  // the working face's controls, hidden here
    };
    AboutFace(const Controls& controls, Platform& platform, SettingsStore& settings);

    // At start-up: composing advances the instrument counters; nothing plays.
    void compose();
    // Command3: the face and its tune, the focus on the way back. During a
    // run the total bar stays in view.
    void show(bool run_active);
    // Command7: back to the working face, the focus on Command3 again.
    void leave();
    // Timer3: the tune's next step.
    void tick();
    // When the window closes.
    void stop();

    bool shown() const { return shown_; }
    const QStringList& printed_lines() const { return printed_lines_; }
    const TunePlayer& player() const { return player_; }

private:
    void show_working_face(bool working);

    Controls c_;
    Platform& platform_;
    SettingsStore& settings_;
    bool shown_ = false;
    QStringList printed_lines_;
    TuneTable tune_table_;
    TunePlayer player_;
};

}  // namespace vz
