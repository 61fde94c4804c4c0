// Real shortcut files for the intake's tests, written as the shell writes them.
#pragma once

#include <windows.h>

#include <string>

#include "ansi_text.h"
#include "temp_folder.h"

namespace quorvane::testing {


// Writes a shortcut file with the shell-link object (IShellLinkA), as the shell does when the user makes one.
// Needs COM initialised on the calling thread; S_OK when the file is written.
HRESULT writeShortcut(const std::string& shortcutPath, const std::string& targetPath,
                      const std::string& arguments = {});

} // namespace quorvane::testing
