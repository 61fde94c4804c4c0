// The program's only window: the path box, the count box, the start button and the usage note.
#include "app/main_window.h"

#include <vector>

#include "app/edit_box.h"
#include "app/input_rules.h"

namespace quorvane {

namespace {

constexpr int firstControlId = 100;
constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF red = RGB(255, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);

struct ControlLayout {
    const char* windowClass;
    const char* text;
    int left, top, width, height;
    DWORD style;
    DWORD extendedStyle;
};

constexpr DWORD labelStyle = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW;
constexpr DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD buttonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

// In layout order; rectangles in client coordinates.
const ControlLayout controlLayouts[] = {
    {"Static", "1.直接将需要多开的程序拖动到本程序界面上即可2.需要更换其他程序时，直接将程序拖动到本程序窗口上即可替换完成",
     3, 115, 310, 45, labelStyle, 0},
    {"Static", "使用方法：", 3, 89, 310, 24, labelStyle, 0},
    {"Static", "启动数量", 8, 53, 56, 32, labelStyle, 0},
    {"Static", "程序路径", 8, 16, 56, 32, labelStyle, 0},
    {"Edit", "", 64, 53, 176, 32, editStyle, WS_EX_CLIENTEDGE},
    {"Edit", "", 64, 16, 248, 32, editStyle | WS_DISABLED, WS_EX_CLIENTEDGE},
    {"Button", "启动", 246, 53, 64, 32, buttonStyle, 0},
};

std::string windowText(HWND window)
{
    const int length = ::GetWindowTextLengthA(window);
    if (length <= 0) return {};
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = ::GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

bool keyHeld(int virtualKey)
{
    return (::GetKeyState(virtualKey) & 0x8000) != 0;
}

HFONT guiFont()
{
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, const SettingsFile& settings)
    : instance_(instance),
      settings_(settings),
      dropIntake_(settings, [this](const std::string& path) { setProgramPathText(path); })
{
}

bool MainWindow::create()
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &MainWindow::windowProc;
    windowClass.hInstance = instance_;
    windowClass.hIcon = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(1), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(1), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = className;
    if (!::RegisterClassExA(&windowClass)) return false;

    // Centred on the whole primary screen; C++ division truncates toward zero, as the position rule wants.
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (!::CreateWindowExA(0, className, "Quorvane", style, left, top, outerWidth, outerHeight, nullptr, nullptr,
                           instance_, this))
        return false;

    RECT outer{};
    ::GetWindowRect(window_, &outer);
    if (outer.left != left || outer.top != top || outer.right - outer.left != outerWidth ||
        outer.bottom - outer.top != outerHeight)
        ::SetWindowPos(window_, nullptr, left, top, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);

    if (!createControls()) {
        ::DestroyWindow(window_);
        return false;
    }
    controlsReady_ = true;
    return true;
}

bool MainWindow::createControls()
{
    LOGFONTA usageNote{};
    usageNote.lfHeight = -14;
    usageNote.lfWeight = FW_NORMAL;
    usageNote.lfCharSet = DEFAULT_CHARSET;
    usageNoteFont_.reset(::CreateFontIndirectA(&usageNote));

    for (std::size_t i = 0; i < controlCount; ++i) {
        const ControlLayout& layout = controlLayouts[i];
        controls_[i] = ::CreateWindowExA(layout.extendedStyle, layout.windowClass, layout.text, layout.style,
                                         layout.left, layout.top, layout.width, layout.height, window_,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(firstControlId + i)),
                                         instance_, nullptr);
        if (!controls_[i]) return false;
        ::SendMessageA(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), FALSE);
        // Stacking follows layout order, the first control on top.
        ::SetWindowPos(controls_[i], i == 0 ? HWND_TOP : controls_[i - 1], 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (Control box : {编辑框_启动数量, 编辑框_文件路径}) {
        ::SendMessageA(control(box), EM_SETLIMITTEXT, 0, 0); // the largest the platform allows
        centreTextVertically(control(box));
    }
    filterCountCharacters(control(编辑框_启动数量));
    return true;
}

void MainWindow::show()
{
    if (::IsWindow(window_)) ::ShowWindow(window_, SW_SHOWNORMAL);
}

std::string MainWindow::launchCountText() const
{
    return windowText(control(编辑框_启动数量));
}

void MainWindow::setLaunchCountText(const std::string& text)
{
    ::SetWindowTextA(control(编辑框_启动数量), text.c_str());
}

std::string MainWindow::programPathText() const
{
    return windowText(control(编辑框_文件路径));
}

void MainWindow::setProgramPathText(const std::string& text)
{
    ::SetWindowTextA(control(编辑框_文件路径), text.c_str());
}

void MainWindow::onCreated()
{
    const LaunchSettings remembered = settings_.load();
    setLaunchCountText(remembered.countText);
    setProgramPathText(remembered.programPath);
    // Without a registration the window simply takes no drops; there is nothing to tell the user.
    dropIntake_.registerWindow(window_);
}

void MainWindow::onStartClicked()
{
    const LaunchSettings settings{launchCountText(), programPathText()};
    settings_.storeLaunchCount(settings.countText);
    launcher_.launch(settings);
}

bool MainWindow::handleKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || !window_) return false;
    if (message.hwnd != window_ && !::IsChild(window_, message.hwnd)) return false;
    switch (message.wParam) {
    case VK_TAB:
        if (keyHeld(VK_CONTROL) || keyHeld(VK_MENU)) return false;
        moveFocus(keyHeld(VK_SHIFT));
        return true;
    case VK_ESCAPE:
        ::SendMessageA(window_, WM_CLOSE, 0, 0);
        return true;
    case VK_RETURN: // no default button: Enter presses nothing and moves nothing
    case VK_F1:
        return true;
    default:
        return false;
    }
}

std::optional<std::size_t> MainWindow::controlIndex(HWND window) const
{
    for (std::size_t i = 0; i < controlCount; ++i)
        if (controls_[i] == window) return i;
    return std::nullopt;
}

std::vector<std::size_t> MainWindow::focusSequence() const
{
    // Every control has tab-order number 0; labels carry no tab stop, so the boxes and the button remain.
    std::vector<FocusCandidateState> states;
    for (HWND each : controls_) {
        const LONG_PTR style = ::GetWindowLongPtrA(each, GWL_STYLE);
        states.push_back({(style & WS_VISIBLE) != 0, ::IsWindowEnabled(each) != FALSE, (style & WS_TABSTOP) != 0, 0});
    }
    return tabSequence(states);
}

void MainWindow::moveFocus(bool backwards)
{
    if (const auto next = nextInTabSequence(focusSequence(), controlIndex(::GetFocus()), backwards))
        ::SetFocus(controls_[*next]);
}

void MainWindow::rememberFocus()
{
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(window_, focus)) focusAtDeactivation_ = focus;
}

void MainWindow::restoreFocus()
{
    if (focusAtDeactivation_ && ::IsWindow(focusAtDeactivation_) && ::IsChild(window_, focusAtDeactivation_)) {
        ::SetFocus(focusAtDeactivation_);
        return;
    }
    const std::vector<std::size_t> sequence = focusSequence();
    if (!sequence.empty()) ::SetFocus(controls_[sequence.front()]);
}

void MainWindow::drawLabel(const DRAWITEMSTRUCT& item) const
{
    const auto which = controlIndex(item.hwndItem);
    if (!which) return;
    const bool usageNote = *which == 标签4;
    const COLORREF colour = (*which == 标签3 || usageNote) ? red : black;
    const UINT format = usageNote ? DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX
                                  : DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
    RECT area = item.rcItem;
    HDC dc = item.hDC;
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    const int savedState = ::SaveDC(dc);
    // Whatever does not fit is cut at the label's edges.
    ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colour);
    ::SelectObject(dc, usageNote && usageNoteFont_ ? usageNoteFont_.get() : guiFont());
    const std::string text = windowText(item.hwndItem);
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    ::RestoreDC(dc, savedState);
}

void MainWindow::onDestroy()
{
    if (controlsReady_) {
        // The boxes still exist here: the count the user set is remembered for the next start.
        settings_.storeLaunchCount(launchCountText());
        dropIntake_.unregisterWindow();
    }
    ::PostQuitMessage(0);
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return ::DefWindowProcA(window, message, wParam, lParam);
    return self->handleMessage(message, wParam, lParam);
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == firstControlId + 按钮1 && HIWORD(wParam) == BN_CLICKED) {
            onStartClicked();
            return 0;
        }
        break;
    case WM_DRAWITEM:
        drawLabel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_CTLCOLOREDIT: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, black);
        ::SetBkColor(dc, white);
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) rememberFocus();
        break;
    case WM_SETFOCUS:
        restoreFocus();
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = ::DefWindowProcA(window_, message, wParam, lParam);
        window_ = nullptr;
        controls_.fill(nullptr);
        return result;
    }
    }
    return ::DefWindowProcA(window_, message, wParam, lParam);
}

} // namespace quorvane
