// The About face: what it shows and hides, its tune, and a run beside it.
#include "window_fixture.h"

namespace vz::test {
namespace {

using Call = RecordingMidiOutput::Call;

std::vector<QWidget*> working_controls(Form1& form) {
    const WindowControls c = ui(form);
    return {c.Shape1, c.Shape2, c.Shape3, c.Text1,    c.Label3,   c.Label2,   c.Label1, c.Text2,
            c.Text3,  c.Label4, c.Label5, c.Check1,   c.Check2,   c.Check3,   c.Check4, c.Check5,
            c.Command1, c.Command2, c.Command3, c.Drive1, c.Dir1, c.File1, c.Picture1};
}

// Opens the About face and waits until its device has opened and the tune's timer runs.
void show_about(Form1& form) {
    ui(form).Command3->click();
    ASSERT_TRUE(serve_events_until([&] { return ui(form).Timer3->isActive(); }));
}

TEST_F(WindowTest, AboutFaceHidesTheWorkingControlsAndPlaysTheTune) {
    Form1& form = open_window();
    form.show();
    show_about(form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2 - О программе"));
    EXPECT_TRUE(form.about_shown());
    for (QWidget* control : working_controls(form)) EXPECT_TRUE(control->isHidden());
    EXPECT_TRUE(ui(form).Picture2->isHidden());
    for (QWidget* shown : {static_cast<QWidget*>(ui(form).Command7), static_cast<QWidget*>(ui(form).Label10),
                           static_cast<QWidget*>(ui(form).Label15), static_cast<QWidget*>(ui(form).Command4)})
        EXPECT_FALSE(shown->isHidden());
    EXPECT_EQ(ui(form).Command4->text(), QStringLiteral("Отмена"));
    EXPECT_EQ(ui(form).Command4->pos(), QPoint(304, 224));  // 4560, 3360 twips
    EXPECT_EQ(form.printed_lines(), (QStringList{"", "", QString(35, ' ') + "Vuzuduzi-2."}));
    // ... printed on the window where the third line's text goes.
    const QFontMetrics metrics(form.font());
    const QImage title = form.grab(QRect(metrics.horizontalAdvance(QString(35, ' ')), 2 * metrics.height(),
                                         metrics.horizontalAdvance("Vuzuduzi-2."), metrics.height()))
                             .toImage();
    QImage blank = title;
    blank.fill(form.palette().color(QPalette::Window));
    EXPECT_NE(title, blank);

    // The tune: ten messages at the first tick, the end at the 177th.
    EXPECT_TRUE(ui(form).Timer3->isActive());
    EXPECT_EQ(ui(form).Timer3->interval(), 155);
    form.Timer3_Timer();
    EXPECT_EQ(platform_.midi.sent.size(), 10u);
    for (int tick = 2; tick <= 177; ++tick) form.Timer3_Timer();
    EXPECT_FALSE(ui(form).Timer3->isActive());
    EXPECT_EQ(platform_.midi.events.back().call, Call::close);
    EXPECT_EQ(form.player().tune_step(), 177);

    ui(form).Command7->click();  // after the end: no harm, nothing more sent
    EXPECT_EQ(platform_.midi.count(Call::close), 1);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Vuzuduzi-2"));
    EXPECT_FALSE(form.about_shown());
    for (QWidget* control : working_controls(form)) EXPECT_FALSE(control->isHidden());
    EXPECT_FALSE(ui(form).Picture2->isHidden());
    EXPECT_TRUE(ui(form).Command7->isHidden());
    EXPECT_TRUE(ui(form).Label10->isHidden());
    EXPECT_EQ(ui(form).Command4->text(), QStringLiteral("Выход"));
    EXPECT_EQ(ui(form).Command4->geometry(), QRect(480, 192, 49, 25));  // 7200, 2880, 735, 375 twips
    EXPECT_TRUE(form.printed_lines().isEmpty());
}

TEST_F(WindowTest, LeavingMidTuneStopsSendingAtOnceAndEachOpeningIsOrchestratedAnew) {
    Form1& form = open_window();
    show_about(form);
    for (int tick = 1; tick <= 5; ++tick) form.Timer3_Timer();
    const std::uint32_t first_solo_program = platform_.midi.sent[2];
    ui(form).Command7->click();
    EXPECT_FALSE(ui(form).Timer3->isActive());
    EXPECT_EQ(platform_.midi.events.back().call, Call::close);
    const std::size_t sent = platform_.midi.sent.size();
    form.Timer3_Timer();  // a stray tick after leaving sends nothing
    EXPECT_EQ(platform_.midi.sent.size(), sent);

    show_about(form);
    form.Timer3_Timer();
    EXPECT_EQ(form.player().tune_step(), 2);
    EXPECT_NE(platform_.midi.sent[sent + 2], first_solo_program);
}

TEST_F(WindowTest, WithoutAMidiDeviceTheAboutFaceWorksSilently) {
    platform_.midi.open_succeeds = false;
    Form1& form = open_window();
    show_about(form);
    for (int tick = 1; tick <= 177; ++tick) form.Timer3_Timer();
    EXPECT_FALSE(ui(form).Timer3->isActive());
    EXPECT_TRUE(platform_.midi.sent.empty());
    EXPECT_TRUE(platform_.messages.empty());
    ui(form).Command7->click();
}

TEST_F(WindowTest, ARunGoesOnBesideTheAboutFaceWithItsBarInView) {
    Form1& form = open_window();
    platform_.gate.hold_at("check", 5);
    ui(form).Command1->click();
    ASSERT_TRUE(platform_.gate.hold.wait_held());
    ui(form).Command3->click();
    EXPECT_FALSE(ui(form).Picture2->isHidden());
    platform_.gate.hold.release();
    run_to_end();
    EXPECT_TRUE(ui(form).Picture2->isHidden());  // hidden once the run ended
    EXPECT_EQ(files(), QStringList{"Kvel_1.GIF"});
    ui(form).Command7->click();
    EXPECT_FALSE(ui(form).Picture2->isHidden());
}

TEST_F(WindowTest, CancelOnTheAboutFaceClosesTheDeviceAndEndsTheProgram) {
    Form1& form = open_window();
    show_about(form);
    form.Timer3_Timer();
    ui(form).Command4->click();
    EXPECT_EQ(platform_.midi.events.back().call, Call::close);
    EXPECT_EQ(platform_.quits, 1);
}

// A slow sound font: the face shows while the device opens, and leaving the
// face then leaves nothing playing once the device is ready.
TEST_F(WindowTest, TheFaceShowsAtOnceAndLeavingItDuringASlowOpeningLeavesNothingPlaying) {
    Form1& form = open_window();
    platform_.midi_opening.hold.arm();
    ui(form).Command3->click();
    ASSERT_TRUE(platform_.midi_opening.hold.wait_held());
    EXPECT_FALSE(ui(form).Command7->isHidden());
    EXPECT_FALSE(ui(form).Timer3->isActive());
    ui(form).Command7->click();
    platform_.midi_opening.hold.release();
    ASSERT_TRUE(serve_events_until([&] { return !form.sound_loading(); }));
    EXPECT_EQ(platform_.midi.events, (std::vector<RecordingMidiOutput::Event>{{Call::open, 0}, {Call::close, 0}}));
    EXPECT_FALSE(ui(form).Timer3->isActive());
}

}  // namespace
}  // namespace vz::test
