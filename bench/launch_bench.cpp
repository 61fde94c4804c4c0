// Measures the launcher: how long a press takes to start its copies compared with simpler arrangements, how
// the real window answers while 64 copies start, and what the launcher keeps after 1000 starts.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window.h"
#include "launch/multi_launcher.h"
#include "launch/start_program.h"
#include "launch_test_support.h"
#include "platform/handles.h"
#include "settings/settings_file.h"

using namespace quorvane;
using namespace quorvane::test_support;

namespace {

constexpr int repeats = 5;
constexpr DWORD settleTimeoutMs = 300000;

double nowMs()
{
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct ChildKind {
    const char* name;
    bool gui;
    const char* options;
};

const ChildKind guiChild{"GUI, ready after 300 ms", true, "idle-after=300 live=400"};
const ChildKind consoleChild{"console", false, "live=0"};

std::string commandLineFor(const ChildKind& kind, const std::string& record)
{
    return quoted(childProgram(kind.gui)) + " record=" + record + " " + kind.options;
}

// Lets every copy of a measurement end before the next one starts.
void waitForChildren(const std::string& record, std::size_t copies)
{
    waitUntil(
        [&] {
            const ChildRecords records = readChildRecords(record);
            return records.starts.size() >= copies && static_cast<std::size_t>(records.ends) == records.starts.size();
        },
        settleTimeoutMs);
}

// The launcher's own starts, timed to the moment the last of them returns.
std::atomic<int> startsToGo{0};
HANDLE allStarted = nullptr;

bool timedStart(const std::string& commandLine, bool waitForExit, int showMode)
{
    const bool started = startProgram(commandLine, waitForExit, showMode);
    if (--startsToGo == 0) ::SetEvent(allStarted);
    return started;
}

double timeLauncher(int copies, const std::string& commandLine)
{
    startsToGo = copies;
    ::ResetEvent(allStarted);
    const double before = nowMs();
    MultiLauncher(&timedStart).launch(LaunchSettings{std::to_string(copies), commandLine});
    ::WaitForSingleObject(allStarted, INFINITE);
    return nowMs() - before;
}

// The floor: one bare CreateProcessA and WaitForInputIdle per thread, every copy on a thread of its own.
double timeBareThreads(int copies, const std::string& commandLine)
{
    const double before = nowMs();
    std::vector<std::thread> threads;
    for (int i = 0; i < copies; ++i)
        threads.emplace_back([&commandLine] {
            std::vector<char> line(commandLine.begin(), commandLine.end());
            line.push_back('\0');
            STARTUPINFOA startup{};
            startup.cb = sizeof startup;
            PROCESS_INFORMATION started{};
            if (::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &started)) {
                ::WaitForInputIdle(started.hProcess, 1000);
                ::CloseHandle(started.hThread);
                ::CloseHandle(started.hProcess);
            }
        });
    for (auto& thread : threads) thread.join();
    return nowMs() - before;
}

// One worker that starts every copy in a row.
double timeOneWorker(int copies, const std::string& commandLine)
{
    const double before = nowMs();
    std::thread worker([&] {
        for (int i = 0; i < copies; ++i) startProgram(commandLine);
    });
    worker.join();
    return nowMs() - before;
}

void measureStarts(const TempFolder& folder)
{
    std::printf("\n1. Press to all copies started (median of %d runs, ms)\n\n", repeats);
    std::printf("| child | N | launcher | floor: N bare threads | one worker in a row | launcher / floor | "
                "launcher / one worker |\n|---|---|---|---|---|---|---|\n");
    int run = 0;
    for (const ChildKind& kind : {guiChild, consoleChild}) {
        for (const int copies : {1, 8, 32}) {
            std::vector<double> launcher, floor, oneWorker;
            for (int r = 0; r < repeats; ++r) {
                using Measure = double (*)(int, const std::string&);
                const std::pair<Measure, std::vector<double>*> measures[] = {
                    {&timeLauncher, &launcher}, {&timeBareThreads, &floor}, {&timeOneWorker, &oneWorker}};
                for (const auto& [measure, results] : measures) {
                    const std::string record = folder.ansiPath("starts-" + std::to_string(run++) + ".txt");
                    results->push_back(measure(copies, commandLineFor(kind, record)));
                    waitForChildren(record, static_cast<std::size_t>(copies));
                }
            }
            const double l = median(launcher), f = median(floor), o = median(oneWorker);
            std::printf("| %s | %d | %.0f | %.0f | %.0f | %.2f | %.2f |\n", kind.name, copies, l, f, o, l / f, l / o);
            std::fflush(stdout);
        }
    }
}

// The settings file as it was, put back when the measurement ends.
class SettingsFileBackup {
public:
    SettingsFileBackup()
    {
        std::ifstream in(SettingsFile::fixedPath, std::ios::binary);
        if (in) saved_ = std::string(std::istreambuf_iterator<char>(in), {});
    }
    ~SettingsFileBackup()
    {
        if (saved_) std::ofstream(SettingsFile::fixedPath, std::ios::binary | std::ios::trunc) << *saved_;
        else ::DeleteFileA(SettingsFile::fixedPath);
    }

private:
    std::optional<std::string> saved_;
};

BOOL CALLBACK rememberButton(HWND child, LPARAM found)
{
    char name[32] = {};
    ::GetClassNameA(child, name, sizeof name);
    if (::lstrcmpiA(name, "Button") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
}

HWND findStartButton(HWND window)
{
    HWND button = nullptr;
    ::EnumChildWindows(window, &rememberButton, reinterpret_cast<LPARAM>(&button));
    return button;
}

std::string distribution(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    char text[96];
    std::snprintf(text, sizeof text, "%.1f / %.1f / %.1f", values[values.size() / 2],
                  values[values.size() * 99 / 100], values.back());
    return text;
}

void printWindowRow(const char* what, const ResponsivenessSampler& sampler, double elapsedMs)
{
    std::printf("| %s | %.0f ms | %zu | %s | %s |\n", what, elapsedMs, sampler.answers.size(),
                distribution(sampler.answers).c_str(), distribution(sampler.repaints).c_str());
    std::fflush(stdout);
}

void measureWindow(const TempFolder& folder)
{
    constexpr int copies = 64;
    const std::string pressRecord = folder.ansiPath("window-press.txt");
    const SettingsFileBackup backup;
    std::ofstream(SettingsFile::fixedPath, std::ios::binary | std::ios::trunc)
        << "[基本信息]\r\n多开数量=" << copies << "\r\n文件路径=" << commandLineFor(guiChild, pressRecord) << "\r\n";

    std::string program = programFolder() + "\\quorvane.exe";
    std::string commandLine = quoted(program);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started)) {
        std::printf("\n2. quorvane.exe did not start (error %lu)\n", ::GetLastError());
        return;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    HWND window = nullptr;
    waitUntil([&] { return (window = ::FindWindowA(MainWindow::className, nullptr)) && ::IsWindowVisible(window); },
              30000);
    const HWND button = window ? findStartButton(window) : nullptr;
    if (!button) {
        std::printf("\n2. no window with a start button appeared\n");
        ::TerminateProcess(process.get(), 1);
        return;
    }
    ::WaitForInputIdle(process.get(), 5000);

    std::printf("\n2. The window of quorvane.exe, sampled every 5 ms from another process, while %d GUI copies "
                "(ready after 300 ms each) start\n\n",
                copies);
    std::printf("| while | for | samples | WM_NULL round trip, median / p99 / worst (ms) | "
                "repaint round trip, median / p99 / worst (ms) |\n|---|---|---|---|---|\n");
    {
        ResponsivenessSampler sampler(window, 5000);
        ::Sleep(2000);
        sampler.stop();
        printWindowRow("nothing runs (idle window)", sampler, 2000);
    }
    {
        const int threadsBefore = threadCount(started.dwProcessId);
        ResponsivenessSampler sampler(window, 5000);
        const double before = nowMs();
        ::PostMessageA(button, BM_CLICK, 0, 0);
        waitForLaunchToSettle(threadsBefore, pressRecord, copies, settleTimeoutMs, started.dwProcessId);
        const double elapsed = nowMs() - before;
        sampler.stop();
        printWindowRow("its own press starts them", sampler, elapsed);
    }
    {
        const std::string record = folder.ansiPath("window-elsewhere.txt");
        ResponsivenessSampler sampler(window, 5000);
        const int threadsBefore = threadCount(); // the sampler's thread included
        const double before = nowMs();
        MultiLauncher().launch(LaunchSettings{std::to_string(copies), commandLineFor(guiChild, record)});
        waitForLaunchToSettle(threadsBefore, record, copies, settleTimeoutMs);
        const double elapsed = nowMs() - before;
        sampler.stop();
        printWindowRow("another process starts them", sampler, elapsed);
    }
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    ::WaitForSingleObject(process.get(), 10000);
}

void measureWhatIsKept(const TempFolder& folder, const ChildKind& kind, int copies)
{
    const std::string record = folder.ansiPath(std::string("kept-") + (kind.gui ? "gui" : "console") + ".txt");
    const std::string commandLine = commandLineFor(kind, record);
    MultiLauncher launcher;
    // One launch first, so that what the platform sets up once for the process counts as before.
    int threadsBefore = threadCount();
    launcher.launch(LaunchSettings{"1", commandLine});
    waitForLaunchToSettle(threadsBefore, record, 1, settleTimeoutMs);

    threadsBefore = threadCount();
    const int handlesBefore = openHandleCount();
    const double before = nowMs();
    launcher.launch(LaunchSettings{std::to_string(copies), commandLine});
    waitForLaunchToSettle(threadsBefore, record, static_cast<std::size_t>(copies + 1), settleTimeoutMs);
    const double elapsed = nowMs() - before;
    std::printf("| %s | %zu | %.1f s | %d -> %d | %d -> %d |\n", kind.name, readChildRecords(record).starts.size() - 1,
                elapsed / 1000.0, handlesBefore, openHandleCount(), threadsBefore, threadCount());
    std::fflush(stdout);
}

// What Wine's WaitForInputIdle alone keeps: ten waits on one GUI child, no launcher involved.
int handlesKeptByInputIdleWaits(const TempFolder& folder)
{
    std::string commandLine = quoted(childProgram()) + " record=" + folder.ansiPath("idle-waits.txt") + " live=10000";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &started))
        return -1;
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    ::WaitForInputIdle(process.get(), 1000);
    const int before = openHandleCount();
    for (int i = 0; i < 10; ++i) ::WaitForInputIdle(process.get(), 1000);
    return openHandleCount() - before;
}

} // namespace

// With no arguments every measurement runs; otherwise only the ones named: starts, window, kept.
int main(int argc, char** argv)
{
    const auto wanted = [&](const char* part) {
        return argc < 2 || std::any_of(argv + 1, argv + argc, [&](const char* arg) { return std::strcmp(arg, part) == 0; });
    };
    const TempFolder folder;
    allStarted = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::printf("launch_bench: %u processors\n", std::thread::hardware_concurrency());

    if (wanted("starts")) measureStarts(folder);
    if (wanted("window")) measureWindow(folder);
    if (wanted("kept")) {
        std::printf("\n3. The launcher's handles and threads around 1000 starts\n\n");
        std::printf("| child | copies started | time | handles before -> after | threads before -> after |\n"
                    "|---|---|---|---|---|\n");
        measureWhatIsKept(folder, consoleChild, 1000);
        measureWhatIsKept(folder, guiChild, 1000);
        std::printf("\nHandles that 10 WaitForInputIdle calls on one GUI child keep, without the launcher: %d\n",
                    handlesKeptByInputIdleWaits(folder));
    }
    ::CloseHandle(allStarted);
    return 0;
}
