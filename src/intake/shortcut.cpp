// Reading a Windows shortcut file as the command line that it stands for.
#include "intake/shortcut.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "intake/target_text.h"
#include "platform/com.h"

namespace quorvane {

namespace {

constexpr int shortcutNameUnits = 260;
constexpr int shortcutTextBytes = 1024;

} // namespace

std::string resolveShortcut(const std::string& path)
{
    const std::string file = shortcutFileToOpen(path);

    ComPtr<IShellLinkA> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  link.putVoid()))) {
        return {};
    }
    const ComPtr<IPersistFile> persist = link.as<IPersistFile>(IID_IPersistFile);
    if (!persist) return {};

    wchar_t wideName[shortcutNameUnits] = {};
    if (::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, file.c_str(), -1, wideName, shortcutNameUnits) == 0) {
        return {};
    }
    if (FAILED(persist->Load(wideName, STGM_READ))) return {};

    // The answers of GetPath and GetArguments are not needed: a buffer left empty says the same.
    char targetPath[shortcutTextBytes] = {};
    link->GetPath(targetPath, shortcutTextBytes, nullptr, SLGP_UNCPRIORITY);
    targetPath[shortcutTextBytes - 1] = '\0';
    char arguments[shortcutTextBytes] = {};
    link->GetArguments(arguments, shortcutTextBytes);
    arguments[shortcutTextBytes - 1] = '\0';

    return commandLineOf(targetPath, arguments);
}

} // namespace quorvane
