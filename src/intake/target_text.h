// How a dropped file list becomes the target text: the command line shown in the path box and stored.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorvane {

// The first path of the dropped-paths text (each path there ends with CR LF when several were dropped).
std::string_view firstDroppedPath(std::string_view droppedPaths);

// The shortcut test of a dropped path: the letters lnk anywhere, in any letter case.
bool mayBeShortcut(std::string_view path);

// Whether the path names a shortcut file: it ends in .lnk, in any letter case.
bool hasShortcutSuffix(std::string_view path);

// The file that resolution opens: the path itself when it holds ".lnk" (any case), else the path with ".lnk".
std::string shortcutFileToOpen(std::string_view path);

// A command line that starts the program: the path, in double quotes when it holds a blank so that the
// program name cannot be taken to end at that blank, then one space and the arguments when there are any.
// Empty when there is no program path.
std::string commandLineOf(std::string_view programPath, std::string_view arguments = {});

// The target text for a drop, or empty text when the drop yields no program (the current target then
// stays). Only the first dropped path counts. A path that may be a shortcut is resolved; when that gives
// nothing, a path that does not end in .lnk is taken as dropped, since it only happens to hold the letters.
std::string targetTextForDrop(std::string_view droppedPaths,
                              const std::function<std::string(const std::string&)>& resolveShortcut);

} // namespace quorvane
