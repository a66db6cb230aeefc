#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

namespace dxcc {

// Bytes in memory, like a string, except that growing leaves the new bytes as
// they are instead of clearing them: a log of a hundred megabytes is read or
// merged straight into fresh memory, which the kernel hands out cleared
// anyway, and clearing it first would cost as much as the reading.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::string_view bytes) { append(bytes); }
    ByteBuffer(ByteBuffer&& other) noexcept { swap(other); }
    ByteBuffer& operator=(ByteBuffer&& other) noexcept {
        ByteBuffer(std::move(other)).swap(*this);
        return *this;
    }
    ByteBuffer(const ByteBuffer&) = delete;
    ByteBuffer& operator=(const ByteBuffer&) = delete;

    char* data() { return data_.get(); }
    const char* data() const { return data_.get(); }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }
    char& operator[](size_t i) { return data_[i]; }
    char operator[](size_t i) const { return data_[i]; }
    char back() const { return data_[size_ - 1]; }
    std::string_view view() const { return {data_.get(), size_}; }
    operator std::string_view() const { return view(); }

    // Room for `bytes` in all; the bytes held are kept.
    void reserve(size_t bytes) {
        if (bytes <= capacity_) return;
        std::unique_ptr<char[]> larger(new char[bytes]);  // not cleared: see above
        if (size_ > 0) std::memcpy(larger.get(), data_.get(), size_);
        data_ = std::move(larger);
        capacity_ = bytes;
    }
    // `bytes` long; the bytes added are left unspecified, for the caller to write.
    void resize(size_t bytes) {
        if (bytes > capacity_) reserve(std::max(bytes, 2 * capacity_));
        size_ = bytes;
    }
    void append(std::string_view bytes) {
        const size_t at = size_;
        resize(size_ + bytes.size());
        if (!bytes.empty()) std::memcpy(data_.get() + at, bytes.data(), bytes.size());
    }
    ByteBuffer& operator+=(std::string_view bytes) {
        append(bytes);
        return *this;
    }
    void clear() { size_ = 0; }
    // Gives the memory back.
    void release() { ByteBuffer().swap(*this); }
    void swap(ByteBuffer& other) noexcept {
        data_.swap(other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    std::unique_ptr<char[]> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace dxcc
