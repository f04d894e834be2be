#include "music/tune_composer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "memory_settings_store.h"

namespace vz {
namespace {

using ::testing::ElementsAre;

// Message values written out independently of the composer's builders.
constexpr std::uint32_t on(std::uint32_t channel, std::uint32_t note, std::uint32_t velocity) {
    return 0x90 + channel + (note << 8) + (velocity << 16);
}
constexpr std::uint32_t off(std::uint32_t channel) { return 0xB0 + channel + (123 << 8); }
constexpr std::uint32_t program(std::uint32_t channel, std::uint32_t number) { return 0xC0 + channel + (number << 8); }

constexpr std::uint32_t kKick = on(9, 36, 100);
constexpr std::uint32_t kHiHat = on(9, 44, 100);
constexpr std::uint32_t kSnare = on(9, 38, 100);
constexpr std::uint32_t kCrash = on(9, 57, 100);

const TuneTable& first_tune() {
    static const TuneTable table = compose_tune(InstrumentCounters{0, 0, 0}).table;
    return table;
}

TEST(TuneScore, FirstStepHoldsTenMessagesProgramChangesFirst) {
    EXPECT_THAT(first_tune().messages(1),
                ElementsAre(program(0, 51), program(3, 38), program(1, 54), kKick, kHiHat, on(0, 65, 77),
                            on(0, 60, 77), on(0, 56, 77), on(3, 41, 73), on(3, 29, 77)));
}

TEST(TuneScore, FirstBarSendsBassUpperNoteFirstAndDrumsLast) {
    const TuneTable& t = first_tune();
    EXPECT_THAT(t.messages(2), ElementsAre(off(3), on(3, 48, 73), on(3, 36, 77), kHiHat));
    EXPECT_THAT(t.messages(3), ElementsAre(off(3), on(3, 41, 73), on(3, 29, 77)));
    EXPECT_THAT(t.messages(4), ElementsAre(off(3), on(3, 53, 73), on(3, 41, 77), on(1, 77, 100), kSnare));
    EXPECT_THAT(t.messages(7), ElementsAre(off(3), off(1), on(3, 41, 73), on(3, 29, 77), on(1, 80, 100), kKick, kHiHat));
}

TEST(TuneScore, WorkedExamplesOfLaterBars) {
    const TuneTable& t = first_tune();
    EXPECT_THAT(t.messages(25), ElementsAre(off(3), off(0), off(1), kKick, kHiHat, on(0, 62, 77), on(0, 58, 77),
                                            on(0, 53, 77), on(3, 34, 77), on(3, 46, 73), on(1, 77, 100)));
    EXPECT_THAT(t.messages(33), ElementsAre(off(3), kKick, on(3, 34, 77), on(3, 46, 73)));
    EXPECT_THAT(t.messages(43),
                ElementsAre(off(3), kKick, kHiHat, on(0, 63, 0), on(0, 62, 77), on(3, 34, 77), on(3, 46, 73)));
}

TEST(TuneScore, BarsFiveAndNineTurnTheBassAtPositionSeven) {
    const TuneTable& t = first_tune();
    EXPECT_THAT(t.messages(55), ElementsAre(off(3), kKick, kHiHat, off(1), on(3, 27, 77), on(3, 37, 73), on(1, 79, 100)));
    EXPECT_THAT(t.messages(103), ElementsAre(off(3), kKick, kHiHat, off(1), on(3, 27, 77), on(3, 37, 73), on(1, 70, 100)));
}

TEST(TuneScore, ExtraPercussionFollowsKickHiHatSnareCrashOrder) {
    const TuneTable& t = first_tune();
    // Bar 9 opens with a crash and no solo release.
    EXPECT_THAT(t.messages(97), ElementsAre(off(3), off(0), kKick, kHiHat, kCrash, on(0, 61, 77), on(0, 56, 77),
                                            on(0, 53, 77), on(3, 25, 77), on(3, 37, 73)));
    // Bar 14, position 9: kick then the extra snare.
    EXPECT_THAT(t.messages(165), ElementsAre(off(3), kKick, kSnare, on(3, 24, 77), on(3, 36, 73)));
    // Bar 8, position 11: hi-hat then the extra snare.
    EXPECT_THAT(t.messages(95), ElementsAre(off(3), kHiHat, kSnare, on(3, 34, 77), on(3, 46, 73)));
}

TEST(TuneScore, EndsWithCrashSilentFillersAndAnEmptyStep) {
    const TuneTable& t = first_tune();
    EXPECT_THAT(t.messages(169), ElementsAre(kCrash, off(0), off(3), off(1)));
    for (int step = 170; step <= 176; ++step) EXPECT_THAT(t.messages(step), ElementsAre(1u)) << step;
    for (int step = 177; step <= kTuneSteps; ++step) {
        for (int slot = 1; slot <= kTuneSlots; ++slot) ASSERT_EQ(t.at(step, slot), 0u) << step << "/" << slot;
    }
}

TEST(TuneScore, EveryStepIsContiguousAndBarStepsBeginWithBassRelease) {
    const TuneTable& t = first_tune();
    std::size_t longest = 0;
    for (int step = 1; step <= 176; ++step) {
        const auto messages = t.messages(step);
        ASSERT_FALSE(messages.empty()) << step;
        for (int slot = static_cast<int>(messages.size()) + 1; slot <= kTuneSlots; ++slot) {
            ASSERT_EQ(t.at(step, slot), 0u) << step;
        }
        if (step >= 2 && step <= 168) {
            EXPECT_EQ(messages.front(), off(3)) << step;
        }
        longest = std::max(longest, messages.size());
    }
    EXPECT_EQ(longest, 11u);
}

// The whole composed table, pinned: any note, step or velocity moved changes
// the digest (FNV-1a of every cell's four bytes, low byte first).
TEST(TuneScore, WholeTablesOfKnownCounters) {
    const std::pair<InstrumentCounters, std::uint64_t> known[] = {
        {{0, 0, 0}, 12049723187555495186u}, {{4, 6, 1}, 15959135688574927110u}, {{9, 10, 6}, 8599462221377030400u}};
    for (const auto& [counters, expected] : known) {
        const TuneTable t = compose_tune(counters).table;
        std::uint64_t digest = 14695981039346656037u;
        for (int step = 1; step <= kTuneSteps; ++step)
            for (int slot = 1; slot <= kTuneSlots; ++slot)
                for (int byte = 0; byte < 4; ++byte)
                    digest = (digest ^ ((t.at(step, slot) >> (8 * byte)) & 0xFF)) * 1099511628211u;
        EXPECT_EQ(digest, expected) << counters.sol << "," << counters.fon << "," << counters.bas;
    }
}

TEST(Orchestration, RowsOfTheCounters) {
    const Orchestration first = orchestrate({0, 0, 0});
    EXPECT_EQ(first, (Orchestration{54, 100, 51, 77, 38, 77, 73, 100}));
    const Orchestration last = orchestrate({9, 10, 6});
    EXPECT_EQ(last, (Orchestration{104, 72, 88, 77, 105, 77, 73, 100}));
    const Orchestration mixed = orchestrate({4, 6, 1});
    EXPECT_EQ(mixed, (Orchestration{95, 81, 19, 62, 34, 97, 97, 100}));
    const Orchestration beyond = orchestrate({10, 11, 7});
    EXPECT_EQ(beyond, (Orchestration{15, 100, 51, 77, 38, 77, 73, 100}));
}

TEST(Orchestration, VelocitiesReachTheirMessages) {
    const TuneTable t = compose_tune(InstrumentCounters{7, 4, 2}).table;  // 55, 59, 63/63
    EXPECT_THAT(t.messages(1), ElementsAre(program(0, 16), program(3, 87), program(1, 43), kKick, kHiHat,
                                           on(0, 65, 59), on(0, 60, 59), on(0, 56, 59), on(3, 41, 63), on(3, 29, 63)));
    EXPECT_EQ(t.at(4, 4), on(1, 77, 55));
}

TEST(ComposeFromStore, EmptyStoreUsesFirstRowsAndAdvancesCountersInOrder) {
    MemorySettingsStore store;
    const ComposedTune tune = compose_tune(store);
    EXPECT_EQ(tune.counters, (InstrumentCounters{0, 0, 0}));
    EXPECT_EQ(tune.table, first_tune());
    EXPECT_THAT(store.journal, ElementsAre("read met/sol", "write met/sol=1", "read met/fon", "write met/fon=1",
                                           "read met/bas", "write met/bas=1"));
}

TEST(ComposeFromStore, LastRowsWrapToZero) {
    MemorySettingsStore store;
    store.values["met"] = {{"sol", "9"}, {"fon", "10"}, {"bas", "6"}};
    const ComposedTune tune = compose_tune(store);
    EXPECT_EQ(tune.orchestration, (Orchestration{104, 72, 88, 77, 105, 77, 73, 100}));
    EXPECT_EQ(store.values["met"], (std::map<std::string, std::string>{{"sol", "0"}, {"fon", "0"}, {"bas", "0"}}));
}

TEST(ComposeFromStore, ValueAboveItsCycleTakesTheOtherRowAndGrows) {
    MemorySettingsStore store;
    store.values["met"] = {{"sol", "12"}, {"fon", "11"}, {"bas", "200"}};
    const ComposedTune tune = compose_tune(store);
    EXPECT_EQ(tune.orchestration, (Orchestration{15, 100, 51, 77, 38, 77, 73, 100}));
    EXPECT_EQ(store.values["met"]["sol"], "13");
    EXPECT_EQ(store.values["met"]["fon"], "12");
    EXPECT_EQ(store.values["met"]["bas"], "201");
}

TEST(ComposeFromStore, OtherSectionsAndKeysAreLeftAlone) {
    MemorySettingsStore store;
    store.values["tem"] = {{"fon", "5"}};
    store.values["met"] = {{"ope", "0"}};
    compose_tune(store);
    EXPECT_EQ(store.values["tem"], (std::map<std::string, std::string>{{"fon", "5"}}));
    EXPECT_EQ(store.values["met"]["ope"], "0");
    EXPECT_EQ(store.values["met"]["fon"], "1");
}

struct StoredCounter {
    const char* text;
    unsigned used;
    const char* saved;
};

class HandEditedCounter : public ::testing::TestWithParam<StoredCounter> {};

TEST_P(HandEditedCounter, IsReadLenientlyAndAnythingButAWholeByteCountsAsZero) {
    MemorySettingsStore store;
    store.values["met"]["sol"] = GetParam().text;
    EXPECT_EQ(compose_tune(store).counters.sol, GetParam().used);
    EXPECT_EQ(store.values["met"]["sol"], GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(Texts, HandEditedCounter,
                         ::testing::Values(StoredCounter{" 3 ", 3, "4"}, StoredCounter{"2xyz", 2, "3"},
                                           StoredCounter{"1 2", 12, "13"}, StoredCounter{"5.0", 5, "6"},
                                           StoredCounter{"255", 255, "256"}, StoredCounter{"+5", 5, "6"},
                                           StoredCounter{"2550", 0, "1"}, StoredCounter{"", 0, "1"},
                                           StoredCounter{"abc", 0, "1"}, StoredCounter{"7.5", 0, "1"},
                                           StoredCounter{"-3", 0, "1"}, StoredCounter{"256", 0, "1"},
                                           StoredCounter{"99999999999999999999", 0, "1"}));

TEST(ComposeFromStore, InstrumentCombinationRepeatsAfter770Compositions) {
    MemorySettingsStore store;
    std::set<std::tuple<unsigned, unsigned, unsigned>> seen;
    InstrumentCounters first;
    for (int i = 0; i < 770; ++i) {
        const InstrumentCounters used = compose_tune(store).counters;
        if (i == 0) first = used;
        EXPECT_TRUE(seen.emplace(used.sol, used.fon, used.bas).second) << "composition " << i;
    }
    EXPECT_EQ(compose_tune(store).counters, first);
}

TEST(ComposeFromStore, ConsecutiveTunesDifferOnlyInProgramsAndVelocities) {
    MemorySettingsStore store;
    const TuneTable a = compose_tune(store).table;
    const TuneTable b = compose_tune(store).table;
    ASSERT_NE(a, b);
    for (int step = 1; step <= kTuneSteps; ++step) {
        for (int slot = 1; slot <= kTuneSlots; ++slot) {
            const std::uint32_t x = a.at(step, slot);
            const std::uint32_t y = b.at(step, slot);
            ASSERT_EQ(x == 0, y == 0) << step << "/" << slot;
            const bool program_change = step == 1 && (x & 0xF0) == 0xC0;
            const std::uint32_t fixed = program_change ? 0xFFu : 0xFFFFu;
            EXPECT_EQ(x & fixed, y & fixed) << step << "/" << slot;
            if ((x & 0xF0) == 0x90 && (x >> 16) == 0) {
                EXPECT_EQ(y >> 16, 0u) << "a release stays a release";
            }
        }
    }
    EXPECT_NE(a.at(1, 1), b.at(1, 1));
}

}  // namespace
}  // namespace vz
