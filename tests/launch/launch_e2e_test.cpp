// Pressing 启动 in the real quorvane.exe: the copies that start, their current directory, a window that keeps
// answering while they start, and copies that outlive the launcher.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "driver.h"
#include "launch_test_support.h"

namespace quorvane {
namespace {

using namespace test_support;

constexpr DWORD settleTimeoutMs = 60000;

class LaunchEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The launcher is started from elsewhere, and the copies' program lies in a third folder: a copy's
        // current directory can only be quorvane.exe's folder if the launcher made it so.
        std::filesystem::create_directory(folder.ansiPath("elsewhere"));
        std::filesystem::create_directory(folder.ansiPath("programs"));
        std::filesystem::copy_file(childProgram(), program);
        startedFrom.emplace(folder.ansiPath("elsewhere"));
    }

    void TearDown() override
    {
        app.reset();
        e2e::removeSettingsFile();
        startedFrom.reset();
    }

    // Starts quorvane.exe with the count and the program's command line stored in its settings file.
    void start(const std::string& countText, const std::string& childOptions)
    {
        commandLine = quoted(program) + " record=" + record + " " + childOptions;
        ASSERT_TRUE(e2e::writeSettingsFile("[基本信息]\r\n多开数量=" + countText + "\r\n文件路径=" + commandLine + "\r\n"));
        app.emplace();
        ASSERT_TRUE(app->started()) << "quorvane.exe did not start, error " << app->lastStartError();
        ASSERT_TRUE(app->waitForMainWindow());
        ::GetWindowThreadProcessId(app->mainWindow(), &launcherProcessId);
        for (const e2e::ControlInfo& control : e2e::childControls(app->mainWindow()))
            if (::lstrcmpiA(control.windowClass.c_str(), "Button") == 0) startButton = control.handle;
        ASSERT_TRUE(startButton) << "no start button";
        threadsBeforePress = threadCount(launcherProcessId);
    }

    bool clickStart() const
    {
        RECT rect{};
        ::GetWindowRect(startButton, &rect);
        return e2e::clickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    }

    bool settled(std::size_t copies) const
    {
        return waitForLaunchToSettle(threadsBeforePress, record, copies, settleTimeoutMs, launcherProcessId);
    }

    void expectCopiesStartedFromTheLaunchersFolder(std::size_t copies) const
    {
        const ChildRecords records = readChildRecords(record);
        EXPECT_EQ(records.starts.size(), copies);
        for (const ChildStart& copy : records.starts) {
            EXPECT_EQ(::lstrcmpiA(copy.directory.c_str(), programFolder().c_str()), 0) << copy.directory;
            EXPECT_EQ(copy.commandLine, commandLine);
        }
    }

    TempFolder folder;
    const std::string program = folder.ansiPath("programs") + "\\child_gui.exe";
    const std::string record = folder.ansiPath("record.txt");
    std::optional<CurrentDirectoryGuard> startedFrom;
    std::optional<e2e::QuorvaneProcess> app;
    std::string commandLine;
    DWORD launcherProcessId = 0;
    HWND startButton = nullptr;
    int threadsBeforePress = 0;
};

TEST_F(LaunchEndToEndTest, AClickOnStartStartsTheCountFromTheLaunchersFolder)
{
    ASSERT_NO_FATAL_FAILURE(start("3", "live=300"));
    ASSERT_TRUE(clickStart());
    ASSERT_TRUE(settled(3));
    expectCopiesStartedFromTheLaunchersFolder(3);
}

TEST_F(LaunchEndToEndTest, SpaceOnTheFocusedStartButtonStartsTheCount)
{
    ASSERT_NO_FATAL_FAILURE(start("2", "live=300"));
    ASSERT_TRUE(e2e::waitUntil([&] { return app->focusedWindow() == startButton; })) << "start button not focused";
    ASSERT_TRUE(e2e::pressKeys("space"));
    ASSERT_TRUE(settled(2));
    expectCopiesStartedFromTheLaunchersFolder(2);
}

TEST_F(LaunchEndToEndTest, EnterStartsNothingOnTheButtonOrInTheCountBox)
{
    ASSERT_NO_FATAL_FAILURE(start("2", "live=300"));
    const HWND window = app->mainWindow();
    ASSERT_TRUE(e2e::waitUntil([&] { return app->focusedWindow() == startButton; })) << "start button not focused";
    ASSERT_TRUE(e2e::pressKeys("Return"));
    ASSERT_TRUE(e2e::pressKeys("Tab"));
    ASSERT_TRUE(e2e::waitUntil([&] {
        const HWND focus = app->focusedWindow();
        return focus && focus != startButton && ::IsChild(window, focus);
    })) << "Tab did not reach the count box";
    ASSERT_TRUE(e2e::pressKeys("Return"));
    ASSERT_TRUE(e2e::pressKeys("shift+Tab"));
    ASSERT_TRUE(e2e::waitUntil([&] { return app->focusedWindow() == startButton; }));
    // Space is the one press: a launch from either Enter would have added its own copies to the record.
    ASSERT_TRUE(e2e::pressKeys("space"));
    ASSERT_TRUE(settled(2));
    expectCopiesStartedFromTheLaunchersFolder(2);
}

TEST_F(LaunchEndToEndTest, TheWindowKeepsAnsweringWhileSlowCopiesStart)
{
    ASSERT_NO_FATAL_FAILURE(start("20", "idle-after=300 live=400"));
    ResponsivenessSampler sampler(app->mainWindow(), 100);
    const bool allStarted = clickStart() && settled(20);
    sampler.stop();

    ASSERT_TRUE(allStarted);
    ASSERT_FALSE(sampler.answers.empty());
    EXPECT_EQ(sampler.unanswered, 0);
    EXPECT_LT(*std::max_element(sampler.answers.begin(), sampler.answers.end()), 100.0);
    EXPECT_LT(*std::max_element(sampler.repaints.begin(), sampler.repaints.end()), 100.0);
    expectCopiesStartedFromTheLaunchersFolder(20);
}

TEST_F(LaunchEndToEndTest, ClosingTheWindowEndsTheLauncherAndTheStartedCopiesLiveOn)
{
    ASSERT_NO_FATAL_FAILURE(start("2147483647", "idle-after=300 live=1500"));
    ASSERT_TRUE(clickStart());
    ASSERT_TRUE(waitUntil([&] { return !readChildRecords(record).starts.empty(); }, settleTimeoutMs));

    ::PostMessageA(app->mainWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(app->waitForExit()) << "the launcher did not end while its workers were starting copies";
    const ChildRecords atExit = readChildRecords(record);
    EXPECT_LT(static_cast<std::size_t>(atExit.ends), atExit.starts.size()) << "no copy was running at the exit";

    // Every copy started before the exit runs its whole life and records its end.
    EXPECT_TRUE(waitUntil(
        [&] {
            const ChildRecords records = readChildRecords(record);
            return static_cast<std::size_t>(records.ends) == records.starts.size();
        },
        settleTimeoutMs));
}

} // namespace
} // namespace quorvane
