// The run's output file. It is written as an unnamed file in the target
// folder and gets its name only once it is complete and on disk, so the name
// shows either nothing or the complete file, and a killed process leaves
// nothing at all. Where the file system has no unnamed files, a hidden
// `.NAME.part` beside the target is used instead, locked while it is
// written so that later runs can tell a stale one and remove it. The final
// name is never given by replacing a file.
#pragma once

#include <dirent.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "io/byte_sink.h"

namespace vz {

// The system calls OutputFile makes on its files and folder, as a seam for
// tests that make them fail. Each returns what the system call returns and
// leaves its reason in errno.
class FileSystemCalls {
public:
    virtual ~FileSystemCalls() = default;
    virtual int openat(int folder, const char* name, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual ssize_t pread(int fd, void* data, std::size_t size, off_t offset);
    virtual ssize_t pwrite(int fd, const void* data, std::size_t size, off_t offset);
    virtual int fsync(int fd);
    virtual int linkat(int from_folder, const char* from, int to_folder, const char* to, int flags);
    virtual int renameat2(int from_folder, const char* from, int to_folder, const char* to, unsigned flags);
    virtual int renameat(int from_folder, const char* from, int to_folder, const char* to);
    // Null on failure; takes `fd` over only on success.
    virtual DIR* fdopendir(int fd);

    // The calls the program normally makes.
    static FileSystemCalls& system();
};

class OutputFile final : public ByteDrain {
public:
    // Opens the file that will be named `final_path` when committed; sweeps
    // stale temporaries of earlier killed runs from that folder first.
    // Throws std::system_error with the system's reason.
    explicit OutputFile(std::filesystem::path final_path, FileSystemCalls& calls = FileSystemCalls::system());
    ~OutputFile() override;  // discards the file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends at the end; throws std::system_error.
    void append(const std::uint8_t* data, std::size_t size) override;
    // Positioned reads and writes inside what has been written; throw std::system_error.
    void read_at(std::uint64_t offset, std::uint8_t* data, std::size_t size) const;
    void write_at(std::uint64_t offset, const std::uint8_t* data, std::size_t size);

    // Flushes what has been written to disk; throws std::system_error,
    // leaving nothing behind.
    void sync();
    enum class Commit { Done, NameTaken };
    // Flushes to disk (unless sync() just did) and gives the file its final
    // name unless something already has that name (then the file is dropped).
    // Throws std::system_error on other failures, leaving nothing behind.
    Commit commit();
    // Closes and drops the file. Safe to call more than once.
    void discard() noexcept;

    const std::filesystem::path& final_path() const { return final_path_; }
    // The hidden name being written, or empty while the file is unnamed.
    const std::filesystem::path& temporary_path() const { return temporary_path_; }

private:
    void create_named_temporary();
    void copy_into_named_temporary();
    Commit move_into_place();
    [[noreturn]] void fail(int error);

    FileSystemCalls& calls_;
    std::filesystem::path final_path_;
    std::filesystem::path temporary_path_;
    std::string name_;
    int folder_fd_ = -1;
    int fd_ = -1;
    bool synced_ = false;  // nothing written since the last sync()
};

// True when anything (file, folder, even a dangling link) has this name.
bool path_exists(const std::filesystem::path& path);

// Removes the hidden temporaries of killed runs from `folder`: files named
// `.NAME.part` or `.NAME.N.part` that hold the start of a GIF or WAV file (or
// nothing) and that no process holds locked. Everything else is left alone.
void sweep_stale_temporaries(int folder_fd, FileSystemCalls& calls = FileSystemCalls::system());

}  // namespace vz
