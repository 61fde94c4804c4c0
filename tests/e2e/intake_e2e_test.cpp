// Dropping programs and shortcuts on the real quorvane.exe with a real OLE drag, as from a file manager:
// the drag source is a program of the test tree, the mouse and the keys are a user's (xdotool under Wine).
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ansi_text.h"
#include "driver.h"

namespace quorvane::e2e {
namespace {

const char* const pathKey = "文件路径";

using testing::toAnsi;
using testing::toWide;

std::wstring quotedArgument(const std::wstring& argument)
{
    return L"\"" + argument + L"\"";
}

std::optional<std::string> fileContents(const std::wstring& path)
{
    const HANDLE opened = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return std::nullopt;
    const UniqueHandle file(opened);
    std::string bytes(::GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return bytes;
}

// A program of the test tree, started with the arguments given; ended on destruction if still running.
class TestProgram {
public:
    TestProgram(const std::wstring& name, const std::wstring& arguments)
    {
        const std::wstring program = folderOfThisProgram() + L"\\" + name;
        std::wstring commandLine = quotedArgument(program) + L" " + arguments;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started)) {
            const UniqueHandle thread(started.hThread);
            process_.reset(started.hProcess);
        }
    }
    TestProgram(const TestProgram&) = delete;
    TestProgram& operator=(const TestProgram&) = delete;
    ~TestProgram()
    {
        if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process_.get(), 1);
            ::WaitForSingleObject(process_.get(), 10000);
        }
    }

    bool started() const noexcept { return static_cast<bool>(process_); }
    std::optional<DWORD> waitForExit()
    {
        if (!process_ || ::WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        ::GetExitCodeProcess(process_.get(), &code);
        return code;
    }

private:
    UniqueHandle process_;
};

std::string xy(POINT point)
{
    return std::to_string(point.x) + " " + std::to_string(point.y);
}

// A user's drag: press the button on the source, hold the keys, move in small steps to the target, move once
// more there (OLE learns the keys and the place on motion), release, let go of the keys.
bool dragAndDrop(POINT from, POINT to, const std::string& heldKeys)
{
    std::string script = "mousemove " + xy(from) + " sleep 0.2 mousedown 1 sleep 0.2";
    if (!heldKeys.empty()) script += " keydown " + heldKeys + " sleep 0.1";
    constexpr int steps = 6;
    for (int step = 1; step <= steps; ++step) {
        const POINT between{from.x + (to.x - from.x) * step / steps, from.y + (to.y - from.y) * step / steps};
        script += " mousemove " + xy(between) + " sleep 0.05";
    }
    script += " mousemove " + xy(POINT{to.x + 2, to.y + 1}) + " sleep 0.1 mousemove " + xy(to) +
              " sleep 0.1 mouseup 1 sleep 0.1";
    if (!heldKeys.empty()) script += " keyup " + heldKeys;
    return runXdotool(script);
}

struct DragOutcome {
    HRESULT result = E_FAIL;
    DWORD effect = DROPEFFECT_NONE;
};

class DropOnWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!runningUnderWine()) GTEST_SKIP() << "the drags are driven with xdotool, in Wine's X display";
        removeSettingsFile();
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        folder = std::filesystem::path(temp) / (L"quorvane-intake-e2e-" + std::to_wstring(::GetCurrentProcessId()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }

    void TearDown() override
    {
        app.reset();
        removeSettingsFile();
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::wstring file(const std::wstring& name) const { return (folder / name).wstring(); }

    std::wstring makeFile(const std::wstring& name)
    {
        const std::filesystem::path path = folder / name;
        std::filesystem::create_directories(path.parent_path());
        const HANDLE created = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
        const UniqueHandle empty(created == INVALID_HANDLE_VALUE ? nullptr : created);
        EXPECT_TRUE(empty) << path;
        return path.wstring();
    }

    void makeShortcut(const std::wstring& shortcut, const std::wstring& target, const std::wstring& arguments)
    {
        TestProgram writer(L"make_shortcut.exe",
                           quotedArgument(shortcut) + L" " + quotedArgument(target) + L" " + quotedArgument(arguments));
        ASSERT_TRUE(writer.started()) << "make_shortcut.exe did not start";
        ASSERT_EQ(writer.waitForExit(), std::optional<DWORD>(0)) << "no shortcut written";
    }

    void start()
    {
        app.emplace();
        ASSERT_TRUE(app->started()) << "quorvane.exe did not start, error " << app->lastStartError();
        ASSERT_TRUE(app->waitForMainWindow()) << "no main window";
        pathBox = nullptr;
        for (const ControlInfo& control : childControls(app->mainWindow())) {
            if (::lstrcmpiA(control.windowClass.c_str(), "Edit") == 0 && !control.enabled) pathBox = control.handle;
        }
        ASSERT_TRUE(pathBox) << "no disabled edit box for the path";
    }

    std::string pathBoxText() const { return windowText(pathBox); }

    // One drag from a drag source offering `offered` with the allowed effects, dropped on the window's middle.
    DragOutcome drag(const std::wstring& offered, const std::wstring& effects, const std::string& heldKeys = {})
    {
        const std::wstring resultFile = file(L"drag-result-" + std::to_wstring(++drags) + L".txt");
        TestProgram source(L"drag_source.exe", L"--result " + quotedArgument(resultFile) + L" --effects " + effects +
                                                   L" --at 20,20,100,100 " + offered);
        EXPECT_TRUE(source.started()) << "drag_source.exe did not start";
        const bool shown = waitUntil([] {
            const HWND window = ::FindWindowW(L"QuorvaneTestDragSource", nullptr);
            return window && ::IsWindowVisible(window);
        });
        EXPECT_TRUE(shown) << "the drag source's window did not appear";
        if (!shown) return {};

        const RECT target = windowRect(app->mainWindow());
        EXPECT_TRUE(dragAndDrop(POINT{70, 70}, POINT{(target.left + target.right) / 2, (target.top + target.bottom) / 2},
                                heldKeys))
            << "xdotool failed";
        std::optional<std::string> result;
        EXPECT_TRUE(waitUntil([&] { return (result = fileContents(resultFile)).has_value(); }))
            << "the drag did not end";
        DragOutcome outcome;
        unsigned long hr = 0, effect = 0;
        if (result && std::sscanf(result->c_str(), "hr=0x%lx effect=%lu", &hr, &effect) == 2) {
            outcome.result = static_cast<HRESULT>(hr);
            outcome.effect = effect;
        }
        return outcome;
    }

    std::filesystem::path folder;
    std::optional<QuorvaneProcess> app;
    HWND pathBox = nullptr;
    int drags = 0;
};

// The drop handler runs inside Drop, before DoDragDrop returns to the source: once the source has its
// answer, the box and the settings file already show the outcome, and they are read without waiting.

TEST_F(DropOnWindowTest, AProgramFileBecomesTheTarget)
{
    const std::wstring program = makeFile(L"tools\\app.exe");
    start();
    const DragOutcome outcome = drag(quotedArgument(program), L"copy,move,link");
    EXPECT_EQ(outcome.result, DRAGDROP_S_DROP);
    EXPECT_EQ(outcome.effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(pathBoxText(), toAnsi(program));
    EXPECT_EQ(storedSetting(pathKey), toAnsi(program));
}

TEST_F(DropOnWindowTest, AShortcutGivesItsTargetAndArguments)
{
    const std::wstring program = makeFile(L"tools\\app.exe");
    const std::wstring shortcut = file(L"App.lnk");
    makeShortcut(shortcut, program, L"-profile 2");
    start();
    drag(quotedArgument(shortcut), L"copy,link");
    EXPECT_EQ(pathBoxText(), toAnsi(program) + " -profile 2");
    EXPECT_EQ(storedSetting(pathKey), toAnsi(program) + " -profile 2");
}

TEST_F(DropOnWindowTest, ASecondDropReplacesTheFirstAlsoAfterARestart)
{
    const std::wstring first = makeFile(L"first.exe");
    const std::wstring second = makeFile(L"中文\\second.exe");
    start();
    drag(quotedArgument(first), L"copy");
    ASSERT_EQ(pathBoxText(), toAnsi(first));
    drag(quotedArgument(second), L"copy");
    EXPECT_EQ(pathBoxText(), toAnsi(second));

    app.reset();
    start();
    EXPECT_EQ(pathBoxText(), toAnsi(second));
}

TEST_F(DropOnWindowTest, TwoFilesAtOnceGiveTheFirst)
{
    const std::wstring first = makeFile(L"one.exe");
    const std::wstring second = makeFile(L"two.exe");
    start();
    drag(quotedArgument(first) + L" " + quotedArgument(second), L"copy");
    EXPECT_EQ(pathBoxText(), toAnsi(first));
    EXPECT_EQ(storedSetting(pathKey), toAnsi(first));
}

TEST_F(DropOnWindowTest, AFolderArrivesLikeAFile)
{
    const std::wstring tools = file(L"tools");
    std::filesystem::create_directories(tools);
    start();
    drag(quotedArgument(tools), L"copy");
    EXPECT_EQ(pathBoxText(), toAnsi(tools));
}

TEST_F(DropOnWindowTest, DragsThatAreRefusedChangeNothing)
{
    ASSERT_TRUE(writeSettingsFile("[基本信息]\r\n文件路径=C:\\kept.exe\r\n"));
    const std::wstring program = makeFile(L"app.exe");
    start();
    ASSERT_EQ(pathBoxText(), "C:\\kept.exe");

    struct Case {
        const char* what;
        std::wstring offered;
        std::wstring effects;
        std::string keys;
    };
    const std::vector<Case> cases = {
        {"text from an editor", L"--text " + quotedArgument(program), L"copy,move,link", ""},
        {"Ctrl+Shift, a link allowed", quotedArgument(program), L"copy,move,link", "ctrl+shift"},
        {"Shift from a source that cannot move", quotedArgument(program), L"copy", "shift"},
    };
    for (const Case& c : cases) {
        const DragOutcome outcome = drag(c.offered, c.effects, c.keys);
        EXPECT_EQ(outcome.effect, static_cast<DWORD>(DROPEFFECT_NONE)) << c.what;
        EXPECT_EQ(pathBoxText(), "C:\\kept.exe") << c.what;
        EXPECT_EQ(storedSetting(pathKey), "C:\\kept.exe") << c.what;
    }
}

TEST_F(DropOnWindowTest, TheKeysChooseTheEffectThatIsDelivered)
{
    struct Case {
        const char* what;
        std::wstring effects;
        std::string keys;
        DWORD expected;
    };
    const std::vector<Case> cases = {
        {"Shift from a source that allows moving", L"copy,move", "shift", DROPEFFECT_MOVE},
        {"Ctrl", L"copy,move,link", "ctrl", DROPEFFECT_COPY},
        {"no keys from a source that allows only a link", L"link", "", DROPEFFECT_LINK},
    };
    start();
    int round = 0;
    for (const Case& c : cases) {
        const std::wstring program = makeFile(L"app" + std::to_wstring(++round) + L".exe");
        const DragOutcome outcome = drag(quotedArgument(program), c.effects, c.keys);
        EXPECT_EQ(outcome.result, DRAGDROP_S_DROP) << c.what;
        EXPECT_EQ(outcome.effect, c.expected) << c.what;
        EXPECT_EQ(pathBoxText(), toAnsi(program)) << c.what;
    }
}

TEST_F(DropOnWindowTest, AProgramUnderAFolderWithBlanksIsQuotedAndStarts)
{
    // A program planted where the unquoted path would end at its first blank must never be the one started.
    const std::wstring child = folderOfThisProgram() + L"\\child_gui.exe";
    const std::wstring program = file(L"My Programs\\child.exe");
    const std::wstring planted = file(L"My.exe");
    std::filesystem::create_directories(folder / L"My Programs");
    std::filesystem::copy_file(child, program);
    std::filesystem::copy_file(child, planted);
    const std::wstring record = file(L"record.txt");
    const std::wstring shortcut = file(L"Start child.lnk");
    makeShortcut(shortcut, program, L"record=" + record + L" live=20000");
    ASSERT_TRUE(writeSettingsFile("[基本信息]\r\n多开数量=1\r\n"));
    start();

    drag(quotedArgument(program), L"copy");
    EXPECT_EQ(pathBoxText(), "\"" + toAnsi(program) + "\"");
    app.reset();
    start();
    EXPECT_EQ(pathBoxText(), "\"" + toAnsi(program) + "\"") << "the quoted target is remembered";

    drag(quotedArgument(shortcut), L"copy");
    const std::string commandLine = "\"" + toAnsi(program) + "\" record=" + toAnsi(record) + " live=20000";
    ASSERT_EQ(pathBoxText(), commandLine);

    HWND startButton = nullptr;
    for (const ControlInfo& control : childControls(app->mainWindow())) {
        if (::lstrcmpiA(control.windowClass.c_str(), "Button") == 0) startButton = control.handle;
    }
    ASSERT_TRUE(startButton);
    const RECT button = windowRect(startButton);
    ASSERT_TRUE(clickAt(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2}));

    std::optional<std::string> recorded;
    ASSERT_TRUE(waitUntil([&] { return (recorded = fileContents(record)).has_value() && !recorded->empty(); }))
        << "the program was not started";
    // start <TAB> pid <TAB> ...: the started process must run the dropped program, not the planted one.
    const DWORD pid = std::stoul(recorded->substr(recorded->find('\t') + 1));
    const HANDLE opened = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_TRUE(opened) << "the started copy is gone";
    const UniqueHandle copy(opened);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    EXPECT_TRUE(::QueryFullProcessImageNameW(copy.get(), 0, image, &size));
    EXPECT_EQ(::lstrcmpiW(image, program.c_str()), 0) << toAnsi(image);
    ::TerminateProcess(copy.get(), 0);
    ::WaitForSingleObject(copy.get(), 10000);
}

} // namespace
} // namespace quorvane::e2e
