#include "io/output_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <optional>
#include <system_error>

#include "decoded_gif.h"
#include "temp_folder.h"

namespace vz {
namespace {

namespace fs = std::filesystem;

// Makes chosen system calls fail with a chosen errno (0 = pass through).
class FaultyCalls : public FileSystemCalls {
public:
    int unnamed = 0, write_error = 0, fsync_error = 0, link_error = 0, rename2_error = 0, rename_error = 0,
        read_error = 0, listing_error = 0;
    std::size_t most_per_write = 0;  // writes and positioned writes take at most this many bytes (0: all)

    int openat(int folder, const char* name, int flags, mode_t mode) override {
        if ((flags & O_TMPFILE) == O_TMPFILE && unnamed) return fault(unnamed);
        return FileSystemCalls::openat(folder, name, flags, mode);
    }
    ssize_t write(int fd, const void* data, std::size_t size) override {
        return write_error ? fault(write_error) : FileSystemCalls::write(fd, data, shortened(size));
    }
    ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset) override {
        return FileSystemCalls::pwrite(fd, data, shortened(size), offset);
    }
    ssize_t pread(int fd, void* data, std::size_t size, off_t offset) override {
        return read_error ? fault(read_error) : FileSystemCalls::pread(fd, data, size, offset);
    }
    DIR* fdopendir(int fd) override {
        if (listing_error) return fault(listing_error), nullptr;
        return FileSystemCalls::fdopendir(fd);
    }
    int fsync(int fd) override { return fsync_error ? fault(fsync_error) : FileSystemCalls::fsync(fd); }
    int linkat(int a, const char* from, int b, const char* to, int flags) override {
        return link_error ? fault(link_error) : FileSystemCalls::linkat(a, from, b, to, flags);
    }
    int renameat2(int a, const char* from, int b, const char* to, unsigned flags) override {
        return rename2_error ? fault(rename2_error) : FileSystemCalls::renameat2(a, from, b, to, flags);
    }
    int renameat(int a, const char* from, int b, const char* to) override {
        return rename_error ? fault(rename_error) : FileSystemCalls::renameat(a, from, b, to);
    }

private:
    std::size_t shortened(std::size_t size) const { return most_per_write ? std::min(size, most_per_write) : size; }
    static int fault(int error) {
        errno = error;
        return -1;
    }
};

std::size_t open_descriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

const std::vector<std::uint8_t> kBytes = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};

class OutputFileTest : public ::testing::Test {
protected:
    std::vector<std::string> names() const {
        std::vector<std::string> result = temp_.names();
        std::sort(result.begin(), result.end());
        return result;
    }
    test::TempFolder temp_;
    const fs::path folder_ = temp_.path();
};

// The work disk and, where there is one, a memory file system.
std::vector<fs::path> file_systems(const fs::path& disk_folder) {
    std::vector<fs::path> result{disk_folder};
    if (fs::is_directory("/dev/shm")) result.push_back("/dev/shm");
    return result;
}

TEST_F(OutputFileTest, HasNoNameUntilCompleteAndHonoursTheUmask) {
    const mode_t old_mask = ::umask(027);
    for (const fs::path& base : file_systems(folder_)) {
        const fs::path folder = base / ("vz-out-" + std::to_string(::getpid()));
        fs::create_directory(folder);
        {
            OutputFile file(folder / "Kvel_1.GIF");
            EXPECT_TRUE(file.temporary_path().empty()) << base;
            file.append(kBytes.data(), kBytes.size());
            const std::uint8_t nine = 9;
            file.write_at(7, &nine, 1);
            std::uint8_t back[3];
            file.read_at(6, back, 3);
            EXPECT_EQ(back[1], 9);
            EXPECT_TRUE(fs::is_empty(folder)) << base;
            EXPECT_EQ(file.commit(), OutputFile::Commit::Done);
        }
        std::vector<std::uint8_t> expected = kBytes;
        expected[7] = 9;
        EXPECT_EQ(test::read_file(folder / "Kvel_1.GIF"), expected) << base;
        struct stat st;
        ASSERT_EQ(::stat((folder / "Kvel_1.GIF").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u) << base;
        fs::remove_all(folder);
    }
    ::umask(old_mask);
}

TEST_F(OutputFileTest, NeverReplacesAFileThatAppearedMeanwhile) {
    for (int unnamed : {0, EOPNOTSUPP}) {
        FaultyCalls calls;
        calls.unnamed = unnamed;
        OutputFile file(folder_ / "a.gif", calls);
        file.append(kBytes.data(), kBytes.size());
        std::ofstream(folder_ / "a.gif") << "theirs";
        EXPECT_EQ(file.commit(), OutputFile::Commit::NameTaken);
        EXPECT_EQ(names(), std::vector<std::string>{"a.gif"});
        EXPECT_EQ(test::read_bytes(folder_ / "a.gif"), "theirs");
        fs::remove(folder_ / "a.gif");
    }
}

TEST_F(OutputFileTest, DiscardedOrAbandonedFilesLeaveNothing) {
    const std::size_t descriptors = open_descriptors();
    for (int unnamed : {0, EOPNOTSUPP}) {
        FaultyCalls calls;
        calls.unnamed = unnamed;
        { OutputFile file(folder_ / "b.gif", calls); }
        OutputFile file(folder_ / "c.gif", calls);
        EXPECT_EQ(file.temporary_path().empty(), unnamed == 0);
        file.discard();
        file.discard();
        EXPECT_TRUE(names().empty());
    }
    EXPECT_EQ(open_descriptors(), descriptors);
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

// Without unnamed files: stale temporaries of killed runs are swept before
// the next one; temporaries in use and files that are not ours stay.
TEST_F(OutputFileTest, FallbackSweepsOnlyUnlockedTemporariesOfOurOwn) {
    FaultyCalls calls;
    calls.unnamed = EOPNOTSUPP;
    // A run killed while writing, as a separate process.
    const pid_t pid = ::fork();
    if (pid == 0) {
        OutputFile file(folder_ / "Kvel_3.GIF", calls);
        file.append(kBytes.data(), kBytes.size());
        ::raise(SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(names(), std::vector<std::string>{".Kvel_3.GIF.part"});

    test::write_bytes(folder_ / ".empty.gif.part", "");
    test::write_bytes(folder_ / ".notes.part", "someone else's");
    test::write_bytes(folder_ / "visible.gif.part", "GIF89a");
    test::write_bytes(folder_ / ".locked.gif.part", "GIF89a");
    const int held = ::open((folder_ / ".locked.gif.part").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    OutputFile writing(folder_ / "w.gif", calls);
    EXPECT_EQ(writing.temporary_path().filename(), ".w.gif.part");

    OutputFile file(folder_ / "Kvel_3.GIF", calls);
    EXPECT_EQ(file.temporary_path().filename(), ".Kvel_3.GIF.part");
    EXPECT_EQ(names(), (std::vector<std::string>{".Kvel_3.GIF.part", ".locked.gif.part", ".notes.part",
                                                 ".w.gif.part", "visible.gif.part"}));
    EXPECT_EQ(file.commit(), OutputFile::Commit::Done);
    ::close(held);
    // Once its holder is gone, the locked one is stale too.
    OutputFile another(folder_ / "x.gif", calls);
    EXPECT_EQ(names(), (std::vector<std::string>{".notes.part", ".w.gif.part", ".x.gif.part", "Kvel_3.GIF",
                                                 "visible.gif.part"}));
}

// Another program's hidden temporaries stay, even unlocked: a paused
// download of a video, or a file whose name or start is not a GIF's or WAV's.
TEST_F(OutputFileTest, SweepLeavesOtherProgramsTemporariesAlone) {
    FaultyCalls calls;
    calls.unnamed = EOPNOTSUPP;
    test::write_bytes(folder_ / ".clip.avi.part", std::string("RIFF\x10\0\0\0AVI LIST", 16));
    test::write_bytes(folder_ / ".song.wav.part", std::string("RIFF\x10\0\0\0AVI LIST", 16));
    test::write_bytes(folder_ / ".old.gif.part", "GIF8 but not a header");
    test::write_bytes(folder_ / ".notes.txt.part", "");
    test::write_bytes(folder_ / ".stale.GIF.2.part", "GIF89a");
    test::write_bytes(folder_ / ".tune.wav.part", std::string("RIFF\x10\0\0\0WAVEfmt ", 16));
    OutputFile file(folder_ / "e.gif", calls);
    EXPECT_EQ(names(), (std::vector<std::string>{".clip.avi.part", ".e.gif.part", ".notes.txt.part", ".old.gif.part",
                                                 ".song.wav.part"}));
}

// A temporary that another run has taken over (swept, then created anew
// under the same name) is not ours to remove.
TEST_F(OutputFileTest, DiscardRemovesOnlyItsOwnTemporary) {
    FaultyCalls calls;
    calls.unnamed = EOPNOTSUPP;
    {
        OutputFile file(folder_ / "f.gif", calls);
        ASSERT_EQ(file.temporary_path().filename(), ".f.gif.part");
        fs::remove(folder_ / ".f.gif.part");
        test::write_bytes(folder_ / ".f.gif.part", "GIF89a another run's");
    }
    EXPECT_EQ(names(), std::vector<std::string>{".f.gif.part"});
}

TEST_F(OutputFileTest, TakenTemporaryNameMovesToTheNextOne) {
    FaultyCalls calls;
    calls.unnamed = EOPNOTSUPP;
    test::write_bytes(folder_ / ".d.gif.part", "not a picture");
    OutputFile file(folder_ / "d.gif", calls);
    EXPECT_EQ(file.temporary_path().filename(), ".d.gif.1.part");
    EXPECT_EQ(file.commit(), OutputFile::Commit::Done);
    EXPECT_EQ(names(), (std::vector<std::string>{".d.gif.part", "d.gif"}));
}

// Every failure path: the status or reason, and what is left in the folder.
struct FaultCase {
    const char* name;
    FaultyCalls calls;
    bool file_exists = false;                    // something has the name before the commit
    std::optional<int> error;                    // the errno thrown, if any
    OutputFile::Commit commit = OutputFile::Commit::Done;
};

FaultyCalls faults(int unnamed, int write_error, int fsync_error, int link_error, int rename2_error,
                   int rename_error = 0, int read_error = 0, int listing_error = 0) {
    FaultyCalls calls;
    calls.unnamed = unnamed;
    calls.write_error = write_error;
    calls.fsync_error = fsync_error;
    calls.link_error = link_error;
    calls.rename2_error = rename2_error;
    calls.rename_error = rename_error;
    calls.read_error = read_error;
    calls.listing_error = listing_error;
    return calls;
}

TEST_F(OutputFileTest, InjectedFaultsLeaveNothingAndReportTheReason) {
    using C = OutputFile::Commit;
    constexpr int kNone = 0, kNoTmp = EOPNOTSUPP;
    FaultCase cases[] = {
        {"ENOSPC at write", faults(kNone, ENOSPC, 0, 0, 0), false, ENOSPC},
        {"ENOSPC at write, named", faults(kNoTmp, ENOSPC, 0, 0, 0), false, ENOSPC},
        {"EIO at fsync", faults(kNone, 0, EIO, 0, 0), false, EIO},
        {"EIO at fsync, named", faults(kNoTmp, 0, EIO, 0, 0), false, EIO},
        {"EPERM at link", faults(kNone, 0, 0, EPERM, 0), false, {}, C::Done},
        {"ENOSYS at link", faults(kNone, 0, 0, ENOSYS, 0), false, {}, C::Done},
        {"EIO at link", faults(kNone, 0, 0, EIO, 0), false, EIO},
        {"EEXIST at link", faults(kNone, 0, 0, EEXIST, 0), false, {}, C::NameTaken},
        {"O_TMPFILE unsupported", faults(kNoTmp, 0, 0, 0, 0), false, {}, C::Done},
        {"O_TMPFILE: EISDIR", faults(EISDIR, 0, 0, 0, 0), false, {}, C::Done},
        {"O_TMPFILE: EACCES", faults(EACCES, 0, 0, 0, 0), false, EACCES},
        {"EEXIST at renameat2", faults(kNoTmp, 0, 0, 0, EEXIST), false, {}, C::NameTaken},
        {"EINVAL at renameat2", faults(kNoTmp, 0, 0, 0, EINVAL), false, {}, C::Done},
        {"EINVAL at renameat2, name taken", faults(kNoTmp, 0, 0, 0, EINVAL), true, {}, C::NameTaken},
        {"no links, no renameat2", faults(kNoTmp, 0, 0, EPERM, EINVAL), false, {}, C::Done},
        {"no links, no renameat2, name taken", faults(kNoTmp, 0, 0, EPERM, EINVAL), true, {}, C::NameTaken},
        {"unnamed, no links, no renameat2", faults(kNone, 0, 0, EPERM, ENOSYS), false, {}, C::Done},
        {"EIO at rename", faults(kNoTmp, 0, 0, EPERM, EINVAL, EIO), false, EIO},
        {"EROFS at renameat2", faults(kNoTmp, 0, 0, 0, EROFS), false, EROFS},
        {"EIO reading back for the copy", faults(kNone, 0, 0, EPERM, 0, 0, EIO), false, EIO},
        {"folder not listed for the sweep", faults(kNone, 0, 0, 0, 0, 0, 0, ENOMEM), false, {}, C::Done},
        {"short writes", faults(kNone, 0, 0, 0, 0), false, {}, C::Done},
    };
    cases[std::size(cases) - 1].calls.most_per_write = 2;
    // What the file holds after the append and a positioned write over bytes 3..6.
    const std::vector<std::uint8_t> patch = {'X', 'Y', 'Z', 'W'};
    std::vector<std::uint8_t> expected = kBytes;
    std::copy(patch.begin(), patch.end(), expected.begin() + 3);
    const std::size_t descriptors = open_descriptors();
    for (FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path target = folder_ / "f.gif";
        std::optional<int> thrown;
        std::optional<OutputFile::Commit> committed;
        try {
            OutputFile file(target, c.calls);
            file.append(kBytes.data(), kBytes.size());
            file.write_at(3, patch.data(), patch.size());
            if (c.file_exists) test::write_bytes(target, "theirs");
            committed = file.commit();
        } catch (const std::system_error& e) {
            thrown = e.code().value();
            EXPECT_NE(std::string(e.what()).find(target.string()), std::string::npos) << e.what();
        }
        EXPECT_EQ(thrown, c.error);
        if (!c.error) {
            EXPECT_EQ(committed, c.commit);
        }
        if (committed == OutputFile::Commit::Done) {
            EXPECT_EQ(names(), std::vector<std::string>{"f.gif"});
            EXPECT_EQ(test::read_file(target), expected);
        } else if (c.file_exists) {
            EXPECT_EQ(names(), std::vector<std::string>{"f.gif"});
            EXPECT_EQ(test::read_bytes(target), "theirs");
        } else {
            EXPECT_TRUE(names().empty());
        }
        EXPECT_EQ(open_descriptors(), descriptors);
        fs::remove(target);
    }
}

}  // namespace
}  // namespace vz
