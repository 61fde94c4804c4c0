// How a dropped file list becomes the target text: the command line shown in the path box and stored.
#include "intake/target_text.h"

#include "intake/find_text.h"

namespace quorvane {

namespace {

constexpr std::string_view shortcutMarker = "lnk";
constexpr std::string_view shortcutSuffix = ".lnk";

} // namespace

std::string_view firstDroppedPath(std::string_view droppedPaths)
{
    // No path holds a line break, and in GBK neither CR nor LF is ever the second byte of a character.
    return droppedPaths.substr(0, droppedPaths.find_first_of("\r\n"));
}

bool mayBeShortcut(std::string_view path)
{
    return findText(path, shortcutMarker, true) != -1;
}

bool hasShortcutSuffix(std::string_view path)
{
    // '.' is never the second byte of a GBK character, so the last four bytes are the suffix when they match.
    return path.size() >= shortcutSuffix.size() &&
           findText(path.substr(path.size() - shortcutSuffix.size()), shortcutSuffix, true) == 1;
}

std::string shortcutFileToOpen(std::string_view path)
{
    std::string file(path);
    if (findText(path, shortcutSuffix, true) == -1) file += shortcutSuffix;
    return file;
}

std::string commandLineOf(std::string_view programPath, std::string_view arguments)
{
    if (programPath.empty()) return {};
    std::string commandLine;
    if (programPath.find(' ') != std::string_view::npos) {
        commandLine.append(1, '"').append(programPath).append(1, '"');
    } else {
        commandLine.append(programPath);
    }
    if (!arguments.empty()) commandLine.append(1, ' ').append(arguments);
    return commandLine;
}

std::string targetTextForDrop(std::string_view droppedPaths,
                              const std::function<std::string(const std::string&)>& resolveShortcut)
{
    const std::string path(firstDroppedPath(droppedPaths));
    if (mayBeShortcut(path)) {
        std::string resolved = resolveShortcut(path);
        if (!resolved.empty() || hasShortcutSuffix(path)) return resolved;
    }
    return commandLineOf(path);
}

} // namespace quorvane
