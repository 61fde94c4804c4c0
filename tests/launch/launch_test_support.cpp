// What the launcher's tests and benchmark observe from outside: this process's handles and threads, the
// records of the child program, and waiting for a state with a deadline.
#include "launch_test_support.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace quorvane::test_support {

int openHandleCount()
{
    // Handle values are multiples of 4 and handed out lowest first, so a small process's stay well below this.
    constexpr ULONG_PTR highestProbed = 0x4000;
    int count = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value <= highestProbed; value += 4)
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    return count;
}

int threadCount(DWORD processId)
{
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    int count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more; more = ::Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == processId) ++count;
    ::CloseHandle(snapshot);
    return count;
}

std::string programFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string childProgram(bool gui)
{
    return programFolder() + (gui ? "\\child_gui.exe" : "\\child_console.exe");
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

namespace {

std::vector<std::string> splitTabs(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(line.substr(from, tab - from));
    fields.push_back(line.substr(from));
    return fields;
}

} // namespace

ChildRecords readChildRecords(const std::string& file)
{
    ChildRecords records;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = splitTabs(line);
        if (fields[0] == "end") {
            ++records.ends;
        } else if (fields[0] == "start" && fields.size() == 6) {
            records.starts.push_back(ChildStart{std::strtoul(fields[1].c_str(), nullptr, 10),
                                                std::atoi(fields[2].c_str()),
                                                std::strtoul(fields[3].c_str(), nullptr, 10), fields[4], fields[5]});
        }
    }
    return records;
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
}

bool waitForLaunchToSettle(int threadsBefore, const std::string& recordFile, std::size_t expected, DWORD timeoutMs,
                           DWORD launcherProcessId)
{
    return waitUntil(
        [&] {
            if (threadCount(launcherProcessId) > threadsBefore) return false;
            const ChildRecords records = readChildRecords(recordFile);
            return records.starts.size() >= expected && static_cast<std::size_t>(records.ends) == records.starts.size();
        },
        timeoutMs);
}

ResponsivenessSampler::ResponsivenessSampler(HWND window, DWORD timeoutMs)
    : window_(window), timeoutMs_(timeoutMs), thread_([this] { run(); })
{
}

ResponsivenessSampler::~ResponsivenessSampler()
{
    stop();
}

void ResponsivenessSampler::stop()
{
    sampling_ = false;
    if (thread_.joinable()) thread_.join();
}

void ResponsivenessSampler::run()
{
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    const auto nowMs = [&] {
        LARGE_INTEGER now{};
        ::QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
    };
    while (sampling_) {
        double before = nowMs();
        DWORD_PTR result = 0;
        if (!::SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs_, &result)) ++unanswered;
        answers.push_back(nowMs() - before);

        before = nowMs();
        ::InvalidateRect(window_, nullptr, FALSE);
        while (::GetUpdateRect(window_, nullptr, FALSE) && nowMs() - before < timeoutMs_) ::Sleep(0);
        repaints.push_back(nowMs() - before);
        ::Sleep(5);
    }
}

CurrentDirectoryGuard::CurrentDirectoryGuard(const std::string& directory)
{
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    previous_ = previous;
    ::SetCurrentDirectoryA(directory.c_str());
}

CurrentDirectoryGuard::~CurrentDirectoryGuard()
{
    ::SetCurrentDirectoryA(previous_.c_str());
}

} // namespace quorvane::test_support
