// How the built-in synthesizer sounds, wherever it runs: live in the window,
// offline into a WAV file, and in the page. Needs no synthesizer library.
#pragma once

#include "music/tune_player.h"

namespace vz {

// Output sample rate of the synthesizer.
inline constexpr int kSynthSampleRate = 44100;

// Master gain. Over all 770 orchestrations of the tune the loudest peak is
// about 3.9 times full scale at gain 1 with the larger General MIDI font
// (1.9 with the smaller one), so 0.22 keeps every tune at least 1 dB clear
// of clipping.
inline constexpr double kSynthGain = 0.22;

// Sound after the tick that ends the tune, cut short once it is silent:
// rendered in 50 ms blocks, a block whose samples all stay within 8 of the
// 16-bit range's zero (about -72 dBFS) ends it.
inline constexpr int kMaxReleaseMilliseconds = 3000;
inline constexpr long long kReleaseBlockFrames = kSynthSampleRate / 20;
inline constexpr int kSilenceLevel = 8;

// Playback's ticks fall on these output frames: tick k at k × 155 ms.
constexpr long long tick_frame(long long tick) { return tick * kTickMilliseconds * kSynthSampleRate / 1000; }

}  // namespace vz
