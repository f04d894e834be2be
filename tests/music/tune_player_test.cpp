#include "music/tune_player.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "music/synth_settings.h"
#include "music/tune_composer.h"
#include "music/tune_schedule.h"
#include "memory_settings_store.h"
#include "recording_midi_output.h"

namespace vz {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Call = RecordingMidiOutput::Call;

class TunePlayerTest : public ::testing::Test {
protected:
    // Ticks `count` times, each expected to keep the timer running.
    void tick_through(int count) {
        for (int i = 0; i < count; ++i) ASSERT_TRUE(player.tick()) << "tick " << i + 1;
    }

    TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    RecordingMidiOutput device;
    TunePlayer player{device, table};
};

TEST_F(TunePlayerTest, OpeningRewindsAndOpensTheDevice) {
    player.open_midi_output();
    EXPECT_EQ(player.tune_step(), 1);
    EXPECT_EQ(player.tune_slot(), 1);
    EXPECT_TRUE(player.device_open());
    EXPECT_THAT(device.events, ElementsAre(RecordingMidiOutput::Event{Call::open, 0}));
}

TEST_F(TunePlayerTest, FirstTickSendsStepOneProgramChangesFirst) {
    player.open_midi_output();
    ASSERT_TRUE(player.tick());
    EXPECT_THAT(device.sent, ElementsAreArray(table.messages(1)));
    ASSERT_EQ(device.sent.size(), 10u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(device.sent[static_cast<std::size_t>(i)] & 0xF0, 0xC0u);
    EXPECT_EQ(player.tune_step(), 2);
    EXPECT_EQ(player.tune_slot(), 1);
}

TEST_F(TunePlayerTest, FillerStepSendsTheValueOneOnce) {
    player.open_midi_output();
    tick_through(169);
    device.sent.clear();
    ASSERT_TRUE(player.tick());
    EXPECT_THAT(device.sent, ElementsAre(1u));
}

TEST_F(TunePlayerTest, PlaysEveryStepInOrderThenEndsAtTick177) {
    player.open_midi_output();
    tick_through(176);
    std::vector<std::uint32_t> expected;
    for (int step = 1; step <= 176; ++step) {
        const auto messages = table.messages(step);
        expected.insert(expected.end(), messages.begin(), messages.end());
    }
    EXPECT_EQ(device.sent, expected);
    EXPECT_EQ(device.count(Call::close), 0);

    const std::size_t events_before = device.events.size();
    EXPECT_FALSE(player.tick());
    EXPECT_THAT(std::vector(device.events.begin() + static_cast<std::ptrdiff_t>(events_before), device.events.end()),
                ElementsAre(RecordingMidiOutput::Event{Call::close, 0}));
    EXPECT_EQ(player.tune_step(), 177);
    EXPECT_FALSE(player.device_open());

    player.close();  // leaving the About face after the tune has ended
    EXPECT_EQ(device.count(Call::close), 1);
}

// Offline renderers sound step k at tick k's frame, 155 ms apart, and stop at tick 177.
TEST_F(TunePlayerTest, ScheduleTimesEveryMessageByItsTick) {
    std::vector<ScheduledMessage> expected;
    for (int step = 1; step <= 176; ++step) {
        for (std::uint32_t message : table.messages(step)) expected.push_back({tick_frame(step), message});
    }
    const TuneSchedule schedule = schedule_tune(table);
    EXPECT_EQ(schedule.messages, expected);
    EXPECT_EQ(schedule.messages.front().frame, 6835);
    EXPECT_EQ(schedule.end_frame, 1209883);  // 27.435 s
}

TEST_F(TunePlayerTest, ClosingMidTuneStopsSendingAtOnce) {
    player.open_midi_output();
    tick_through(50);
    player.close();
    ASSERT_EQ(device.events.back().call, Call::close);
    const std::size_t sent = device.sent.size();
    player.tick();  // a tick already queued when the timer stopped
    EXPECT_EQ(device.sent.size(), sent);
    EXPECT_EQ(device.count(Call::close), 1);
}

TEST_F(TunePlayerTest, ReopeningStartsFromStepOneWithAFreshDevice) {
    player.open_midi_output();
    tick_through(30);
    player.close();
    device.sent.clear();
    player.open_midi_output();
    EXPECT_EQ(device.count(Call::open), 2);
    ASSERT_TRUE(player.tick());
    EXPECT_THAT(device.sent, ElementsAreArray(table.messages(1)));
}

TEST(TunePlayerWithoutDevice, RunsItsCourseSilently) {
    const TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    RecordingMidiOutput device(/*open_succeeds=*/false);
    TunePlayer player(device, table);
    player.open_midi_output();
    EXPECT_FALSE(player.device_open());
    for (int tick = 1; tick <= 176; ++tick) ASSERT_TRUE(player.tick()) << tick;
    EXPECT_FALSE(player.tick());
    EXPECT_EQ(player.tune_step(), 177);
    player.close();
    EXPECT_THAT(device.events, ElementsAre(RecordingMidiOutput::Event{Call::open, 0}));
}

TEST(TunePlayerBeforeOpening, DoesNothing) {
    const TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    RecordingMidiOutput device;
    {
        TunePlayer player(device, table);
        EXPECT_FALSE(player.tick());
        player.close();
    }
    EXPECT_TRUE(device.events.empty());
}

TEST(TunePlayerLifetime, DestroyingThePlayerClosesAnOpenDevice) {
    const TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    RecordingMidiOutput device;
    {
        TunePlayer player(device, table);
        player.open_midi_output();
        player.tick();
    }
    EXPECT_EQ(device.events.back().call, Call::close);
    EXPECT_FALSE(device.is_open);
}

TEST(TunePlayerEdges, StopsAtTheLastSlotAndTheLastStep) {
    TuneTable table;
    for (int step = 1; step <= kTuneSteps; ++step) {
        for (int slot = 1; slot <= kTuneSlots; ++slot) table.at(step, slot) = static_cast<std::uint32_t>(step * 100 + slot);
    }
    RecordingMidiOutput device;
    TunePlayer player(device, table);
    player.open_midi_output();
    for (int tick = 1; tick <= kTuneSteps; ++tick) ASSERT_TRUE(player.tick()) << tick;
    EXPECT_EQ(device.sent.size(), static_cast<std::size_t>(kTuneSteps * kTuneSlots));
    EXPECT_EQ(device.sent[20], 201u);  // step 2 starts again at slot 1
    EXPECT_FALSE(player.tick());
    EXPECT_EQ(device.count(Call::close), 1);
}

TEST(TunePlayerWithComposer, TwoOpeningsOnOneStorePlayDifferentInstruments) {
    MemorySettingsStore store;
    TuneTable table;
    RecordingMidiOutput device;
    TunePlayer player(device, table);
    std::vector<std::vector<std::uint32_t>> programs;
    for (int opening = 0; opening < 2; ++opening) {
        table = compose_tune(store).table;
        device.sent.clear();
        player.open_midi_output();
        player.tick();
        programs.emplace_back(device.sent.begin(), device.sent.begin() + 3);
        player.close();
    }
    EXPECT_NE(programs[0], programs[1]);
    for (const auto& changes : programs) {
        for (std::uint32_t change : changes) EXPECT_EQ(change & 0xF0, 0xC0u);
    }
}

}  // namespace
}  // namespace vz
