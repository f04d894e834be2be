// The batch tool writes the same bytes whether it draws with the vector
// sin/cos path or with VZ_SCALAR_DRAWING=1 forcing the scalar one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/render_tool.h"
#include "decoded_gif.h"
#include "pattern/vector_rose_points.h"
#include "temp_folder.h"

namespace {

TEST(ScalarSwitch, SameFileWithAndWithoutTheVectorPath) {
    if (!vz::vector_path_available()) GTEST_SKIP() << "no vector drawing path in this build or on this processor";
    const std::vector<std::vector<std::string>> runs = {
        {"--frames", "2", "--size", "1000", "--pattern", "7351-213"},
        {"--frames", "3", "--size", "11", "--pattern", "0000-000"},
        {"--frames", "100", "--size", "60", "--pattern", "9999-333"},  // late frames: R far below zero
        {"--frames", "4", "--size", "128", "--pattern", "4821-302", "--reference", "1000"},
        {"--frames", "2", "--size", "999", "--pattern", "1357-213", "--reference", "10"},
        {"--frames", "2", "--size", "100", "--pattern", "6152-320", "--uncompressed"},
    };
    const vz::test::TempFolder folder;
    int n = 0;
    for (const auto& run : runs) {
        std::vector<std::uint8_t> files[2];
        for (const char* scalar : {"0", "1"}) {
            ::setenv("VZ_SCALAR_DRAWING", scalar, 1);
            const auto out = folder.path() / ("run" + std::to_string(n++) + ".gif");
            std::vector<std::string> args = {"gif", "--output", out.string()};
            args.insert(args.end(), run.begin(), run.end());
            std::ostringstream said;
            ASSERT_EQ(vz::render_tool(args, said, said), 0) << said.str();
            files[*scalar - '0'] = vz::test::read_file(out);
        }
        EXPECT_FALSE(files[0].empty());
        EXPECT_TRUE(files[0] == files[1]) << "pattern " << run[5];
    }
    ::unsetenv("VZ_SCALAR_DRAWING");
}

}  // namespace
