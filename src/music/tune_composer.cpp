#include "music/tune_composer.h"

#include <array>
#include <string>

#include "music/short_message.h"

namespace vz {
namespace {

constexpr std::uint8_t kBackgroundChannel = 0;
constexpr std::uint8_t kSoloChannel = 1;
constexpr std::uint8_t kBassChannel = 3;
constexpr std::uint8_t kDrumChannel = 9;

constexpr std::uint8_t kKickNote = 36;
constexpr std::uint8_t kSnareNote = 38;
constexpr std::uint8_t kHiHatNote = 44;
constexpr std::uint8_t kCrashNote = 57;

// Percussion of one step as a set; a step sends its hits in this order.
constexpr std::uint8_t kKick = 1;
constexpr std::uint8_t kHiHat = 2;
constexpr std::uint8_t kSnare = 4;
constexpr std::uint8_t kCrash = 8;

constexpr int kBars = 14;
constexpr int kStepsPerBar = 12;
constexpr int kCrashStep = kBars * kStepsPerBar + 1;  // 169
constexpr int kLastFillerStep = kCrashStep + 7;        // 176

// Positions 1..12 of every bar (index 0 unused).
constexpr std::array<std::uint8_t, 13> kBassOffsets{0, 0, 7, 0, 12, 7, 12, 0, 7, 0, 12, 7, 12};
constexpr std::array<std::uint8_t, 13> kBeat{
    0, kKick | kHiHat, kHiHat, 0, kSnare, kHiHat, kHiHat, kKick | kHiHat, kHiHat, kKick, kSnare, kHiHat, kHiHat};

struct SoloEvent {
    int position = 0;  // 0 ends the list
    bool off = false;  // All Notes Off on the solo channel first
    std::uint8_t note = 0;  // 0 = no note
};

struct ExtraHit {
    int position = 0;  // 0 ends the list
    std::uint8_t drums = 0;
};

struct Bar {
    std::array<std::uint8_t, 3> chord;  // highest first
    std::uint8_t dropped_note;          // chord change at position 7; 0 = none
    std::uint8_t added_note;
    std::uint8_t root;
    std::array<SoloEvent, 4> solo;
    std::array<ExtraHit, 4> extra;
};

constexpr std::array<Bar, kBars> kScore{{
    {{65, 60, 56}, 0, 0, 29, {{{4, false, 77}, {7, true, 80}, {10, true, 77}}}, {}},
    {{63, 58, 55}, 0, 0, 27, {{{1, true, 79}, {7, true, 77}, {10, true, 75}}}, {}},
    {{62, 58, 53}, 0, 0, 34, {{{1, true, 77}}}, {}},
    {{63, 58, 53}, 63, 62, 34, {{{10, true, 0}}}, {{{12, kSnare}}}},
    {{61, 56, 53}, 0, 0, 25, {{{1, true, 0}, {4, false, 77}, {7, true, 79}, {10, true, 80}}}, {}},
    {{60, 56, 51}, 0, 0, 32, {{{1, true, 75}, {7, true, 72}, {10, true, 68}}}, {}},
    {{63, 58, 55}, 0, 0, 27, {{{1, true, 70}}}, {}},
    {{63, 58, 56}, 56, 55, 27, {{{10, true, 0}}}, {{{11, kSnare}, {12, kSnare}}}},
    {{61, 56, 53}, 0, 0, 25, {{{4, false, 68}, {7, true, 70}, {10, true, 71}}}, {{{1, kCrash}}}},
    {{63, 58, 55}, 0, 0, 27, {{{1, true, 72}, {7, true, 70}, {10, true, 75}}}, {}},
    {{63, 60, 56}, 0, 0, 32, {{{1, true, 72}, {10, true, 68}}}, {}},
    {{61, 56, 53}, 0, 0, 25, {{{1, true, 77}, {4, true, 75}, {10, true, 68}}}, {{{11, kSnare}}}},
    {{60, 55, 52}, 0, 0, 24, {{{1, true, 72}}}, {}},
    {{65, 60, 55}, 65, 64, 24, {{{10, true, 0}}}, {{{8, kSnare}, {9, kSnare}, {11, kSnare}, {12, kSnare}}}},
}};

// Bars whose position-7 bass takes this lower note instead of root + offset.
constexpr std::uint8_t kTurnBassLow = 27;
bool has_turn_bass(int bar) { return bar == 5 || bar == 9; }

SoloEvent solo_at(const Bar& bar, int position) {
    for (const SoloEvent& event : bar.solo) {
        if (event.position == position) return event;
    }
    return {};
}

std::uint8_t drums_at(const Bar& bar, int position) {
    std::uint8_t drums = kBeat[static_cast<std::size_t>(position)];
    for (const ExtraHit& hit : bar.extra) {
        if (hit.position == position) drums |= hit.drums;
    }
    return drums;
}

// Appends messages to one step of the table, slot after slot.
class StepWriter {
public:
    StepWriter(TuneTable& table, int step) : table_(table), step_(step) {}
    void add(std::uint32_t message) { table_.at(step_, ++slot_) = message; }

private:
    TuneTable& table_;
    int step_;
    int slot_ = 0;
};

class ScoreWriter {
public:
    ScoreWriter(TuneTable& table, const Orchestration& orchestration) : table_(table), o_(orchestration) {}

    void write() {
        table_.clear();
        write_first_step();
        for (int position = 2; position <= kStepsPerBar; ++position) write_first_bar_step(position);
        for (int bar = 2; bar <= kBars; ++bar) {
            for (int position = 1; position <= kStepsPerBar; ++position) write_bar_step(bar, position);
        }
        write_ending();
    }

private:
    static int step_of(int bar, int position) { return kStepsPerBar * (bar - 1) + position; }
    static const Bar& bar_data(int bar) { return kScore[static_cast<std::size_t>(bar - 1)]; }

    void add_drums(StepWriter& out, std::uint8_t drums) const {
        if (drums & kKick) out.add(note_on(kDrumChannel, kKickNote, o_.drum_velocity));
        if (drums & kHiHat) out.add(note_on(kDrumChannel, kHiHatNote, o_.drum_velocity));
        if (drums & kSnare) out.add(note_on(kDrumChannel, kSnareNote, o_.drum_velocity));
        if (drums & kCrash) out.add(note_on(kDrumChannel, kCrashNote, o_.drum_velocity));
    }

    void add_chord(StepWriter& out, const Bar& bar) const {
        for (std::uint8_t note : bar.chord) out.add(note_on(kBackgroundChannel, note, o_.background_velocity));
    }

    std::uint32_t bass_low(std::uint8_t note) const { return note_on(kBassChannel, note, o_.bass_velocity_low); }
    std::uint32_t bass_high(std::uint8_t note) const { return note_on(kBassChannel, note, o_.bass_velocity_high); }

    void write_first_step() {
        const Bar& bar = bar_data(1);
        StepWriter out(table_, 1);
        out.add(program_change(kBackgroundChannel, o_.background_program));
        out.add(program_change(kBassChannel, o_.bass_program));
        out.add(program_change(kSoloChannel, o_.solo_program));
        add_drums(out, drums_at(bar, 1));
        add_chord(out, bar);
        out.add(bass_high(static_cast<std::uint8_t>(bar.root + 12)));
        out.add(bass_low(bar.root));
    }

    // Bar 1 sends its bass upper note first and its drums last.
    void write_first_bar_step(int position) {
        const Bar& bar = bar_data(1);
        const SoloEvent solo = solo_at(bar, position);
        const auto low = static_cast<std::uint8_t>(bar.root + kBassOffsets[static_cast<std::size_t>(position)]);
        StepWriter out(table_, step_of(1, position));
        out.add(all_notes_off(kBassChannel));
        if (solo.off) out.add(all_notes_off(kSoloChannel));
        out.add(bass_high(static_cast<std::uint8_t>(low + 12)));
        out.add(bass_low(low));
        if (solo.note != 0) out.add(note_on(kSoloChannel, solo.note, o_.solo_velocity));
        add_drums(out, drums_at(bar, position));
    }

    void write_bar_step(int bar_number, int position) {
        const Bar& bar = bar_data(bar_number);
        const SoloEvent solo = solo_at(bar, position);
        auto low = static_cast<std::uint8_t>(bar.root + kBassOffsets[static_cast<std::size_t>(position)]);
        const auto high = static_cast<std::uint8_t>(low + 12);
        if (position == 7 && has_turn_bass(bar_number)) low = kTurnBassLow;

        StepWriter out(table_, step_of(bar_number, position));
        out.add(all_notes_off(kBassChannel));
        if (position == 1) {
            out.add(all_notes_off(kBackgroundChannel));
            if (solo.off) out.add(all_notes_off(kSoloChannel));
        }
        add_drums(out, drums_at(bar, position));
        if (position != 1 && solo.off) out.add(all_notes_off(kSoloChannel));
        if (position == 1) add_chord(out, bar);
        if (position == 7 && bar.dropped_note != 0) {
            out.add(note_on(kBackgroundChannel, bar.dropped_note, 0));
            out.add(note_on(kBackgroundChannel, bar.added_note, o_.background_velocity));
        }
        out.add(bass_low(low));
        out.add(bass_high(high));
        if (solo.note != 0) out.add(note_on(kSoloChannel, solo.note, o_.solo_velocity));
    }

    // A crash with every melodic channel silenced, then silent steps that
    // keep the tune running while the cymbal fades.
    void write_ending() {
        StepWriter out(table_, kCrashStep);
        add_drums(out, kCrash);
        out.add(all_notes_off(kBackgroundChannel));
        out.add(all_notes_off(kBassChannel));
        out.add(all_notes_off(kSoloChannel));
        for (int step = kCrashStep + 1; step <= kLastFillerStep; ++step) StepWriter(table_, step).add(kFillerMessage);
    }

    TuneTable& table_;
    const Orchestration& o_;
};

struct SoloRow {
    std::uint8_t program;
    std::uint8_t velocity;
};
constexpr std::array<SoloRow, 10> kSoloRows{{
    {54, 100}, {75, 100}, {18, 100}, {88, 100}, {95, 81}, {16, 87}, {17, 87}, {43, 55}, {72, 72}, {104, 72}}};
constexpr SoloRow kOtherSolo{15, 100};

constexpr std::array<SoloRow, 11> kBackgroundRows{{
    {51, 77}, {91, 77}, {85, 77}, {102, 77}, {16, 59}, {52, 77}, {19, 62}, {44, 82}, {64, 65}, {82, 72}, {88, 77}}};
constexpr SoloRow kOtherBackground{51, 77};

struct BassRow {
    std::uint8_t program;
    std::uint8_t velocity_low;
    std::uint8_t velocity_high;
};
constexpr std::array<BassRow, 7> kBassRows{{
    {38, 77, 73}, {34, 97, 97}, {87, 63, 63}, {33, 77, 73}, {28, 79, 79}, {48, 89, 89}, {105, 77, 73}}};
constexpr BassRow kOtherBass{38, 77, 73};

template <typename Row, std::size_t N>
Row row_for(const std::array<Row, N>& rows, const Row& other, unsigned index) {
    return index < N ? rows[index] : other;
}

unsigned advance(unsigned value, unsigned last) { return value == last ? 0 : value + 1; }

// Reads a stored counter the way the store's numbers are read: the leading
// decimal number of the text, blanks ignored. A counter only turns out
// otherwise when the store was edited by hand; anything that is not a whole
// number 0..255 then counts as 0, which restarts its cycle.
unsigned parse_counter(std::string_view text) {
    std::size_t i = 0;
    const auto skip_blanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skip_blanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    unsigned long value = 0;
    bool any_digit = false;
    bool fraction = false;
    for (;; ++i) {
        skip_blanks();
        if (i >= text.size()) break;
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            any_digit = true;
            if (fraction) {
                if (c != '0') return 0;  // not a whole number
            } else if (value <= 255) {
                value = value * 10 + static_cast<unsigned long>(c - '0');
            }
        } else if (c == '.' && !fraction) {
            fraction = true;
        } else {
            break;
        }
    }
    if (!any_digit || value > 255 || (negative && value != 0)) return 0;
    return static_cast<unsigned>(value);
}

unsigned take_counter(SettingsStore& store, const char* key, unsigned last) {
    const unsigned value = parse_counter(store.read(kCounterSection, key, "0"));
    store.write(kCounterSection, key, std::to_string(advance(value, last)));
    return value;
}

}  // namespace

Orchestration orchestrate(const InstrumentCounters& counters) {
    Orchestration o;
    const SoloRow solo = row_for(kSoloRows, kOtherSolo, counters.sol);
    o.solo_program = solo.program;
    o.solo_velocity = solo.velocity;
    const SoloRow background = row_for(kBackgroundRows, kOtherBackground, counters.fon);
    o.background_program = background.program;
    o.background_velocity = background.velocity;
    const BassRow bass = row_for(kBassRows, kOtherBass, counters.bas);
    o.bass_program = bass.program;
    o.bass_velocity_low = bass.velocity_low;
    o.bass_velocity_high = bass.velocity_high;
    return o;
}

InstrumentCounters advance_counters(const InstrumentCounters& counters) {
    return {advance(counters.sol, kSoloRows.size() - 1), advance(counters.fon, kBackgroundRows.size() - 1),
            advance(counters.bas, kBassRows.size() - 1)};
}

ComposedTune compose_tune(const InstrumentCounters& counters) {
    ComposedTune tune;
    tune.counters = counters;
    tune.orchestration = orchestrate(counters);
    ScoreWriter(tune.table, tune.orchestration).write();
    return tune;
}

ComposedTune compose_tune(SettingsStore& store) {
    InstrumentCounters counters;
    counters.sol = take_counter(store, kSoloCounterKey, kSoloRows.size() - 1);
    counters.fon = take_counter(store, kBackgroundCounterKey, kBackgroundRows.size() - 1);
    counters.bas = take_counter(store, kBassCounterKey, kBassRows.size() - 1);
    return compose_tune(counters);
}

}  // namespace vz
