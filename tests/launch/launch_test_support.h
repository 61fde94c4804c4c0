// What the launcher's tests and benchmark observe from outside: this process's handles and threads, the
// records of the child program, and waiting for a state with a deadline.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
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

// Round trips to a window, sampled every 5 ms from a thread of its own until stop: a sent WM_NULL, and a
// repaint after the window was invalidated. Under Wine a thread inside an input-idle wait still answers sent
// messages, so only the repaint, which needs the window's message loop, shows a window thread that waits.
// Each wait gives up after timeoutMs; the samples are in ms and may be read once stop has returned.
class ResponsivenessSampler {
public:
    ResponsivenessSampler(HWND window, DWORD timeoutMs);
    ~ResponsivenessSampler();
    ResponsivenessSampler(const ResponsivenessSampler&) = delete;
    ResponsivenessSampler& operator=(const ResponsivenessSampler&) = delete;
    void stop();

    std::vector<double> answers;
    std::vector<double> repaints;
    int unanswered = 0;

private:
    void run();

    const HWND window_;
    const DWORD timeoutMs_;
    std::atomic<bool> sampling_{true};
    std::thread thread_;
};

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
