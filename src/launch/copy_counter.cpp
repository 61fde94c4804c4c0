// The copies of one press of the start button, handed out one at a time to that press's workers.
#include "launch/copy_counter.h"

#include <algorithm>

namespace quorvane {

int workersForCount(std::int32_t count) noexcept
{
    return count <= 0 ? 0 : static_cast<int>(std::min<std::int32_t>(count, maxWorkersPerPress));
}

bool CopyCounter::claim() noexcept
{
    return claimed_.fetch_add(1, std::memory_order_relaxed) < count_;
}

void CopyCounter::stop() noexcept
{
    claimed_.store(count_, std::memory_order_relaxed);
}

} // namespace quorvane
