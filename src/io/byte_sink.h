// Where the writer steps append their bytes: a buffer that drains into the
// output file when it fills, or that simply keeps everything in memory (the
// page's build has no files at all).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace vz {

// Where a sink's bytes go when it drains: the output file, for one.
class ByteDrain {
public:
    virtual ~ByteDrain() = default;
    // Takes `size` bytes; throws std::system_error when it cannot.
    virtual void append(const std::uint8_t* data, std::size_t size) = 0;
};

class ByteSink {
public:
    // Keeps every byte in memory (see bytes()).
    ByteSink() = default;
    // Drains into `file` in chunks of `chunk` bytes.
    explicit ByteSink(ByteDrain& file, std::size_t chunk = 1 << 20) : file_(&file), chunk_(chunk) {
        buffer_.reserve(chunk_);
    }

    void put(std::uint8_t byte) {
        buffer_.push_back(byte);
        if (file_ && buffer_.size() >= chunk_) drain();
    }
    void put(std::span<const std::uint8_t> bytes) {
        buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
        if (file_ && buffer_.size() >= chunk_) drain();
    }
    void put(std::initializer_list<std::uint8_t> bytes) { put(std::span<const std::uint8_t>(bytes.begin(), bytes.size())); }
    void fill(std::uint8_t byte, std::size_t count) {
        buffer_.insert(buffer_.end(), count, byte);
        if (file_ && buffer_.size() >= chunk_) drain();
    }

    // Hands everything buffered to the file (no-op in memory).
    void flush() {
        if (file_) drain();
    }
    // Bytes written so far, counting those already drained.
    std::uint64_t position() const { return drained_ + buffer_.size(); }
    // The bytes of a memory sink.
    const std::vector<std::uint8_t>& bytes() const { return buffer_; }
    // Empties a memory sink, keeping its storage for the next use.
    void clear() { buffer_.clear(); }

private:
    void drain() {
        file_->append(buffer_.data(), buffer_.size());
        drained_ += buffer_.size();
        buffer_.clear();
    }

    ByteDrain* file_ = nullptr;
    std::size_t chunk_ = 0;
    std::uint64_t drained_ = 0;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace vz
