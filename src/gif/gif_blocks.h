// The blocks of an animated GIF89a file around the image data, in file order:
// header and screen descriptor, global colour table, looping extension,
// comment, one frame header per frame, trailer. Each step appends to a sink.
#pragma once

#include <cstdint>
#include <string_view>

#include "io/byte_sink.h"
#include "pattern/sine_palette.h"

namespace vz {

namespace gif {
inline constexpr std::uint8_t kExtensionIntroducer = 0x21;
inline constexpr std::uint8_t kApplicationLabel = 0xFF;
inline constexpr std::uint8_t kCommentLabel = 0xFE;
inline constexpr std::uint8_t kGraphicControlLabel = 0xF9;
inline constexpr std::uint8_t kImageSeparator = 0x2C;
inline constexpr std::uint8_t kTrailer = 0x3B;
inline constexpr std::uint8_t kBlockTerminator = 0x00;
// Global colour table present, 8 bits per primary, unsorted, 2^(6+1) entries.
inline constexpr std::uint8_t kScreenPacked = 0xF6;
inline constexpr std::uint8_t kMinimumCodeSize = 7;
inline constexpr int kClearCode = 128;
inline constexpr int kEndCode = 129;
// Graphic control packed bytes: restore to background, optionally entry 0 transparent.
inline constexpr std::uint8_t kDisposeToBackground = 0x08;
inline constexpr std::uint8_t kTransparentFlag = 0x01;
inline constexpr std::uint8_t kUncompressedPacked = 0x00;

inline constexpr int kCommentLength = 162;
// Everything before the first frame record: 13 + 384 + 19 + 166 bytes.
inline constexpr int kFirstFrameOffset = 582;
inline constexpr int kFrameHeaderSize = 19;  // graphic control, image descriptor, code size
}  // namespace gif

// The author's addresses, shown by the window and named in every file's comment.
inline constexpr std::string_view kAuthorWebAddress = "http://www.example.org/vuzuduzi/";
inline constexpr std::string_view kAuthorEmail = "vuzuduzi@example.com";
// The credit line of every file: exactly 162 printable ASCII bytes.
std::string_view comment_text();

// Delay after each frame in hundredths of a second for N frames.
std::uint8_t frame_delay_for(int frame_count);
// Packed graphic control byte of the compressed mode.
std::uint8_t control_flags_for(bool transparent);

void write_gif_header(ByteSink& out, int picture_size);
void write_palette(ByteSink& out, const Palette& palette);
void write_loop_extension(ByteSink& out);
void write_comment(ByteSink& out);
void write_frame_header(ByteSink& out, std::uint8_t packed, std::uint8_t frame_delay, int picture_size);
void write_trailer(ByteSink& out);

}  // namespace vz
