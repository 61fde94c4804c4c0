// Drives the real quorvane.exe as a user does: starts it, finds its window, reads its controls, types and clicks.
#include "driver.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>

namespace quorvane::e2e {

namespace {

using UniqueGlobal = Unique<HGLOBAL, &::GlobalFree>;

constexpr UINT crossProcessTimeoutMs = 2000;
constexpr DWORD terminateTimeoutMs = 10000;

struct ClipboardSession {
    explicit ClipboardSession(HWND owner) : open(::OpenClipboard(owner) != FALSE) {}
    ~ClipboardSession()
    {
        if (open) ::CloseClipboard();
    }
    bool open;
};

std::wstring wide(const std::string& utf8)
{
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.data(), length);
    text.resize(static_cast<std::size_t>(length) - 1);
    return text;
}

std::wstring settingsFileWidePath()
{
    return wide(settingsFilePath); // plain ASCII
}

// An empty handle when the file cannot be opened (CreateFile's INVALID_HANDLE_VALUE is not kept).
UniqueHandle openFile(const wchar_t* path, DWORD access, DWORD disposition)
{
    HANDLE file = ::CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

std::string readWholeFile(HANDLE file)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return {};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

// The Unix path of a Windows file name, through Wine's own kernel32 export.
std::string unixPathOf(const std::wstring& windowsPath)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unixPath = convert ? convert(windowsPath.c_str()) : nullptr;
    if (!unixPath) return {};
    std::string path(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return path;
}

// Runs a Linux program under Wine to its end; true when it exits with 0. Wine starts a Linux program from
// CreateProcess by its Unix path, but hands back no handle to wait on and no exit code: a shell runs it and
// writes its exit status into a file that is polled for.
bool runLinuxProgram(const std::string& commandLine)
{
    wchar_t folder[MAX_PATH] = {};
    wchar_t statusFile[MAX_PATH] = {};
    if (!::GetTempPathW(MAX_PATH, folder) || !::GetTempFileNameW(folder, L"qv", 0, statusFile)) return false;
    const std::string statusPath = unixPathOf(statusFile);
    std::wstring shellCommand =
        L"/bin/sh -c \"" + wide(commandLine) + L"; echo $? >'" + wide(statusPath) + L"'\"";

    std::optional<std::string> status;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{}; // its handles are not valid handles for a Linux program
    if (!statusPath.empty() && ::CreateProcessW(nullptr, shellCommand.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                                nullptr, &startup, &started)) {
        waitUntil([&] {
            const UniqueHandle file(openFile(statusFile, GENERIC_READ, OPEN_EXISTING));
            std::string written = file ? readWholeFile(file.get()) : std::string();
            if (written.find('\n') != std::string::npos) status = written.substr(0, written.find('\n'));
            return status.has_value();
        });
    }
    ::DeleteFileW(statusFile);
    return status == "0";
}

// The X keysym names that xdotool takes for the printable characters a test types.
std::string keysymOf(char character)
{
    if (std::isalnum(static_cast<unsigned char>(character))) return std::string(1, character);
    switch (character) {
    case ' ': return "space";
    case '-': return "minus";
    case '.': return "period";
    case ',': return "comma";
    case '+': return "plus";
    case '/': return "slash";
    case '\\': return "backslash";
    case ':': return "colon";
    default: return {};
    }
}

WORD virtualKeyOf(const std::string& keysym)
{
    struct Named {
        const char* keysym;
        WORD virtualKey;
    };
    static const Named named[] = {
        {"shift", VK_SHIFT},    {"ctrl", VK_CONTROL},     {"alt", VK_MENU},      {"Tab", VK_TAB},
        {"Return", VK_RETURN},  {"Escape", VK_ESCAPE},    {"space", VK_SPACE},   {"BackSpace", VK_BACK},
        {"Delete", VK_DELETE},  {"Home", VK_HOME},        {"End", VK_END},       {"Left", VK_LEFT},
        {"Right", VK_RIGHT},    {"F1", VK_F1},            {"F4", VK_F4},         {"minus", VK_OEM_MINUS},
        {"period", VK_OEM_PERIOD},
    };
    for (const Named& each : named)
        if (keysym == each.keysym) return each.virtualKey;
    if (keysym.size() == 1 && std::isalnum(static_cast<unsigned char>(keysym[0])))
        return static_cast<WORD>(std::toupper(static_cast<unsigned char>(keysym[0])));
    return 0;
}

INPUT keyInput(WORD virtualKey, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool sendInputs(std::vector<INPUT>& inputs)
{
    return ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

struct MainWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findShownMainWindow(HWND window, LPARAM searchAddress)
{
    auto& search = *reinterpret_cast<MainWindowSearch*>(searchAddress);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !::IsWindowVisible(window)) return TRUE;
    char title[64] = {};
    ::GetWindowTextA(window, title, static_cast<int>(sizeof title));
    if (windowClassName(window) != QuorvaneProcess::windowClass ||
        std::strcmp(title, QuorvaneProcess::windowTitle) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

LRESULT CALLBACK otherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

bool runningUnderWine()
{
    HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version");
}

std::wstring folderOfThisProgram()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const auto lastBackslash = path.rfind(L'\\');
    return lastBackslash == std::wstring::npos ? std::wstring() : path.substr(0, lastBackslash);
}

void removeSettingsFile()
{
    ::DeleteFileA(settingsFilePath);
}

bool writeSettingsFile(const std::string& contents)
{
    const UniqueHandle file = openFile(settingsFileWidePath().c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
           written == contents.size();
}

std::optional<std::string> settingsFileContents()
{
    const UniqueHandle file = openFile(settingsFileWidePath().c_str(), GENERIC_READ, OPEN_EXISTING);
    if (!file) return std::nullopt;
    return readWholeFile(file.get());
}

std::optional<std::string> storedSetting(const std::string& key)
{
    // The section's key names first, so that a missing key and an empty value can be told apart.
    std::vector<char> buffer(32768, '\0');
    const DWORD listed = ::GetPrivateProfileStringA(settingsSection, nullptr, "", buffer.data(),
                                                    static_cast<DWORD>(buffer.size()), settingsFilePath);
    bool present = false;
    for (const char* name = buffer.data(); name < buffer.data() + listed && *name; name += std::strlen(name) + 1)
        present = present || key == name;
    if (!present) return std::nullopt;

    std::fill(buffer.begin(), buffer.end(), '\0');
    ::GetPrivateProfileStringA(settingsSection, key.c_str(), "", buffer.data(), static_cast<DWORD>(buffer.size()),
                               settingsFilePath);
    return std::string(buffer.data());
}

std::string windowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, crossProcessTimeoutMs, &length))
        return {};
    std::vector<char> buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                               SMTO_ABORTIFHUNG, crossProcessTimeoutMs, &copied))
        return {};
    return std::string(buffer.data(), std::min<std::size_t>(copied, buffer.size() - 1));
}

std::string windowClassName(HWND window)
{
    char name[256] = {};
    const int length = ::GetClassNameA(window, name, static_cast<int>(sizeof name));
    return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

RECT windowRect(HWND window)
{
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

std::vector<ControlInfo> childControls(HWND parent)
{
    std::vector<ControlInfo> controls;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        ControlInfo info;
        info.handle = child;
        info.windowClass = windowClassName(child);
        info.rect = windowRect(child);
        ::MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&info.rect), 2);
        info.text = windowText(child);
        info.visible = ::IsWindowVisible(child) != FALSE;
        info.enabled = ::IsWindowEnabled(child) != FALSE;
        info.style = ::GetWindowLongPtrA(child, GWL_STYLE);
        info.extendedStyle = ::GetWindowLongPtrA(child, GWL_EXSTYLE);
        controls.push_back(std::move(info));
    }
    return controls;
}

QuorvaneProcess::QuorvaneProcess()
{
    const std::wstring program = folderOfThisProgram() + L"\\quorvane.exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        startError_ = ::GetLastError();
        return;
    }
    UniqueHandle thread(started.hThread);
    process_.reset(started.hProcess);
    processId_ = started.dwProcessId;
}

QuorvaneProcess::~QuorvaneProcess()
{
    if (running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), terminateTimeoutMs);
    }
}

bool QuorvaneProcess::running() const
{
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

HWND QuorvaneProcess::waitForMainWindow(std::chrono::milliseconds timeout)
{
    MainWindowSearch search{processId_, nullptr};
    waitUntil(
        [&] {
            ::EnumWindows(&findShownMainWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !running();
        },
        timeout);
    mainWindow_ = search.found;
    return mainWindow_;
}

bool QuorvaneProcess::windowShown() const
{
    return mainWindow_ && ::IsWindow(mainWindow_) && ::IsWindowVisible(mainWindow_);
}

HWND QuorvaneProcess::focusedWindow() const
{
    if (!mainWindow_ || !::IsWindow(mainWindow_)) return nullptr;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(mainWindow_, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::optional<DWORD> QuorvaneProcess::waitForExit(std::chrono::milliseconds timeout)
{
    if (!process_ || ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD exitCode = 0;
    if (!::GetExitCodeProcess(process_.get(), &exitCode)) return std::nullopt;
    return exitCode;
}

bool runXdotool(const std::string& arguments)
{
    return runLinuxProgram("/usr/bin/xdotool " + arguments);
}

bool pressKeys(const std::string& chord)
{
    if (runningUnderWine()) return runXdotool("key " + chord);

    std::vector<WORD> keys;
    for (std::size_t start = 0; start <= chord.size();) {
        const std::size_t plus = chord.find('+', start + 1); // a lone "+" is the key itself
        const std::string name = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        const WORD key = virtualKeyOf(name);
        if (!key) return false;
        keys.push_back(key);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(keyInput(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(keyInput(*key, true));
    return sendInputs(inputs);
}

bool typeText(const std::string& text)
{
    if (runningUnderWine()) {
        std::string keysyms;
        for (char character : text) {
            const std::string keysym = keysymOf(character);
            if (keysym.empty()) return false;
            keysyms += " " + keysym;
        }
        return runXdotool("key --delay 20" + keysyms);
    }

    std::vector<INPUT> inputs;
    for (char character : text) {
        for (bool up : {false, true}) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<unsigned char>(character);
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    return sendInputs(inputs);
}

bool clickAt(POINT screenPoint)
{
    // The Wine desktop lies at the origin of the X display, one pixel to one pixel.
    if (runningUnderWine())
        return runXdotool("mousemove " + std::to_string(screenPoint.x) + " " + std::to_string(screenPoint.y) +
                          " sleep 0.05 click 1");

    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs(3);
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = ::MulDiv(screenPoint.x, 65535, width - 1);
        input.mi.dy = ::MulDiv(screenPoint.y, 65535, height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    return sendInputs(inputs);
}

POINT titleBarPoint(HWND window)
{
    const RECT outer = windowRect(window);
    POINT clientOrigin{0, 0};
    ::ClientToScreen(window, &clientOrigin);
    // Halfway between the outer top and the client area is the title bar; its middle holds no button.
    return POINT{(outer.left + outer.right) / 2, (outer.top + clientOrigin.y) / 2};
}

bool putTextOnClipboard(const std::string& text)
{
    // SetClipboardData needs an owner window; a message-only one will do.
    UniqueWindow owner(::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr));
    if (!owner) return false;
    UniqueGlobal memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!memory) return false;
    void* bytes = ::GlobalLock(memory.get());
    if (!bytes) return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(memory.get());

    // Another program may hold the clipboard open for a moment.
    std::optional<ClipboardSession> session;
    waitUntil([&] {
        session.emplace(owner.get());
        return session->open;
    });
    if (!session->open || !::EmptyClipboard()) return false;
    if (!::SetClipboardData(CF_TEXT, memory.get())) return false;
    memory.release(); // the clipboard owns it now
    return true;
}

OtherWindow::OtherWindow(RECT screenRect) : ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    thread_ = std::thread([this, screenRect] { run(screenRect); });
    ::WaitForSingleObject(ready_.get(), INFINITE);
}

OtherWindow::~OtherWindow()
{
    if (window_) ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

POINT OtherWindow::centre() const
{
    const RECT rect = windowRect(window_);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

void OtherWindow::run(RECT screenRect)
{
    static const wchar_t className[] = L"QuorvaneE2eOtherWindow";
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &otherWindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = className;
    ::RegisterClassW(&windowClass); // fails harmlessly when an earlier OtherWindow registered it

    window_ = ::CreateWindowExW(0, className, L"Another program", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                                screenRect.bottom - screenRect.top, nullptr, nullptr, windowClass.hInstance,
                                nullptr);
    // Shown without taking the activation: the user's click is what makes it active.
    if (window_) ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    ::SetEvent(ready_.get());
    if (!window_) return;

    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

} // namespace quorvane::e2e
