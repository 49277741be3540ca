// Threads sharing a memory budget, as the pictures of a batch do.
#include "core/common/memory_gate.h"

#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace zorva {
namespace {

using namespace std::chrono_literals;

// Eight pieces of work of 40 each on eight threads, in a budget of 100: never more than two
// at once. Then one of 500, more than all of it, waits for the one held and goes alone.
TEST(MemoryGate, ThreadsHoldNoMoreThanTheBudget) {
    MemoryGate gate(100);
    std::atomic<int> running{0};
    std::atomic<int> mostRunning{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            const MemoryHeld held(gate, 40);
            const int now = ++running;
            for (int most = mostRunning;
                 now > most && !mostRunning.compare_exchange_weak(most, now);) {
            }
            std::this_thread::sleep_for(5ms);
            --running;
        });
    }
    for (std::thread& t : threads)
        t.join();
    EXPECT_LE(mostRunning.load(), 2);
    EXPECT_EQ(gate.MostHeld(), 80u);

    MemoryGate alone(100);
    std::atomic<bool> smallHeld{false};
    std::atomic<bool> bigStarted{false};
    std::thread small([&] {
        const MemoryHeld held(alone, 40);
        smallHeld = true;
        std::this_thread::sleep_for(20ms);
        EXPECT_FALSE(bigStarted.load()); // still waiting for this one
    });
    while (!smallHeld)
        std::this_thread::yield();
    {
        const MemoryHeld big(alone, 500);
        bigStarted = true;
    }
    small.join();
    EXPECT_EQ(alone.MostHeld(), 500u);
}

} // namespace
} // namespace zorva
