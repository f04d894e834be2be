// The run's output file, written under a hidden temporary name beside the
// final one and moved into place at the end without ever replacing a file,
// so the final name shows either nothing or the complete file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace vz {

class OutputFile {
public:
    // Creates the temporary file beside `final_path`, exclusively.
    // Throws std::system_error with the system's reason.
    explicit OutputFile(std::filesystem::path final_path);
    ~OutputFile();  // discards the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Appends at the end; throws std::system_error.
    void append(const std::uint8_t* data, std::size_t size);
    // Positioned reads and writes inside what has been written; throw std::system_error.
    void read_at(std::uint64_t offset, std::uint8_t* data, std::size_t size) const;
    void write_at(std::uint64_t offset, const std::uint8_t* data, std::size_t size);

    enum class Commit { Done, NameTaken };
    // Flushes to disk and gives the file its final name unless something
    // already has that name (then the temporary file is deleted).
    // Throws std::system_error on other failures, leaving nothing behind.
    Commit commit();
    // Closes and deletes the temporary file. Safe to call more than once.
    void discard() noexcept;

    const std::filesystem::path& final_path() const { return final_path_; }
    const std::filesystem::path& temporary_path() const { return temporary_path_; }

private:
    std::filesystem::path final_path_;
    std::filesystem::path temporary_path_;
    int fd_ = -1;
};

// True when anything (file, folder, even a dangling link) has this name.
bool path_exists(const std::filesystem::path& path);

}  // namespace vz
