// Files that the intake's tests work on: a temporary folder of the test's own, and real shortcut files.
#pragma once

#include <windows.h>

#include <string>

#include "ansi_text.h"

namespace quorvane::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const noexcept { return path_; }
    // The path of a name inside the folder, in the ANSI code page (the folder itself is ASCII).
    std::string ansiPath(const std::string& name) const;
    std::wstring widePath(const std::wstring& name) const;

    // Creates the file (empty unless given content) and any folders on the way to it.
    static bool createFile(const std::wstring& path, const std::string& content = {});

private:
    std::wstring path_;
};

// Writes a shortcut file with the shell-link object (IShellLinkA), as the shell does when the user makes one.
// Needs COM initialised on the calling thread; S_OK when the file is written.
HRESULT writeShortcut(const std::string& shortcutPath, const std::string& targetPath,
                      const std::string& arguments = {});

} // namespace quorvane::testing
