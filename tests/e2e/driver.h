// Drives the real quorvane.exe as a user does: starts it, finds its window, reads its controls, types and clicks.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/handles.h"

namespace quorvane::e2e {

using namespace std::chrono_literals;

// Long enough for a loaded machine; only a failing wait lasts this long.
constexpr std::chrono::milliseconds defaultTimeout = 10s;

// Polls until the predicate holds or the time is up; true when it held.
template <class Predicate>
bool waitUntil(Predicate holds, std::chrono::milliseconds timeout = defaultTimeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (holds()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(15ms);
    }
}

// Polls read() until it gives the expected value or the time is up. Returns the last value read, so that
// a failing comparison shows what was there instead.
template <class Read, class T>
auto waitForValue(Read read, const T& expected, std::chrono::milliseconds timeout = defaultTimeout)
{
    auto value = read();
    waitUntil([&] { return (value = read()) == expected; }, timeout);
    return value;
}

bool runningUnderWine();

// The folder of the running test program; the build puts quorvane.exe into the same one.
std::wstring folderOfThisProgram();

// The settings file that quorvane.exe reads and writes, with the section of its two values.
constexpr const char* settingsFilePath = "C:\\Program Files\\Quorvane.ini";
constexpr const char* settingsSection = "基本信息";

void removeSettingsFile();
// Writes the bytes as they are (GBK text, CRLF lines).
bool writeSettingsFile(const std::string& contents);
// The file's bytes; nullopt when there is no file.
std::optional<std::string> settingsFileContents();
// A value of the settings section as the platform's INI reader sees it; nullopt when the key is missing.
std::optional<std::string> storedSetting(const std::string& key);

// What a user (and a test) can see of one control.
struct ControlInfo {
    HWND handle = nullptr;
    std::string windowClass;
    RECT rect{}; // relative to the parent's client area
    std::string text;
    bool visible = false;
    bool enabled = false;
    LONG_PTR style = 0;
    LONG_PTR extendedStyle = 0;
};

// Another process's window, read from outside. Texts go through WM_GETTEXT, which crosses processes.
std::string windowText(HWND window);
std::string windowClassName(HWND window);
RECT windowRect(HWND window); // screen coordinates
// The child windows in stacking order, the topmost first.
std::vector<ControlInfo> childControls(HWND parent);

// One run of quorvane.exe. The process is ended on destruction if it is still running.
class QuorvaneProcess {
public:
    static constexpr const char* windowClass = "QuorvaneMainWindow";
    static constexpr const char* windowTitle = "Quorvane";

    QuorvaneProcess();
    QuorvaneProcess(const QuorvaneProcess&) = delete;
    QuorvaneProcess& operator=(const QuorvaneProcess&) = delete;
    ~QuorvaneProcess();

    bool started() const noexcept { return static_cast<bool>(process_); }
    DWORD lastStartError() const noexcept { return startError_; }
    bool running() const;

    // The program's visible main window, once it is there; nullptr when it does not appear in time.
    HWND waitForMainWindow(std::chrono::milliseconds timeout = defaultTimeout);
    HWND mainWindow() const noexcept { return mainWindow_; }
    // Whether the main window still exists and is shown.
    bool windowShown() const;
    // The control of the program's window thread that has the keyboard focus (GetGUIThreadInfo).
    HWND focusedWindow() const;
    // The exit code once the process has ended; nullopt when it is still running at the deadline.
    std::optional<DWORD> waitForExit(std::chrono::milliseconds timeout = defaultTimeout);

private:
    UniqueHandle process_;
    DWORD processId_ = 0;
    DWORD startError_ = 0;
    HWND mainWindow_ = nullptr;
};

// Input as a user gives it. Key chords use X keysym names joined with "+": "Tab", "shift+Tab", "ctrl+v",
// "Escape", "Return", "space", "F1". Under Wine, where SendInput's modifier keys are unreliable, the keys
// and the mouse go through xdotool into the X display; on Windows through SendInput. Each call returns once
// the input is handed over; its effect on the program arrives shortly after, so poll for it.
bool pressKeys(const std::string& chord);
// Types printable ASCII characters one by one.
bool typeText(const std::string& text);
// A left click at a point on the screen.
bool clickAt(POINT screenPoint);
// Under Wine only: runs xdotool with these arguments (no double quotes among them) to its end; true when
// it succeeds. For input that has no simpler form above, such as a drag with the button held.
bool runXdotool(const std::string& arguments);
// The middle of a window's title bar, where a click activates it and touches no control.
POINT titleBarPoint(HWND window);
// Puts text (CF_TEXT, in the ANSI code page) on the clipboard for a later paste.
bool putTextOnClipboard(const std::string& text);

// A plain window of the test's own, on its own thread, that a user can click to make it the active window.
class OtherWindow {
public:
    explicit OtherWindow(RECT screenRect);
    OtherWindow(const OtherWindow&) = delete;
    OtherWindow& operator=(const OtherWindow&) = delete;
    ~OtherWindow();

    HWND handle() const noexcept { return window_; }
    POINT centre() const;

private:
    void run(RECT screenRect);

    std::thread thread_;
    HWND window_ = nullptr;
    UniqueHandle ready_;
};

} // namespace quorvane::e2e
