#include "music/fluidsynth_output.h"

#include <gtest/gtest.h>

#include "sound_font_paths.h"

namespace vz {
namespace {

TEST(FluidSynthOutput, OpenFailsQuietlyWithoutASoundFont) {
    test::TempFolder folder;
    FluidSynthOutput output({(folder.path() / "missing.sf2").string()});
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(output.open());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(output.is_open());
    output.send(0x00643C90);  // dropped while closed
    output.close();
    EXPECT_FALSE(output.is_open());
}

TEST(FluidSynthOutput, OpenFailsQuietlyOnAFileThatIsNoSoundFont) {
    test::TempFolder folder;
    const auto bogus = folder.path() / "bogus.sf2";
    test::write_bytes(bogus, "not a sound font");
    FluidSynthOutput output({bogus.string()});
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(output.open());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(output.is_open());
}

}  // namespace
}  // namespace vz
