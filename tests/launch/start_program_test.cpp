// One process start against the real platform: what the started child receives, how long the start waits,
// and that a refused start leaves nothing open.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "launch/start_program.h"
#include "launch_test_support.h"

namespace quorvane {
namespace {

using namespace test_support;

class StartProgramTest : public ::testing::Test {
protected:
    // The children end by themselves; a test waits for them, so that none outlives it. A child may record
    // its start late on a loaded machine, so the wait is for the starts that the test made.
    void waitForChildrenToEnd(std::size_t started)
    {
        EXPECT_TRUE(waitUntil(
            [&] {
                const ChildRecords records = readChildRecords(record);
                return records.starts.size() >= started && static_cast<std::size_t>(records.ends) == records.starts.size();
            },
            20000));
    }
    std::string child(const std::string& options, bool gui = true) const
    {
        return quoted(childProgram(gui)) + " record=" + record + " " + options;
    }

    TempFolder folder;
    const std::string record = folder.ansiPath("record.txt");
};

TEST_F(StartProgramTest, RefusedStartsGiveFalseAndLeaveNoHandleOpen)
{
    const std::string notAProgram = folder.ansiPath("notes.txt");
    std::ofstream(notAProgram) << "plain text\n";
    const std::string refused[] = {"", "   ", folder.ansiPath("missing.exe"), quoted(folder.ansiPath("missing.exe")) + " x",
                                   notAProgram};
    for (const std::string& commandLine : refused) EXPECT_FALSE(startProgram(commandLine)) << commandLine;

    // The first round may let the platform set up what it keeps for the process; the second must add nothing.
    const int handlesBefore = openHandleCount();
    for (const std::string& commandLine : refused) EXPECT_FALSE(startProgram(commandLine)) << commandLine;
    EXPECT_EQ(openHandleCount(), handlesBefore);
}

TEST_F(StartProgramTest, AStartedCopyLeavesNoHandleOpen)
{
    // A console child: under Wine each input-idle wait on a GUI child leaves an event handle of Wine's own
    // open in the caller, which would hide what the start itself leaves.
    ASSERT_TRUE(startProgram(child("live=100", false)));
    const int handlesBefore = openHandleCount();
    ASSERT_TRUE(startProgram(child("live=100", false)));
    ASSERT_TRUE(startProgram(child("live=100", false), true));
    EXPECT_EQ(openHandleCount(), handlesBefore);
    waitForChildrenToEnd(3);
}

TEST_F(StartProgramTest, ShowModeReachesTheChildAsItsShowCommand)
{
    struct Case {
        std::optional<int> showMode;
        int showCommand;
    };
    const Case cases[] = {{std::nullopt, SW_SHOWNORMAL}, {0, SW_HIDE},          {1, SW_HIDE},
                          {2, SW_SHOWNORMAL},            {3, SW_SHOWMINIMIZED}, {4, SW_SHOWMAXIMIZED},
                          {5, SW_SHOWNOACTIVATE},        {6, SW_MINIMIZE},      {9, SW_MINIMIZE}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string commandLine = child("live=100 case=" + std::to_string(i));
        ASSERT_TRUE(cases[i].showMode ? startProgram(commandLine, false, *cases[i].showMode) : startProgram(commandLine));
    }
    waitForChildrenToEnd(std::size(cases));

    const ChildRecords records = readChildRecords(record);
    ASSERT_EQ(records.starts.size(), std::size(cases));
    for (const ChildStart& start : records.starts) {
        const std::size_t i = std::stoul(start.commandLine.substr(start.commandLine.find("case=") + 5));
        EXPECT_EQ(start.showWindow, cases[i].showCommand) << "show mode case " << i;
        EXPECT_EQ(start.flags & STARTF_USESHOWWINDOW, static_cast<unsigned long>(STARTF_USESHOWWINDOW));
    }
}

TEST_F(StartProgramTest, CommandLineReachesTheChildUnchanged)
{
    const std::string commandLine = child("live=100 tag=\"two words\"  two-blanks \\back\\slash");
    ASSERT_TRUE(startProgram(commandLine));
    waitForChildrenToEnd(1);
    const ChildRecords records = readChildRecords(record);
    ASSERT_EQ(records.starts.size(), 1u);
    EXPECT_EQ(records.starts[0].commandLine, commandLine);
}

TEST_F(StartProgramTest, UnquotedProgramPathWithBlanksIsLeftToThePlatformsRule)
{
    const std::string blankFolder = folder.ansiPath("with blanks");
    std::filesystem::create_directory(blankFolder);
    const std::string program = blankFolder + "\\child_gui.exe";
    std::filesystem::copy_file(childProgram(), program);
    const std::string arguments = " record=" + record + " live=100";

    ASSERT_TRUE(startProgram(program + arguments));
    waitForChildrenToEnd(1);
    const ChildRecords records = readChildRecords(record);
    ASSERT_EQ(records.starts.size(), 1u);
    // Windows hands the child its command line unchanged; Wine puts quotes around such a program path.
    const std::string& received = records.starts[0].commandLine;
    EXPECT_TRUE(received == program + arguments || received == quoted(program) + arguments) << received;
}

TEST_F(StartProgramTest, TheChildStartsInTheLaunchersCurrentDirectoryNotItsOwnFolder)
{
    const std::string launcherFolder = folder.ansiPath("launcher");
    const std::string programFolder = folder.ansiPath("programs");
    std::filesystem::create_directory(launcherFolder);
    std::filesystem::create_directory(programFolder);
    std::filesystem::copy_file(childProgram(), programFolder + "\\child_gui.exe");
    {
        const CurrentDirectoryGuard inLauncherFolder(launcherFolder);
        ASSERT_TRUE(startProgram(quoted(programFolder + "\\child_gui.exe") + " record=" + record + " live=100"));
    }
    waitForChildrenToEnd(1);
    const ChildRecords records = readChildRecords(record);
    ASSERT_EQ(records.starts.size(), 1u);
    EXPECT_EQ(::lstrcmpiA(records.starts[0].directory.c_str(), launcherFolder.c_str()), 0)
        << records.starts[0].directory;
}

TEST_F(StartProgramTest, WaitForExitReturnsOnlyOnceTheChildHasEnded)
{
    const ULONGLONG before = ::GetTickCount64();
    ASSERT_TRUE(startProgram(child("live=1500"), true));
    EXPECT_GE(::GetTickCount64() - before, 1400u);
    EXPECT_EQ(readChildRecords(record).ends, 1);
}

TEST_F(StartProgramTest, WithoutWaitForExitTheStartWaitsAtMostASecondForReadiness)
{
    struct Case {
        const char* options;
        bool gui;
        ULONGLONG atLeastMs;
        ULONGLONG belowMs;
    };
    const Case cases[] = {
        {"live=300", false, 0, 900},                 // a console program has no input to become ready for
        {"idle-after=300 live=500", true, 300, 2500}, // ready after 300 ms: the start waits for that
        {"never-idle live=2500", true, 900, 2500},   // never ready: the start gives up after a second
    };
    for (const Case& c : cases) {
        const ULONGLONG before = ::GetTickCount64();
        EXPECT_TRUE(startProgram(child(c.options, c.gui)));
        const ULONGLONG elapsed = ::GetTickCount64() - before;
        EXPECT_GE(elapsed, c.atLeastMs) << c.options;
        EXPECT_LT(elapsed, c.belowMs) << c.options;
    }
    waitForChildrenToEnd(std::size(cases));
}

} // namespace
} // namespace quorvane
