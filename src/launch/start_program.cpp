// Starting one copy of the program: one process start with the launcher's environment and current directory.
#include "launch/start_program.h"

#include <windows.h>

#include <vector>

#include "platform/handles.h"

namespace quorvane {

static_assert(SW_HIDE == 0 && SW_SHOWNORMAL == 1 && SW_SHOWMINIMIZED == 2 && SW_SHOWMAXIMIZED == 3 &&
                  SW_SHOWNOACTIVATE == 4 && SW_MINIMIZE == 6,
              "showWindowCommand hands out these show commands");

namespace {

constexpr DWORD inputIdleTimeoutMs = 1000;

} // namespace

bool startProgram(const std::string& commandLine, bool waitForExit, int showMode)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(showWindowCommand(settleShowMode(showMode)));

    // CreateProcessA may write into the command line, and must never get a null one (Wine crashes on it):
    // a writable, zero-terminated copy, a lone zero byte for an empty text.
    std::vector<char> writableCommandLine(commandLine.begin(), commandLine.end());
    writableCommandLine.push_back('\0');

    PROCESS_INFORMATION started{};
    if (!::CreateProcessA(nullptr, writableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started))
        return false;
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread); // declared last, so closed before the process's handle

    if (waitForExit)
        ::WaitForSingleObject(process.get(), INFINITE);
    else
        ::WaitForInputIdle(process.get(), inputIdleTimeoutMs);
    return true;
}

} // namespace quorvane
