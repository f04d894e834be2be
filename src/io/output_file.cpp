#include "io/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <system_error>

namespace vz {

namespace {

[[noreturn]] void throw_errno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

// Moves `from` to `to` unless `to` exists. Returns 0 or an errno value.
int move_without_replacing(const char* from, const char* to) {
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return error;
    // The file system cannot rename without replacing: a hard link fails
    // on an existing name just the same.
    if (::link(from, to) != 0) return errno;
    ::unlink(from);
    return 0;
}

void sync_folder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool path_exists(const std::filesystem::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

OutputFile::OutputFile(std::filesystem::path final_path) : final_path_(std::move(final_path)) {
    const std::string name = final_path_.filename().string();
    if (name.empty() && final_path_.empty()) throw_errno(ENOENT, final_path_.string());
    if (name.empty() || name == "." || name == "..") throw_errno(EISDIR, final_path_.string());
    const std::filesystem::path folder = final_path_.parent_path();
    // A stale temporary from a killed run keeps its name; take the next one.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        std::string hidden = ".";
        hidden.append(name);
        if (attempt) hidden.append(".").append(std::to_string(attempt));
        hidden.append(".part");
        temporary_path_ = folder / hidden;
        fd_ = ::open(temporary_path_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) throw_errno(errno, final_path_.string());
    }
    if (fd_ < 0) throw_errno(EEXIST, temporary_path_.string());
}

OutputFile::~OutputFile() { discard(); }

void OutputFile::append(const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw_errno(errno, final_path_.string());
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::read_at(std::uint64_t offset, std::uint8_t* data, std::size_t size) const {
    while (size > 0) {
        const ssize_t n = ::pread(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw_errno(n < 0 ? errno : EIO, final_path_.string());
        data += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::write_at(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw_errno(errno, final_path_.string());
        }
        data += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

OutputFile::Commit OutputFile::commit() {
    if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) {
        const int error = errno;
        discard();
        throw_errno(error, final_path_.string());
    }
    if (::close(fd_) != 0) {
        const int error = errno;
        fd_ = -1;
        discard();
        throw_errno(error, final_path_.string());
    }
    fd_ = -1;
    const int error = move_without_replacing(temporary_path_.c_str(), final_path_.c_str());
    if (error == EEXIST) {
        discard();
        return Commit::NameTaken;
    }
    if (error != 0) {
        discard();
        throw_errno(error, final_path_.string());
    }
    temporary_path_.clear();
    sync_folder(final_path_.parent_path());
    return Commit::Done;
}

void OutputFile::discard() noexcept {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_path_.empty()) {
        ::unlink(temporary_path_.c_str());
        temporary_path_.clear();
    }
}

}  // namespace vz
