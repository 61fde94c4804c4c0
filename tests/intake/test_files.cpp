// Real shortcut files for the intake's tests, written as the shell writes them.
#include "test_files.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "platform/com.h"

namespace quorvane::testing {

HRESULT writeShortcut(const std::string& shortcutPath, const std::string& targetPath, const std::string& arguments)
{
    ComPtr<IShellLinkA> link;
    HRESULT result =
        ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid());
    if (SUCCEEDED(result)) result = link->SetPath(targetPath.c_str());
    if (SUCCEEDED(result) && !arguments.empty()) result = link->SetArguments(arguments.c_str());
    if (FAILED(result)) return result;
    const ComPtr<IPersistFile> persist = link.as<IPersistFile>(IID_IPersistFile);
    return persist ? persist->Save(toWide(shortcutPath).c_str(), TRUE) : E_NOINTERFACE;
}

} // namespace quorvane::testing
