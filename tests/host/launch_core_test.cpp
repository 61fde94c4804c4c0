// The launcher's pure rules: settling a show mode, and sharing the copies of one press out to its workers.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdint>
#include <thread>
#include <vector>

#include "launch/copy_counter.h"
#include "launch/show_mode.h"

namespace quorvane {
namespace {

struct ShowCase {
    int requested;
    ShowMode settled;
    int showCommand;
};

class ShowModeTest : public ::testing::TestWithParam<ShowCase> {};

TEST_P(ShowModeTest, SettlesAndMapsToTheShowCommand)
{
    const ShowCase& c = GetParam();
    EXPECT_EQ(settleShowMode(c.requested), c.settled) << c.requested;
    EXPECT_EQ(showWindowCommand(settleShowMode(c.requested)), c.showCommand) << c.requested;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShowModeTest,
    ::testing::Values(ShowCase{INT_MIN, ShowMode::Hidden, 0}, ShowCase{0, ShowMode::Hidden, 0},
                      ShowCase{1, ShowMode::Hidden, 0}, ShowCase{2, ShowMode::NormalActive, 1},
                      ShowCase{3, ShowMode::MinimizedActive, 2}, ShowCase{4, ShowMode::MaximizedActive, 3},
                      ShowCase{5, ShowMode::NormalInactive, 4}, ShowCase{6, ShowMode::MinimizedInactive, 6},
                      ShowCase{9, ShowMode::MinimizedInactive, 6}, ShowCase{INT_MAX, ShowMode::MinimizedInactive, 6}));

TEST(WorkersForCountTest, OneWorkerPerCopyUpToTheBound)
{
    const std::pair<std::int32_t, int> cases[] = {{INT32_MIN, 0}, {-2, 0}, {0, 0}, {1, 1}, {3, 3},
                                                  {8, 8}, {9, 8}, {INT32_MAX, 8}};
    for (const auto& [count, workers] : cases) EXPECT_EQ(workersForCount(count), workers) << count;
}

int claimsGranted(CopyCounter& copies, int attempts)
{
    int granted = 0;
    for (int i = 0; i < attempts; ++i) granted += copies.claim() ? 1 : 0;
    return granted;
}

TEST(CopyCounterTest, GrantsExactlyTheCount)
{
    for (const std::int32_t count : {-5, 0, 1, 7}) {
        CopyCounter copies(count);
        EXPECT_EQ(claimsGranted(copies, 20), count < 0 ? 0 : count) << count;
    }
}

TEST(CopyCounterTest, StopEndsEveryLaterClaimEvenAtTheLargestCount)
{
    CopyCounter copies(INT32_MAX);
    EXPECT_EQ(claimsGranted(copies, 3), 3);
    copies.stop();
    // The workers of a stopped press each claim once more; a 32-bit tally would wrap into new claims here.
    EXPECT_EQ(claimsGranted(copies, 2 * maxWorkersPerPress), 0);
}

TEST(CopyCounterTest, ConcurrentWorkersShareTheCountWithoutLossOrExcess)
{
    constexpr std::int32_t count = 200000;
    CopyCounter copies(count);
    std::atomic<int> granted{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < maxWorkersPerPress; ++i)
        workers.emplace_back([&] {
            while (copies.claim()) granted.fetch_add(1, std::memory_order_relaxed);
        });
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(granted.load(), count);
}

} // namespace
} // namespace quorvane
