// One press of the start button against the real platform: how many copies start, that the press returns
// at once, and that the workers leave no thread or handle behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "launch/copy_counter.h"
#include "launch/multi_launcher.h"
#include "launch_test_support.h"

namespace quorvane {
namespace {

using namespace test_support;

// Generous: on a fresh prefix of a loaded two-core machine, twenty console starts have once taken 30 s.
constexpr DWORD settleTimeoutMs = 60000;

std::string childCommandLine(const std::string& record, const std::string& options = "live=300")
{
    return quoted(childProgram()) + " record=" + record + " " + options;
}

struct CountCase {
    const char* countText;
    std::size_t copies;
};

class LaunchCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(LaunchCountTest, StartsAsManyCopiesAsTheCountTextReads)
{
    const TempFolder folder;
    const std::string record = folder.ansiPath("record.txt");
    const std::string commandLine = childCommandLine(record);
    const int threadsBefore = threadCount();

    MultiLauncher().launch(LaunchSettings{GetParam().countText, commandLine});

    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, record, GetParam().copies, settleTimeoutMs));
    const ChildRecords records = readChildRecords(record);
    EXPECT_EQ(records.starts.size(), GetParam().copies);
    for (const ChildStart& start : records.starts) EXPECT_EQ(start.commandLine, commandLine);
}

INSTANTIATE_TEST_SUITE_P(Cases, LaunchCountTest,
                         ::testing::Values(CountCase{"3", 3}, CountCase{"0", 0}, CountCase{"-2", 0},
                                           CountCase{"abc", 0}, CountCase{"", 0},
                                           CountCase{"\xA3\xB0\xA3\xB5", 5})); // full-width 05

TEST(MultiLauncherTest, PressReturnsAtOnceWhileBoundedWorkersStartTheCopies)
{
    const TempFolder folder;
    const std::string record = folder.ansiPath("record.txt");
    const int threadsBefore = threadCount();
    const ULONGLONG before = ::GetTickCount64();
    MultiLauncher().launch(LaunchSettings{"20", childCommandLine(record, "idle-after=300 live=400")});
    EXPECT_LT(::GetTickCount64() - before, 200u) << "the press waited for the starts";
    const int threadsDuring = threadCount();
    EXPECT_GT(threadsDuring, threadsBefore);
    EXPECT_LE(threadsDuring, threadsBefore + maxWorkersPerPress);

    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, record, 20, settleTimeoutMs));
    EXPECT_EQ(readChildRecords(record).starts.size(), 20u);
}

TEST(MultiLauncherTest, TheWorkersLeaveNoThreadOrHandleBehind)
{
    const TempFolder folder;
    const std::string record = folder.ansiPath("record.txt");
    // Console children: under Wine each input-idle wait on a GUI child leaves an event handle of Wine's own
    // open. The first launch lets the platform set up what it keeps for the process's threads.
    const std::string commandLine = quoted(childProgram(false)) + " record=" + record + " live=100";
    MultiLauncher launcher;
    int threadsBefore = threadCount();
    launcher.launch(LaunchSettings{"1", commandLine});
    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, record, 1, settleTimeoutMs));

    threadsBefore = threadCount();
    const int handlesBefore = openHandleCount();
    launcher.launch(LaunchSettings{"20", commandLine});
    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, record, 21, settleTimeoutMs))
        << "threads " << threadCount() << " (before " << threadsBefore << "), starts "
        << readChildRecords(record).starts.size() << ", ends " << readChildRecords(record).ends;
    EXPECT_EQ(readChildRecords(record).starts.size(), 21u);
    EXPECT_EQ(threadCount(), threadsBefore);
    EXPECT_EQ(openHandleCount(), handlesBefore);
}

TEST(MultiLauncherTest, APressDuringALaunchStartsItsOwnBatch)
{
    const TempFolder folder;
    const std::string first = folder.ansiPath("first.txt");
    const std::string second = folder.ansiPath("second.txt");
    const int threadsBefore = threadCount();
    MultiLauncher launcher;
    launcher.launch(LaunchSettings{"3", childCommandLine(first, "idle-after=300 live=400")});
    launcher.launch(LaunchSettings{"2", childCommandLine(second, "idle-after=300 live=400")});

    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, first, 3, settleTimeoutMs));
    ASSERT_TRUE(waitForLaunchToSettle(threadsBefore, second, 2, settleTimeoutMs));
    EXPECT_EQ(readChildRecords(first).starts.size(), 3u);
    EXPECT_EQ(readChildRecords(second).starts.size(), 2u);
}

TEST(MultiLauncherTest, AMissingProgramEndsThePressInsteadOfBeingTriedCountTimes)
{
    const TempFolder folder;
    const int threadsBefore = threadCount();
    MultiLauncher().launch(LaunchSettings{"2147483647", quoted(folder.ansiPath("missing.exe"))});
    EXPECT_TRUE(waitUntil([&] { return threadCount() <= threadsBefore; }, settleTimeoutMs));
}

// Starts counted instead of made, for what the real platform cannot show: how often a start is tried.
std::atomic<int> startsTried{0};
std::atomic<int> refuseFromTry{0};

bool countStart(const std::string&, bool, int)
{
    const int tried = ++startsTried;
    ::Sleep(1);
    return tried < refuseFromTry;
}

TEST(MultiLauncherTest, ARefusedStartIsTriedAtMostOncePerWorker)
{
    startsTried = 0;
    refuseFromTry = 1;
    const int threadsBefore = threadCount();
    MultiLauncher(&countStart).launch(LaunchSettings{"2147483647", "missing.exe"});
    ASSERT_TRUE(waitUntil([&] { return threadCount() <= threadsBefore; }, settleTimeoutMs));
    EXPECT_GE(startsTried.load(), 1);
    EXPECT_LE(startsTried.load(), maxWorkersPerPress);
}

TEST(MultiLauncherTest, TheLargestCountKeepsTheWorkersBounded)
{
    startsTried = 0;
    refuseFromTry = 3000;
    const int threadsBefore = threadCount();
    MultiLauncher(&countStart).launch(LaunchSettings{"2147483647", "program.exe"});
    int mostThreads = threadCount();
    ASSERT_TRUE(waitUntil(
        [&] {
            const int threads = threadCount();
            mostThreads = std::max(mostThreads, threads);
            return threads <= threadsBefore;
        },
        settleTimeoutMs));
    EXPECT_LE(mostThreads, threadsBefore + maxWorkersPerPress);
    // The refusal ends the press; only starts that other workers had already taken on follow it.
    EXPECT_GE(startsTried.load(), 3000);
    EXPECT_LT(startsTried.load(), 3000 + maxWorkersPerPress);
}

} // namespace
} // namespace quorvane
