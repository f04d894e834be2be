// The batch tool writes the same bytes whether it draws with the vector
// sin/cos path or with VZ_SCALAR_DRAWING=1 forcing the scalar one.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace {

// Runs the tool quietly with `scalar` as VZ_SCALAR_DRAWING (nullptr: unset); its exit status.
int render(std::vector<std::string> args, const char* scalar, const std::string& config_home) {
    args.insert(args.begin(), VZ_RENDER_TOOL);
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (scalar != nullptr) ::setenv("VZ_SCALAR_DRAWING", scalar, 1);
        else ::unsetenv("VZ_SCALAR_DRAWING");
        ::setenv("XDG_CONFIG_HOME", config_home.c_str(), 1);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        std::freopen("/dev/null", "w", stdout);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string bytes_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ScalarSwitch, SameFileWithAndWithoutTheVectorPath) {
    const std::vector<std::vector<std::string>> runs = {
        {"--frames", "2", "--size", "1000", "--pattern", "7351-213"},
        {"--frames", "3", "--size", "11", "--pattern", "0000-000"},
        {"--frames", "100", "--size", "60", "--pattern", "9999-333"},  // late frames: R far below zero
        {"--frames", "4", "--size", "128", "--pattern", "4821-302", "--reference", "1000"},
        {"--frames", "2", "--size", "999", "--pattern", "1357-213", "--reference", "10"},
        {"--frames", "2", "--size", "100", "--pattern", "6152-320", "--uncompressed"},
    };
    const vz::test::TempFolder folder;
    const std::string config = folder.path().string();
    int n = 0;
    for (const auto& run : runs) {
        std::string files[2];
        for (const char* scalar : {static_cast<const char*>(nullptr), "1"}) {
            const std::string out = (folder.path() / ("run" + std::to_string(n++) + ".gif")).string();
            std::vector<std::string> args = {"gif", "--output", out};
            args.insert(args.end(), run.begin(), run.end());
            ASSERT_EQ(render(args, scalar, config), 0) << run[5];
            files[scalar != nullptr] = bytes_of(out);
        }
        EXPECT_FALSE(files[0].empty());
        EXPECT_TRUE(files[0] == files[1]) << "pattern " << run[5];
    }
}

}  // namespace
