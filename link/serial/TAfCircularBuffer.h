#pragma once
// A fixed-size byte ring. It has no lock of its own: its users lock it.
#include <cstdint>
#include <memory>

class TAfCircularBuffer {
public:
    explicit TAfCircularBuffer(std::int32_t size);

    void Clear();
    std::int32_t Size() const { return size_; }
    std::int32_t BufUsed() const;
    std::int32_t BufFree() const { return size_ - BufUsed(); }
    // Bytes that can be read in one piece from the oldest byte on.
    std::int32_t LinearDataCount() const;
    // The oldest byte.
    const std::uint8_t* ReadPtr() const { return buffer_.get() + readPos_; }
    // All `count` bytes, or none: false when count is below 1 or above BufFree.
    bool Write(const void* data, std::int32_t count);
    // Drops the `count` oldest bytes; false (and nothing dropped) when fewer are held.
    bool Remove(std::int32_t count);
    // Copies up to `count` of the oldest bytes without removing them; the number copied.
    std::int32_t Peek(void* data, std::int32_t count) const;
    // Copies and removes up to `count` of the oldest bytes; the number taken.
    std::int32_t Read(void* data, std::int32_t count);

private:
    std::int32_t Advance(std::int32_t pos, std::int32_t n) const;

    std::unique_ptr<std::uint8_t[]> buffer_;
    std::int32_t size_;
    std::int32_t readPos_ = 0;
    std::int32_t writePos_ = 0;
    bool full_ = false;
};
