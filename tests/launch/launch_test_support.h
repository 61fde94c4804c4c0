// What the launcher's tests and benchmark observe from outside: this process's handles and threads, the
// records of the child program, and waiting for a state with a deadline.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace quorvane::test_support {

// Open handles of this process, found by probing handle values (GetProcessHandleCount reports 0 under Wine).
int openHandleCount();
// Threads of a process, this one unless another is named.
int threadCount(DWORD processId = ::GetCurrentProcessId());

// The folder of this program's file, without a trailing backslash.
std::string programFolder();
// The child fixture next to this program: child_gui.exe or child_console.exe.
std::string childProgram(bool gui = true);
std::string quoted(const std::string& text);

// One "start" record of the child program.
struct ChildStart {
    unsigned long pid = 0;
    int showWindow = -1;
    unsigned long flags = 0;
    std::string directory;
    std::string commandLine;
};

struct ChildRecords {
    std::vector<ChildStart> starts;
    int ends = 0;
};

// The records in file; none when it does not exist.
ChildRecords readChildRecords(const std::string& file);

// Polls condition every few milliseconds until it holds (true) or timeoutMs have passed (false).
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A launch has settled when its workers are done (the launcher's thread count is back to the one before the
// press), at least `expected` copies were started, and every started copy has recorded its start and its end.
bool waitForLaunchToSettle(int threadsBefore, const std::string& recordFile, std::size_t expected,
                           DWORD timeoutMs, DWORD launcherProcessId = ::GetCurrentProcessId());

using testing::TempFolder;

// Makes directory the current one for as long as it lives, then restores the one it found.
class CurrentDirectoryGuard {
public:
    explicit CurrentDirectoryGuard(const std::string& directory);
    ~CurrentDirectoryGuard();
    CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
    CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

private:
    std::string previous_;
};

} // namespace quorvane::test_support
