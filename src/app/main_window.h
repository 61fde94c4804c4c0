// The program's only window: the path box, the count box, the start button and the usage note.
#pragma once

#include <windows.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "intake/drop_intake.h"
#include "launch/multi_launcher.h"
#include "platform/handles.h"
#include "settings/settings_file.h"

namespace quorvane {

class MainWindow {
public:
    static constexpr const char* className = "QuorvaneMainWindow";
    static constexpr int outerWidth = 323;
    static constexpr int outerHeight = 195;

    MainWindow(HINSTANCE instance, const SettingsFile& settings);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and its controls, still hidden; false when any of them cannot be created.
    bool create();
    // Shows the window with the ordinary show command, if it still exists.
    void show();

    HWND nativeHandle() const noexcept { return window_; }
    std::string launchCountText() const;
    void setLaunchCountText(const std::string& text);
    std::string programPathText() const;
    void setProgramPathText(const std::string& text);

    void onCreated();
    void onStartClicked();

    // The window's own keys (Tab, Shift+Tab, Esc, Enter, F1), taken before dispatch; true when consumed.
    bool handleKey(const MSG& message);

private:
    // Controls in layout order, which is also their stacking order (the first on top). The drop target
    // 拖放对象1 has no window of its own: it is the DropIntake registered for the whole main window.
    enum Control : std::size_t { 标签4, 标签3, 标签2, 标签1, 编辑框_启动数量, 编辑框_文件路径, 按钮1, controlCount };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool createControls();
    void drawLabel(const DRAWITEMSTRUCT& item) const;
    std::vector<std::size_t> focusSequence() const;
    void rememberFocus();
    void restoreFocus();
    void moveFocus(bool backwards);
    void onDestroy();

    HWND control(Control which) const noexcept { return controls_[which]; }
    std::optional<std::size_t> controlIndex(HWND window) const;

    HINSTANCE instance_;
    const SettingsFile& settings_;
    HWND window_ = nullptr;
    std::array<HWND, controlCount> controls_{};
    bool controlsReady_ = false;
    HWND focusAtDeactivation_ = nullptr;
    UniqueFont usageNoteFont_;
    DropIntake dropIntake_;
    MultiLauncher launcher_;
};

} // namespace quorvane
