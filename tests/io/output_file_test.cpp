#include "io/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <system_error>

#include "decoded_gif.h"
#include "temp_folder.h"

namespace vz {
namespace {

namespace fs = std::filesystem;

class OutputFileTest : public ::testing::Test {
protected:
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& e : fs::directory_iterator(folder_)) result.push_back(e.path().filename().string());
        std::sort(result.begin(), result.end());
        return result;
    }
    test::TempFolder temp_;
    const fs::path folder_ = temp_.path();
};

TEST_F(OutputFileTest, WritesUnderAHiddenNameUntilCommitted) {
    const std::uint8_t data[] = {1, 2, 3, 4};
    {
        OutputFile file(folder_ / "Kvel_1.GIF");
        file.append(data, 4);
        const std::uint8_t nine = 9;
        file.write_at(1, &nine, 1);
        EXPECT_EQ(names(), std::vector<std::string>{".Kvel_1.GIF.part"});
        EXPECT_EQ(file.commit(), OutputFile::Commit::Done);
    }
    EXPECT_EQ(names(), std::vector<std::string>{"Kvel_1.GIF"});
    EXPECT_EQ(test::read_file(folder_ / "Kvel_1.GIF"), (std::vector<std::uint8_t>{1, 9, 3, 4}));
}

TEST_F(OutputFileTest, NeverReplacesAFileThatAppearedMeanwhile) {
    OutputFile file(folder_ / "a.gif");
    const std::uint8_t data[] = {7};
    file.append(data, 1);
    std::ofstream(folder_ / "a.gif") << "theirs";
    EXPECT_EQ(file.commit(), OutputFile::Commit::NameTaken);
    EXPECT_EQ(names(), std::vector<std::string>{"a.gif"});
    std::ifstream in(folder_ / "a.gif");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "theirs");
}

TEST_F(OutputFileTest, DiscardedOrAbandonedFilesLeaveNothing) {
    { OutputFile file(folder_ / "b.gif"); }
    OutputFile file(folder_ / "c.gif");
    file.discard();
    file.discard();
    EXPECT_TRUE(names().empty());
}

TEST_F(OutputFileTest, StaleTemporaryIsLeftAloneAndAnotherNameUsed) {
    std::ofstream(folder_ / ".d.gif.part") << "stale";
    OutputFile file(folder_ / "d.gif");
    EXPECT_EQ(file.temporary_path().filename(), ".d.gif.1.part");
    EXPECT_EQ(file.commit(), OutputFile::Commit::Done);
    EXPECT_EQ(names(), (std::vector<std::string>{".d.gif.part", "d.gif"}));
}

TEST_F(OutputFileTest, FailuresCarryTheSystemReason) {
    try {
        OutputFile file(folder_ / "missing" / "e.gif");
        FAIL() << "created in a missing folder";
    } catch (const std::system_error& e) {
        EXPECT_EQ(e.code().value(), ENOENT);
    }
    EXPECT_THROW(OutputFile(folder_ / ""), std::system_error);
    EXPECT_FALSE(path_exists(folder_ / "none"));
    EXPECT_TRUE(path_exists(folder_));
    fs::create_symlink(folder_ / "nowhere", folder_ / "dangling");
    EXPECT_TRUE(path_exists(folder_ / "dangling"));
}

}  // namespace
}  // namespace vz
