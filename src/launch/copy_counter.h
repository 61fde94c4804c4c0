// The copies of one press of the start button, handed out one at a time to that press's workers.
#pragma once

#include <atomic>
#include <cstdint>

namespace quorvane {

// At most this many workers start the copies of one press; more copies than workers are shared out.
constexpr int maxWorkersPerPress = 8;

// How many workers a press of count copies gets: none for a count of 0 or below.
int workersForCount(std::int32_t count) noexcept;

// Shared by the workers of one press; any number of threads may call claim and stop at the same time.
class CopyCounter {
public:
    explicit CopyCounter(std::int32_t count) noexcept : count_(count) {}
    CopyCounter(const CopyCounter&) = delete;
    CopyCounter& operator=(const CopyCounter&) = delete;

    // True when the caller is to start one more copy: the count is not reached and the press was not stopped.
    bool claim() noexcept;
    // Every later claim fails; copies already claimed are still started by their workers.
    void stop() noexcept;

private:
    // 64 bits: each worker claims once past the count before it ends, so a count of 2^31 - 1 cannot wrap.
    const std::int64_t count_;
    std::atomic<std::int64_t> claimed_{0};
};

} // namespace quorvane
