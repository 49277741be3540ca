#include "core/common/memory_gate.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace zorva {

void MemoryGate::Take(uint64_t bytes) {
    std::unique_lock<std::mutex> hold(lock_);
    given_.wait(hold, [&] { return held_ == 0 || held_ + bytes <= budget_; });
    held_ += bytes;
    mostHeld_ = std::max(mostHeld_, held_);
}

void MemoryGate::Give(uint64_t bytes) {
    {
        const std::lock_guard<std::mutex> hold(lock_);
        held_ -= std::min(bytes, held_);
    }
    given_.notify_all();
}

uint64_t MemoryGate::MostHeld() const {
    const std::lock_guard<std::mutex> hold(lock_);
    return mostHeld_;
}

std::optional<uint64_t> AvailableMemory() {
    constexpr uint64_t kBytesPerKiB = 1024;
    std::ifstream meminfo("/proc/meminfo");
    for (std::string line; std::getline(meminfo, line);) {
        std::istringstream words(line);
        std::string name;
        uint64_t kib = 0;
        if (words >> name >> kib && name == "MemAvailable:") return kib * kBytesPerKiB;
    }
    return std::nullopt;
}

} // namespace zorva
