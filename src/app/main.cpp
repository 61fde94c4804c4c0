// Start-up and shutdown of quorvane.exe: OLE, the program's folder made current, the window and its event loop.
#include <windows.h>

#include "app/main_window.h"
#include "app/module_folder.h"
#include "platform/com.h"
#include "platform/module_path.h"
#include "settings/settings_file.h"

namespace {

// The started copies inherit the current directory, so it is the folder of this program, wherever it was
// started from. A path without a backslash leaves the current directory as it is.
void makeProgramFolderCurrent()
{
    const std::string folder = quorvane::folderOfPath(quorvane::platform::currentProgramPath());
    ::SetCurrentDirectoryA(folder.c_str());
}

int runEventLoop(quorvane::MainWindow& window)
{
    MSG message{};
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (window.handleKey(message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    const quorvane::OleSession ole; // drops are refused if this fails; nothing to report
    makeProgramFolderCurrent();

    const quorvane::SettingsFile settings;
    quorvane::MainWindow window(instance, settings);
    if (!window.create()) {
        ::MessageBoxA(nullptr, "程序窗口无法创建。", "错误", MB_OK | MB_ICONERROR);
        return -1;
    }
    window.onCreated();
    window.show();
    return runEventLoop(window);
}
