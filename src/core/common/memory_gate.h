#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>

namespace zorva {

// A memory budget shared by threads that each work on one thing at a time (a picture of a
// batch): each takes what its work will need before it starts and gives it back when it is
// done. One whose need would take the held memory past the budget waits until enough is
// given back, unless nothing is held, so that a need larger than the whole budget still
// goes, alone.
class MemoryGate {
  public:
    explicit MemoryGate(uint64_t budget) : budget_(budget) {}
    MemoryGate(const MemoryGate&) = delete;
    MemoryGate& operator=(const MemoryGate&) = delete;

    void Take(uint64_t bytes);
    void Give(uint64_t bytes);
    // The most that was held at once.
    uint64_t MostHeld() const;

  private:
    const uint64_t budget_;
    mutable std::mutex lock_;
    std::condition_variable given_;
    uint64_t held_ = 0;
    uint64_t mostHeld_ = 0;
};

// Holds what a piece of work takes from a gate for as long as it lives.
class MemoryHeld {
  public:
    MemoryHeld(MemoryGate& gate, uint64_t bytes) : gate_(gate), bytes_(bytes) {
        gate_.Take(bytes_);
    }
    ~MemoryHeld() { gate_.Give(bytes_); }
    MemoryHeld(const MemoryHeld&) = delete;
    MemoryHeld& operator=(const MemoryHeld&) = delete;

  private:
    MemoryGate& gate_;
    uint64_t bytes_;
};

// The memory the system could give this process now without swapping (MemAvailable), in
// bytes; nothing when the system does not say.
std::optional<uint64_t> AvailableMemory();

} // namespace zorva
