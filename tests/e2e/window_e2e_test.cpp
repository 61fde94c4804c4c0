// The main window as a user meets it: the first start, remembered settings, the keys, the count box's filter,
// closing with Esc and the count remembered on closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver.h"

namespace quorvane::e2e {
namespace {

// The controls in layout order, which is also their stacking order, the first on top. Named in plain
// English here so that failure messages stay readable in any console.
enum Control : std::size_t {
    usageNote,    // 标签4
    usageHeading, // 标签3
    countLabel,   // 标签2
    pathLabel,    // 标签1
    countBox,     // 编辑框_启动数量
    pathBox,      // 编辑框_文件路径
    startButton,  // 按钮1
    controlCount
};

const char* const controlNames[controlCount] = {"usage note", "usage heading", "count label", "path label",
                                                "count box",  "path box",      "start button"};

void PrintTo(Control control, std::ostream* out)
{
    *out << controlNames[control];
}

const char* const countKey = "多开数量";
const char* const pathKey = "文件路径";

constexpr int outerWidth = 323;
constexpr int outerHeight = 195;

const char* const usageText =
    "1.直接将需要多开的程序拖动到本程序界面上即可2.需要更换其他程序时，直接将程序拖动到本程序窗口上即可替换完成";

// A settings file whose count is present but empty, so the count box starts empty and shows exactly what
// the user types.
const std::string emptyCountSettings = "[基本信息]\r\n多开数量=\r\n";

std::string describe(const RECT& rect)
{
    return "left " + std::to_string(rect.left) + " top " + std::to_string(rect.top) + " width " +
           std::to_string(rect.right - rect.left) + " height " + std::to_string(rect.bottom - rect.top);
}

std::string hex(LONG_PTR bits)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(bits));
    return text;
}


// The window's client area as the screen shows it, one 0x00RRGGBB value a pixel.
class ClientCapture {
public:
    explicit ClientCapture(HWND window)
    {
        RECT client{};
        ::GetClientRect(window, &client);
        POINT origin{0, 0};
        ::ClientToScreen(window, &origin);
        width_ = client.right;
        height_ = client.bottom;
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));

        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_; // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width_, height_, screen, origin.x, origin.y, SRCCOPY);
        ::GdiFlush();
        if (bits) std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof pixels_[0]);
        ::SelectObject(memory, previous);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
    }

    bool operator==(const ClientCapture& other) const
    {
        return width_ == other.width_ && height_ == other.height_ && pixels_ == other.pixels_;
    }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // How many pixels of the rectangle (client coordinates, cut to the client area) the test holds for.
    template <class Test>
    int count(RECT area, Test test) const
    {
        int found = 0;
        for (int y = std::max<LONG>(area.top, 0); y < std::min<LONG>(area.bottom, height_); ++y)
            for (int x = std::max<LONG>(area.left, 0); x < std::min<LONG>(area.right, width_); ++x)
                if (test(at(x, y))) ++found;
        return found;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

int red(std::uint32_t pixel) { return (pixel >> 16) & 0xFF; }
int green(std::uint32_t pixel) { return (pixel >> 8) & 0xFF; }
int blue(std::uint32_t pixel) { return pixel & 0xFF; }
// Text pixels, allowing for smoothed glyph edges.
bool reddish(std::uint32_t pixel) { return red(pixel) > 150 && green(pixel) < 110 && blue(pixel) < 110; }
bool dark(std::uint32_t pixel) { return red(pixel) < 110 && green(pixel) < 110 && blue(pixel) < 110; }

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        removeSettingsFile();
        ASSERT_FALSE(settingsFileContents()) << "the settings file cannot be removed";
    }

    void TearDown() override
    {
        app.reset();
        removeSettingsFile();
    }

    // Starts quorvane.exe and waits for its window; its controls are then known by their layout order.
    void start()
    {
        app.emplace();
        ASSERT_TRUE(app->started()) << "quorvane.exe did not start, error " << app->lastStartError();
        ASSERT_TRUE(app->waitForMainWindow()) << "no visible window of class " << QuorvaneProcess::windowClass;
        controls = childControls(app->mainWindow());
        ASSERT_EQ(controls.size(), static_cast<std::size_t>(controlCount))
            << "seven controls are windows; the drop target has none";
    }

    HWND handleOf(Control which) const { return controls[which].handle; }

    std::string focus() const
    {
        const HWND focused = app->focusedWindow();
        if (!focused) return "nothing";
        if (focused == app->mainWindow()) return "the window itself";
        for (std::size_t i = 0; i < controls.size(); ++i)
            if (controls[i].handle == focused) return controlNames[i];
        return "a window that is no control of the program";
    }

    std::string waitForFocus(const std::string& expected) const
    {
        return waitForValue([&] { return focus(); }, expected);
    }

    std::string waitForText(Control which, const std::string& expected) const
    {
        return waitForValue([&] { return windowText(handleOf(which)); }, expected);
    }

    // From the first focus on the start button, Tab into the count box.
    void focusCountBox()
    {
        ASSERT_EQ(waitForFocus("start button"), "start button");
        ASSERT_TRUE(pressKeys("Tab"));
        ASSERT_EQ(waitForFocus("count box"), "count box");
    }

    std::optional<QuorvaneProcess> app;
    std::vector<ControlInfo> controls;
};

TEST_F(MainWindowTest, FirstStartShowsTheWindowCentredWithTheDefaultsAndTheFocusOnTheStartButton)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const HWND window = app->mainWindow();

    // On a 1024 x 768 screen: left 350, top 286.
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2;
    EXPECT_EQ(describe(windowRect(window)), describe(RECT{left, top, left + outerWidth, top + outerHeight}));

    // The system adds WS_CLIPSIBLINGS to every top-level window and WS_EX_WINDOWEDGE to every captioned one.
    EXPECT_EQ(hex(::GetWindowLongPtrA(window, GWL_STYLE)),
              hex(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE));
    EXPECT_EQ(hex(::GetWindowLongPtrA(window, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_WINDOWEDGE)), hex(0));

    struct Expected {
        const char* windowClass;
        RECT rect;
        const char* text;
        bool enabled;
        LONG_PTR kindMask; // the style bits that make the control what it is, and their value
        LONG_PTR kind;
        bool sunkenEdge;
    };
    const Expected expected[controlCount] = {
        {"Static", {3, 115, 313, 160}, usageText, true, SS_TYPEMASK, SS_OWNERDRAW, false},
        {"Static", {3, 89, 313, 113}, "使用方法：", true, SS_TYPEMASK, SS_OWNERDRAW, false},
        {"Static", {8, 53, 64, 85}, "启动数量", true, SS_TYPEMASK, SS_OWNERDRAW, false},
        {"Static", {8, 16, 64, 48}, "程序路径", true, SS_TYPEMASK, SS_OWNERDRAW, false},
        {"Edit", {64, 53, 240, 85}, "3", true, ES_MULTILINE | ES_AUTOHSCROLL, ES_AUTOHSCROLL, true},
        {"Edit", {64, 16, 312, 48}, "", false, ES_MULTILINE | ES_AUTOHSCROLL, ES_AUTOHSCROLL, true},
        {"Button", {246, 53, 310, 85}, "启动", true, BS_TYPEMASK, BS_PUSHBUTTON, false},
    };
    for (std::size_t i = 0; i < controlCount; ++i) {
        SCOPED_TRACE(controlNames[i]);
        const ControlInfo& actual = controls[i];
        EXPECT_EQ(actual.windowClass, expected[i].windowClass);
        EXPECT_EQ(describe(actual.rect), describe(expected[i].rect));
        EXPECT_EQ(actual.text, expected[i].text);
        EXPECT_TRUE(actual.visible);
        EXPECT_EQ(actual.enabled, expected[i].enabled);
        EXPECT_EQ(hex(actual.style & expected[i].kindMask), hex(expected[i].kind));
        EXPECT_EQ((actual.extendedStyle & WS_EX_CLIENTEDGE) != 0, expected[i].sunkenEdge);
    }

    EXPECT_EQ(waitForFocus("start button"), "start button");
    EXPECT_FALSE(settingsFileContents()) << "reading the settings creates no file";
}

TEST_F(MainWindowTest, StartWithASettingsFileShowsItsValuesAsStored)
{
    const std::string path = "C:\\工具\\目标 程序.exe -n 2";
    ASSERT_TRUE(writeSettingsFile("[基本信息]\r\n多开数量=007\r\n文件路径=" + path + "\r\n"));

    ASSERT_NO_FATAL_FAILURE(start());

    EXPECT_EQ(waitForText(countBox, "007"), "007");
    EXPECT_EQ(waitForText(pathBox, path), path);
    EXPECT_FALSE(::IsWindowEnabled(handleOf(pathBox)));
}

TEST_F(MainWindowTest, TabAndShiftTabMoveTheFocusOnlyBetweenTheStartButtonAndTheCountBox)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(waitForFocus("start button"), "start button");

    const struct {
        const char* keys;
        const char* focusAfter;
    } steps[] = {
        {"Tab", "count box"},          {"Tab", "start button"},    {"Tab", "count box"},
        {"shift+Tab", "start button"}, {"shift+Tab", "count box"}, {"shift+Tab", "start button"},
    };
    for (const auto& step : steps) {
        ASSERT_TRUE(pressKeys(step.keys));
        ASSERT_EQ(waitForFocus(step.focusAfter), step.focusAfter) << "after " << step.keys;
    }
}

struct TypingCase {
    const char* name;
    const char* typed;
    const char* shown;
};

void PrintTo(const TypingCase& typing, std::ostream* out)
{
    *out << typing.name;
}

class CountBoxTyping : public MainWindowTest, public testing::WithParamInterface<TypingCase> {};

// The last character of each input is one the box takes, so the expected text also shows that every
// character before it has been handled.
INSTANTIATE_TEST_SUITE_P(
    Characters, CountBoxTyping,
    testing::Values(TypingCase{"LetterDropped", "a1", "1"}, TypingCase{"FullStopDropped", ".2", "2"},
                    TypingCase{"DigitsTaken", "0123456789", "0123456789"},
                    TypingCase{"MinusSignsTakenAnywhere", "-5--", "-5--"}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.name); });

TEST_P(CountBoxTyping, TakesOnlyDigitsAndTheMinusSign)
{
    ASSERT_TRUE(writeSettingsFile(emptyCountSettings));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());

    ASSERT_TRUE(typeText(GetParam().typed));

    EXPECT_EQ(waitForText(countBox, GetParam().shown), GetParam().shown);
}

TEST_F(MainWindowTest, PastedTextIsNotFiltered)
{
    ASSERT_TRUE(writeSettingsFile(emptyCountSettings));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());

    ASSERT_TRUE(putTextOnClipboard("abc"));
    ASSERT_TRUE(pressKeys("ctrl+v"));

    EXPECT_EQ(waitForText(countBox, "abc"), "abc");
}

class KeyWithFocusOn : public MainWindowTest, public testing::WithParamInterface<Control> {
protected:
    // From the count box to the control under test.
    void focusFromCountBox()
    {
        if (GetParam() == startButton) {
            ASSERT_TRUE(pressKeys("shift+Tab"));
            ASSERT_EQ(waitForFocus("start button"), "start button");
        }
    }
};

INSTANTIATE_TEST_SUITE_P(Focus, KeyWithFocusOn, testing::Values(countBox, startButton),
                         [](const testing::TestParamInfo<Control>& info) {
                             return std::string(info.param == startButton ? "StartButton" : "CountBox");
                         });

TEST_P(KeyWithFocusOn, EscClosesTheWindowAndTheProgramEndsWithExitCodeZero)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());
    ASSERT_NO_FATAL_FAILURE(focusFromCountBox());

    ASSERT_TRUE(pressKeys("Escape"));

    EXPECT_EQ(app->waitForExit(), std::optional<DWORD>(0));
}

// Pressing the start button stores the count, so an unchanged settings file shows that Enter pressed nothing.
TEST_P(KeyWithFocusOn, EnterPressesNothingAndMovesNoFocus)
{
    ASSERT_TRUE(writeSettingsFile(emptyCountSettings));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());
    ASSERT_TRUE(typeText("9"));
    ASSERT_EQ(waitForText(countBox, "9"), "9");
    ASSERT_NO_FATAL_FAILURE(focusFromCountBox());

    ASSERT_TRUE(pressKeys("Return"));
    // Keys are handled in order: once the Tab after it has moved the focus, Enter has been handled too.
    ASSERT_TRUE(pressKeys("Tab"));
    const std::string other = GetParam() == startButton ? "count box" : "start button";
    EXPECT_EQ(waitForFocus(other), other);

    EXPECT_TRUE(app->windowShown());
    EXPECT_EQ(windowText(handleOf(countBox)), "9");
    EXPECT_EQ(settingsFileContents(), std::optional<std::string>(emptyCountSettings));
}

TEST_F(MainWindowTest, CountBoxGetsTheFocusBackWhenTheWindowIsActivatedAgain)
{
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());

    const OtherWindow other(RECT{20, 20, 300, 160});
    ASSERT_TRUE(other.handle());
    ASSERT_TRUE(clickAt(other.centre()));
    ASSERT_TRUE(waitUntil([&] { return ::GetForegroundWindow() == other.handle(); }))
        << "the other window did not become active";
    ASSERT_EQ(waitForFocus("nothing"), "nothing");

    ASSERT_TRUE(clickAt(titleBarPoint(app->mainWindow())));

    EXPECT_EQ(waitForFocus("count box"), "count box");
}

TEST_F(MainWindowTest, CountTypedIsStoredWhenTheWindowCloses)
{
    const std::string path = "C:\\工具\\目标.exe";
    ASSERT_TRUE(writeSettingsFile("[基本信息]\r\n多开数量=\r\n文件路径=" + path + "\r\n"));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(focusCountBox());
    ASSERT_TRUE(typeText("12"));
    ASSERT_EQ(waitForText(countBox, "12"), "12");

    ASSERT_TRUE(pressKeys("Escape"));
    ASSERT_EQ(app->waitForExit(), std::optional<DWORD>(0));

    EXPECT_EQ(storedSetting(countKey), std::optional<std::string>("12"));
    EXPECT_EQ(storedSetting(pathKey), std::optional<std::string>(path));
}

TEST_F(MainWindowTest, LabelsAndBoxesArePaintedAsLaidOut)
{
    ASSERT_TRUE(writeSettingsFile("[基本信息]\r\n多开数量=3\r\n"));
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_EQ(waitForFocus("start button"), "start button");
    const HWND window = app->mainWindow();
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(waitUntil([&] { return !::GetUpdateRect(window, nullptr, FALSE); }));

    // Whatever is drawn is settled once two captures agree.
    std::optional<ClientCapture> shot;
    ASSERT_TRUE(waitUntil([&] {
        ClientCapture next(window);
        const bool settled = shot && *shot == next;
        shot.emplace(std::move(next));
        return settled;
    }));
    const ClientCapture& pixels = *shot;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const std::uint32_t facePixel = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    const auto notFace = [&](std::uint32_t pixel) { return pixel != facePixel; };

    // The two box labels in black, the heading and the usage note in red.
    for (Control label : {pathLabel, countLabel}) {
        SCOPED_TRACE(controlNames[label]);
        EXPECT_GT(pixels.count(controls[label].rect, dark), 10);
        EXPECT_EQ(pixels.count(controls[label].rect, reddish), 0);
    }
    for (Control label : {usageHeading, usageNote}) {
        SCOPED_TRACE(controlNames[label]);
        EXPECT_GT(pixels.count(controls[label].rect, reddish), 10);
        EXPECT_EQ(pixels.count(controls[label].rect, dark), 0);
    }
    // The usage note wraps to a third line that its 45 pixels cut off: red down to its bottom edge, and
    // nothing at all below it or to the right of its 310 pixels.
    const RECT note = controls[usageNote].rect;
    EXPECT_GT(pixels.count(RECT{note.left, note.bottom - 6, note.right, note.bottom}, reddish), 0);
    EXPECT_EQ(pixels.count(RECT{0, note.bottom, pixels.width(), pixels.height()}, notFace), 0);
    EXPECT_EQ(pixels.count(RECT{note.right, controls[usageHeading].rect.top, pixels.width(), pixels.height()}, notFace), 0);

    // The count's one line of text sits in the middle of its 32-pixel box.
    const RECT box = controls[countBox].rect;
    int topInk = -1, bottomInk = -1;
    for (int y = box.top + 3; y < box.bottom - 3; ++y) {
        if (pixels.count(RECT{box.left + 3, y, box.right - 3, y + 1}, dark) == 0) continue;
        if (topInk < 0) topInk = y;
        bottomInk = y;
    }
    ASSERT_GE(topInk, 0) << "no text in the count box";
    const int inkMiddle = (topInk + bottomInk) / 2;
    const int boxMiddle = (box.top + box.bottom) / 2;
    EXPECT_LE(std::abs(inkMiddle - boxMiddle), 3) << "text rows " << topInk << "-" << bottomInk;
    // Both boxes keep the text area in the middle, the spare height split above and below it.
    for (Control which : {countBox, pathBox}) {
        SCOPED_TRACE(controlNames[which]);
        RECT outer{};
        ::GetWindowRect(handleOf(which), &outer);
        RECT inner{};
        ::GetClientRect(handleOf(which), &inner);
        ::MapWindowPoints(handleOf(which), nullptr, reinterpret_cast<POINT*>(&inner), 2);
        EXPECT_LE(std::abs((inner.top - outer.top) - (outer.bottom - inner.bottom)), 1);
        EXPECT_LT(inner.bottom - inner.top, 24) << "the text area should be about one line high";
    }
    // The count box is white inside, around its text.
    EXPECT_EQ(pixels.at(box.right - 5, box.top + 4), 0xFFFFFFu);
    EXPECT_EQ(pixels.at(box.right - 5, box.bottom - 5), 0xFFFFFFu);
}

} // namespace
} // namespace quorvane::e2e
