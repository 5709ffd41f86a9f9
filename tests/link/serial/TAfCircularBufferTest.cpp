#include "link/serial/TAfCircularBuffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <random>
#include <vector>

// Random writes, reads and removals against a plain queue: every byte comes
// out once and in order, a write that does not fit changes nothing, and the
// counts agree at every step, also the piece that lies before the wrap.
TEST(TAfCircularBufferTest, BehavesLikeAQueue)
{
    std::mt19937 random(7);
    for (int size : {1, 3, 7, 64}) {
        SCOPED_TRACE(size);
        TAfCircularBuffer ring(size);
        std::deque<std::uint8_t> model;
        int oldestAt = 0; // where the oldest byte lies in the ring's memory
        std::uint8_t next = 0;
        for (int step = 0; step < 5000; ++step) {
            const int count = static_cast<int>(random() % static_cast<unsigned>(size + 2));
            const int used = static_cast<int>(model.size());
            int taken = 0;
            switch (random() % 3) {
            case 0: {
                std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
                for (auto& b : bytes)
                    b = next++;
                const bool fits = count >= 1 && count <= size - used;
                ASSERT_EQ(ring.Write(bytes.data(), count), fits);
                if (fits)
                    model.insert(model.end(), bytes.begin(), bytes.end());
                break;
            }
            case 1: {
                std::vector<std::uint8_t> out(static_cast<std::size_t>(count) + 1);
                taken = ring.Read(out.data(), count);
                ASSERT_EQ(taken, std::min(count, used));
                ASSERT_TRUE(std::equal(out.begin(), out.begin() + taken, model.begin()));
                break;
            }
            default:
                ASSERT_EQ(ring.Remove(count), count <= used);
                taken = count <= used ? count : 0;
            }
            model.erase(model.begin(), model.begin() + taken);
            oldestAt = (oldestAt + taken) % size;
            ASSERT_EQ(ring.BufUsed(), static_cast<int>(model.size()));
            ASSERT_EQ(ring.BufFree(), size - static_cast<int>(model.size()));
            ASSERT_EQ(ring.LinearDataCount(), std::min(static_cast<int>(model.size()), size - oldestAt));
            if (!model.empty()) {
                ASSERT_EQ(*ring.ReadPtr(), model.front());
            }
        }
    }
}
