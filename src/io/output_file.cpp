#include "io/output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace vz {

int FileSystemCalls::openat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}
ssize_t FileSystemCalls::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
ssize_t FileSystemCalls::pread(int fd, void* data, std::size_t size, off_t offset) {
    return ::pread(fd, data, size, offset);
}
ssize_t FileSystemCalls::pwrite(int fd, const void* data, std::size_t size, off_t offset) {
    return ::pwrite(fd, data, size, offset);
}
int FileSystemCalls::fsync(int fd) { return ::fsync(fd); }
int FileSystemCalls::linkat(int from_folder, const char* from, int to_folder, const char* to, int flags) {
    return ::linkat(from_folder, from, to_folder, to, flags);
}
int FileSystemCalls::renameat2(int from_folder, const char* from, int to_folder, const char* to, unsigned flags) {
    return ::renameat2(from_folder, from, to_folder, to, flags);
}
int FileSystemCalls::renameat(int from_folder, const char* from, int to_folder, const char* to) {
    return ::renameat(from_folder, from, to_folder, to);
}

DIR* FileSystemCalls::fdopendir(int fd) { return ::fdopendir(fd); }

FileSystemCalls& FileSystemCalls::system() {
    static FileSystemCalls calls;
    return calls;
}

namespace {

constexpr char kPartSuffix[] = ".part";

[[noreturn]] void throw_errno(int error, const std::string& what) {
    throw std::system_error(error, std::generic_category(), what);
}

// The file system has no unnamed files.
bool no_unnamed_files(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL || error == ENOSYS;
}

// The file system (or a missing /proc) cannot give a file a second name.
bool no_links(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == ENOSYS || error == EMLINK || error == ENOENT ||
           error == EXDEV;
}

// The process's umask, read without changing it (threads may be creating files).
mode_t current_umask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    return 022;
}

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// `fd` is still the file called `name` in `folder`.
bool still_named(int folder, const char* name, int fd) {
    struct stat named, open;
    return ::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           same_file(named, open);
}

// What the program's own writers put first: a GIF or WAV header, or nothing yet.
bool holds_our_start(int fd) {
    char start[12];
    const ssize_t n = ::pread(fd, start, sizeof start, 0);
    if (n == 0) return true;
    if (n >= 6 && (std::memcmp(start, "GIF87a", 6) == 0 || std::memcmp(start, "GIF89a", 6) == 0)) return true;
    return n == 12 && std::memcmp(start, "RIFF", 4) == 0 && std::memcmp(start + 8, "WAVE", 4) == 0;
}

bool ends_with_ignoring_case(std::string_view text, std::string_view end) {
    if (text.size() < end.size()) return false;
    for (std::size_t i = 0; i < end.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[text.size() - end.size() + i])) != end[i]) return false;
    }
    return true;
}

// A temporary name of our own: `.NAME.part` or `.NAME.N.part`, where NAME is
// a GIF or WAV file name.
bool is_temporary_name(const std::string& name) {
    const std::size_t suffix = sizeof kPartSuffix - 1;
    if (name.size() <= suffix + 1 || name[0] != '.' || name.compare(name.size() - suffix, suffix, kPartSuffix) != 0)
        return false;
    std::string_view inner(name.data() + 1, name.size() - 1 - suffix);
    // Drop a ".N" that tells apart temporaries of the same name.
    if (const std::size_t dot = inner.rfind('.'); dot != std::string_view::npos && dot + 1 < inner.size() &&
                                                  inner.find_first_not_of("0123456789", dot + 1) == std::string_view::npos)
        inner = inner.substr(0, dot);
    return ends_with_ignoring_case(inner, ".gif") || ends_with_ignoring_case(inner, ".wav");
}

}  // namespace

bool path_exists(const std::filesystem::path& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

void sweep_stale_temporaries(int folder_fd, FileSystemCalls& calls) {
    const int listing_fd = ::openat(folder_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing_fd < 0) return;
    DIR* listing = calls.fdopendir(listing_fd);
    if (listing == nullptr) {
        ::close(listing_fd);
        return;
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (!is_temporary_name(name)) continue;
        const int fd = ::openat(folder_fd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        // A writer holds its lock from creation to naming, so a lock taken
        // here means the writer is gone; the name is checked again under the
        // lock in case the file was renamed or replaced meanwhile.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            holds_our_start(fd) && still_named(folder_fd, name.c_str(), fd))
            ::unlinkat(folder_fd, name.c_str(), 0);
        ::close(fd);
    }
    ::closedir(listing);
}

OutputFile::OutputFile(std::filesystem::path final_path, FileSystemCalls& calls)
    : calls_(calls), final_path_(std::move(final_path)) {
    name_ = final_path_.filename().string();
    if (name_.empty() && final_path_.empty()) throw_errno(ENOENT, final_path_.string());
    if (name_.empty() || name_ == "." || name_ == "..") throw_errno(EISDIR, final_path_.string());
    const std::filesystem::path folder = final_path_.parent_path();
    folder_fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_fd_ < 0) throw_errno(errno, final_path_.string());
    sweep_stale_temporaries(folder_fd_, calls_);

    fd_ = calls_.openat(folder_fd_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd_ >= 0) {
        // Some kernels create unnamed files without applying the umask.
        struct stat st;
        const mode_t mask = current_umask();
        if (::fstat(fd_, &st) == 0 && (st.st_mode & mask) != 0) ::fchmod(fd_, st.st_mode & 0777 & ~mask);
        return;
    }
    if (!no_unnamed_files(errno)) fail(errno);
    create_named_temporary();
}

OutputFile::~OutputFile() { discard(); }

[[noreturn]] void OutputFile::fail(int error) {
    discard();
    throw_errno(error, final_path_.string());
}

// A hidden `.NAME.part` (or `.NAME.N.part` when that is taken), created
// exclusively and locked until it is named or removed.
void OutputFile::create_named_temporary() {
    int swept_meanwhile = 0;
    for (int attempt = 0; attempt < 100;) {
        std::string hidden = "." + name_;
        if (attempt) hidden.append(".").append(std::to_string(attempt));
        hidden.append(kPartSuffix);
        const int fd = calls_.openat(folder_fd_, hidden.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                     0666);
        if (fd < 0) {
            if (errno != EEXIST) fail(errno);
            ++attempt;
            continue;
        }
        // Where locks are unsupported the file stays unlocked; the sweep
        // then never removes it, as it cannot tell whether it is in use.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        // Another run's sweep may have taken the new file for a stale one
        // between its creation and the lock: then create it again.
        if (!still_named(folder_fd_, hidden.c_str(), fd)) {
            ::close(fd);
            if (++swept_meanwhile < 10) continue;
            fail(EAGAIN);
        }
        fd_ = fd;
        temporary_path_ = final_path_.parent_path() / hidden;
        return;
    }
    fail(EEXIST);
}

void OutputFile::append(const std::uint8_t* data, std::size_t size) {
    synced_ = false;
    while (size > 0) {
        const ssize_t n = calls_.write(fd_, data, size);
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
        const ssize_t n = calls_.pread(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw_errno(n < 0 ? errno : EIO, final_path_.string());
        data += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::write_at(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    synced_ = false;
    while (size > 0) {
        const ssize_t n = calls_.pwrite(fd_, data, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw_errno(errno, final_path_.string());
        }
        data += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
}

void OutputFile::sync() {
    if (fd_ < 0) throw_errno(EBADF, final_path_.string());
    if (calls_.fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
    synced_ = true;
}

OutputFile::Commit OutputFile::commit() {
    if (!synced_) sync();
    Commit result = Commit::Done;
    if (temporary_path_.empty()) {
        // The unnamed file gets its name by a link, which fails on a taken name.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        if (calls_.linkat(AT_FDCWD, self.c_str(), folder_fd_, name_.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            result = Commit::Done;
        } else if (errno == EEXIST) {
            result = Commit::NameTaken;
        } else if (no_links(errno)) {
            // A complete run is never lost for want of links: the bytes go
            // into a named temporary, which is then moved into place.
            copy_into_named_temporary();
            result = move_into_place();
        } else {
            fail(errno);
        }
    } else {
        result = move_into_place();
    }
    if (result == Commit::Done) {
        temporary_path_.clear();  // it is the final name now
        ::fsync(folder_fd_);
    }
    discard();
    return result;
}

void OutputFile::copy_into_named_temporary() {
    const int unnamed = fd_;
    fd_ = -1;
    try {
        create_named_temporary();
        std::uint8_t buffer[1 << 16];
        for (std::uint64_t offset = 0;;) {
            const ssize_t n = calls_.pread(unnamed, buffer, sizeof buffer, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) fail(errno);
            if (n == 0) break;
            append(buffer, static_cast<std::size_t>(n));
            offset += static_cast<std::uint64_t>(n);
        }
        if (calls_.fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) fail(errno);
    } catch (...) {
        ::close(unnamed);
        discard();
        throw;
    }
    ::close(unnamed);
}

// Moves the named temporary to the final name without replacing anything.
OutputFile::Commit OutputFile::move_into_place() {
    const std::string hidden = temporary_path_.filename().string();
    const char* from = hidden.c_str();
    const char* to = name_.c_str();
    if (calls_.renameat2(folder_fd_, from, folder_fd_, to, RENAME_NOREPLACE) == 0) return Commit::Done;
    if (errno == EEXIST) return Commit::NameTaken;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) fail(errno);
    // No exclusive rename here; a hard link fails on a taken name just the same.
    if (calls_.linkat(folder_fd_, from, folder_fd_, to, 0) == 0) {
        ::unlinkat(folder_fd_, from, 0);
        temporary_path_.clear();
        return Commit::Done;
    }
    if (errno == EEXIST) return Commit::NameTaken;
    if (!no_links(errno)) fail(errno);
    // Neither exclusive renames nor links (some FUSE mounts): check, then
    // rename. A file created under the name between the two calls would be
    // replaced; that window is a few microseconds, and refusing would lose
    // every complete run on such a file system.
    struct stat st;
    if (::fstatat(folder_fd_, to, &st, AT_SYMLINK_NOFOLLOW) == 0) return Commit::NameTaken;
    if (calls_.renameat(folder_fd_, from, folder_fd_, to) != 0) fail(errno);
    return Commit::Done;
}

void OutputFile::discard() noexcept {
    // The hidden temporary is removed while its lock is still held, so that
    // no other run can have swept it and taken its name meanwhile.
    if (!temporary_path_.empty()) {
        if (fd_ >= 0 && still_named(folder_fd_, temporary_path_.filename().c_str(), fd_))
            ::unlinkat(folder_fd_, temporary_path_.filename().c_str(), 0);
        temporary_path_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (folder_fd_ >= 0) {
        ::close(folder_fd_);
        folder_fd_ = -1;
    }
}

}  // namespace vz
