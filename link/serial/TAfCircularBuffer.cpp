#include "link/serial/TAfCircularBuffer.h"

#include <algorithm>
#include <cstring>

TAfCircularBuffer::TAfCircularBuffer(std::int32_t size)
    : buffer_(new std::uint8_t[std::max<std::int32_t>(size, 1)]()), size_(std::max<std::int32_t>(size, 0))
{
}

void TAfCircularBuffer::Clear()
{
    readPos_ = 0;
    writePos_ = 0;
    full_ = false;
}

std::int32_t TAfCircularBuffer::BufUsed() const
{
    if (full_)
        return size_;
    return writePos_ >= readPos_ ? writePos_ - readPos_ : writePos_ - readPos_ + size_;
}

std::int32_t TAfCircularBuffer::LinearDataCount() const
{
    if (full_)
        return size_ - readPos_;
    return (writePos_ < readPos_ ? size_ : writePos_) - readPos_;
}

std::int32_t TAfCircularBuffer::Advance(std::int32_t pos, std::int32_t n) const
{
    return pos + n >= size_ ? pos + n - size_ : pos + n;
}

bool TAfCircularBuffer::Write(const void* data, std::int32_t count)
{
    if (count < 1 || count > BufFree())
        return false;
    const auto* src = static_cast<const std::uint8_t*>(data);
    const std::int32_t first = std::min(count, size_ - writePos_);
    std::memcpy(buffer_.get() + writePos_, src, first);
    if (first < count)
        std::memcpy(buffer_.get(), src + first, count - first);
    writePos_ = Advance(writePos_, count);
    full_ = readPos_ == writePos_;
    return true;
}

bool TAfCircularBuffer::Remove(std::int32_t count)
{
    if (count < 0 || count > BufUsed())
        return false;
    readPos_ = Advance(readPos_, count);
    if (count > 0)
        full_ = false;
    return true;
}

std::int32_t TAfCircularBuffer::Peek(void* data, std::int32_t count) const
{
    const std::int32_t n = std::clamp(count, 0, BufUsed());
    auto* dst = static_cast<std::uint8_t*>(data);
    const std::int32_t first = std::min(n, size_ - readPos_);
    std::memcpy(dst, buffer_.get() + readPos_, first);
    if (first < n)
        std::memcpy(dst + first, buffer_.get(), n - first);
    return n;
}

std::int32_t TAfCircularBuffer::Read(void* data, std::int32_t count)
{
    const std::int32_t n = Peek(data, count);
    Remove(n);
    return n;
}
