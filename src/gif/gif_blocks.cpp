#include "gif/gif_blocks.h"

namespace vz {

namespace {

constexpr std::string_view kComment =
    " Etot fail sozdan programmoi \"Vuzuduzi-2\". Razrabotchik: masterskaya Vuzuduzi, gorod Moskva, 2026 g. "
    "http://www.example.org/vuzuduzi/ mailto:vuzuduzi@example.com ";
static_assert(kComment.size() == gif::kCommentLength, "the first frame must start at offset 582");

void put_size(ByteSink& out, int picture_size) {
    const auto hi = static_cast<std::uint8_t>(picture_size / 256);
    const auto lo = static_cast<std::uint8_t>(picture_size - 256 * hi);
    out.put({lo, hi});
}

}  // namespace

std::string_view comment_text() { return kComment; }

std::uint8_t frame_delay_for(int frame_count) {
    int delay = 150 / frame_count;
    if (frame_count > 30) delay = 5;
    if (frame_count < 3) delay = 50;
    return static_cast<std::uint8_t>(delay);
}

std::uint8_t control_flags_for(bool transparent) {
    return gif::kDisposeToBackground | (transparent ? gif::kTransparentFlag : 0);
}

void write_gif_header(ByteSink& out, int picture_size) {
    out.put({'G', 'I', 'F', '8', '9', 'a'});
    put_size(out, picture_size);  // logical screen width
    put_size(out, picture_size);  // and height
    out.put({gif::kScreenPacked, 0x00 /* background index */, 0x00 /* aspect ratio */});
}

void write_palette(ByteSink& out, const Palette& palette) { out.put(palette); }

void write_loop_extension(ByteSink& out) {
    out.put({gif::kExtensionIntroducer, gif::kApplicationLabel, 11});
    out.put({'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'});
    out.put({3, 1, 0x00, 0x00 /* loop forever */, gif::kBlockTerminator});
}

void write_comment(ByteSink& out) {
    out.put({gif::kExtensionIntroducer, gif::kCommentLabel, gif::kCommentLength});
    for (char c : kComment) out.put(static_cast<std::uint8_t>(c));
    out.put(gif::kBlockTerminator);
}

void write_frame_header(ByteSink& out, std::uint8_t packed, std::uint8_t frame_delay, int picture_size) {
    out.put({gif::kExtensionIntroducer, gif::kGraphicControlLabel, 4, packed, frame_delay, 0x00,
             0x00 /* transparent index */, gif::kBlockTerminator});
    out.put({gif::kImageSeparator, 0, 0, 0, 0});  // left and top 0
    put_size(out, picture_size);
    put_size(out, picture_size);
    out.put({0x00 /* no local table, not interlaced */, gif::kMinimumCodeSize});
}

void write_trailer(ByteSink& out) { out.put(gif::kTrailer); }

}  // namespace vz
