#include "link/serial/TAfCircularBuffer.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(int count, std::uint8_t first)
{
    std::vector<std::uint8_t> v(static_cast<std::size_t>(count));
    for (auto& b : v)
        b = first++;
    return v;
}

} // namespace

TEST(TAfCircularBufferTest, ExactFillAndWrapAround)
{
    TAfCircularBuffer ring(8);
    const auto six = Bytes(6, 10);
    ASSERT_TRUE(ring.Write(six.data(), 6));
    ASSERT_TRUE(ring.Remove(4)); // oldest byte now at position 4
    const auto more = Bytes(6, 100);
    ASSERT_TRUE(ring.Write(more.data(), 6)); // passes the end: fills exactly
    EXPECT_EQ(ring.BufUsed(), 8);
    EXPECT_EQ(ring.BufFree(), 0);
    // Only the bytes up to the end of the memory block come in one piece.
    EXPECT_EQ(ring.LinearDataCount(), 4);
    EXPECT_EQ(ring.ReadPtr()[0], 14);
    std::uint8_t out[8];
    EXPECT_EQ(ring.Read(out, 8), 8);
    EXPECT_EQ(std::vector<std::uint8_t>(out, out + 8),
              (std::vector<std::uint8_t>{14, 15, 100, 101, 102, 103, 104, 105}));
    EXPECT_EQ(ring.BufUsed(), 0);
}

// Random writes, reads and removals against a plain queue: every byte comes
// out once, in order, and the counts always agree.
TEST(TAfCircularBufferTest, BehavesLikeAQueue)
{
    std::mt19937 random(7);
    for (int size : {1, 3, 7, 64}) {
        TAfCircularBuffer ring(size);
        std::deque<std::uint8_t> model;
        std::uint8_t next = 0;
        for (int step = 0; step < 5000; ++step) {
            const int count = static_cast<int>(random() % (size + 2));
            switch (random() % 3) {
            case 0: {
                const auto bytes = Bytes(count, next);
                const bool fits = count >= 1 && count <= size - static_cast<int>(model.size());
                ASSERT_EQ(ring.Write(bytes.data(), count), fits);
                if (fits) {
                    model.insert(model.end(), bytes.begin(), bytes.end());
                    next = static_cast<std::uint8_t>(next + count);
                }
                break;
            }
            case 1: {
                std::vector<std::uint8_t> out(static_cast<std::size_t>(count) + 1);
                const int n = ring.Read(out.data(), count);
                ASSERT_EQ(n, std::min<int>(count, static_cast<int>(model.size())));
                for (int i = 0; i < n; ++i) {
                    ASSERT_EQ(out[static_cast<std::size_t>(i)], model.front());
                    model.pop_front();
                }
                break;
            }
            default:
                if (!model.empty()) {
                    ASSERT_EQ(*ring.ReadPtr(), model.front());
                }
                ASSERT_LE(ring.LinearDataCount(), static_cast<int>(model.size()));
                ASSERT_GT(ring.LinearDataCount(), model.empty() ? -1 : 0);
                break;
            }
            ASSERT_EQ(ring.BufUsed(), static_cast<int>(model.size()));
            ASSERT_EQ(ring.BufFree(), size - static_cast<int>(model.size()));
        }
    }
}
