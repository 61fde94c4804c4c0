// DropIntake: the drop handler with a settings file of the test's own, and the window registration.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "intake/drop_intake.h"
#include "platform/com.h"
#include "platform/handles.h"
#include "settings/settings_file.h"
#include "test_files.h"

namespace quorvane {
namespace {

using testing::TempFolder;
using testing::toWide;

class DropIntakeTest : public ::testing::Test {
protected:
    std::string fileBytes() const
    {
        std::ifstream file(settings.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::string storedPath() const { return settings.load().programPath; }

    OleSession ole;
    TempFolder folder;
    SettingsFile settings{folder.ansiPath("Quorvane.ini")};
    std::vector<std::string> shown;
    DropIntake intake{settings, [this](const std::string& text) { shown.push_back(text); }};
};

TEST_F(DropIntakeTest, ShowsAndStoresADroppedProgramAndReplacesItOnTheNextDrop)
{
    intake.onFilesDropped("C:\\Tools\\first.exe");
    EXPECT_EQ(shown, std::vector<std::string>{"C:\\Tools\\first.exe"});
    EXPECT_EQ(storedPath(), "C:\\Tools\\first.exe");

    intake.onFilesDropped("C:\\Program Files\\二\\second.exe");
    EXPECT_EQ(shown.back(), "\"C:\\Program Files\\二\\second.exe\"");
    EXPECT_EQ(storedPath(), "\"C:\\Program Files\\二\\second.exe\"");
}

TEST_F(DropIntakeTest, ResolvesAShortcutToItsTargetAndArguments)
{
    const std::string target = folder.ansiPath("My Apps\\app.exe");
    ASSERT_TRUE(TempFolder::createFile(toWide(target), "MZ"));
    const std::string shortcut = folder.ansiPath("App.LNK");
    ASSERT_EQ(testing::writeShortcut(shortcut, target, "-arg"), S_OK);

    intake.onFilesDropped(shortcut);
    const std::string expected = "\"" + target + "\" -arg";
    EXPECT_EQ(shown, std::vector<std::string>{expected});
    EXPECT_EQ(storedPath(), expected);
}

TEST_F(DropIntakeTest, TakesTheFirstOfSeveralFiles)
{
    intake.onFilesDropped("C:\\a.exe\r\nC:\\b.exe\r\n");
    EXPECT_EQ(shown, std::vector<std::string>{"C:\\a.exe"});
    EXPECT_EQ(storedPath(), "C:\\a.exe");
    EXPECT_EQ(fileBytes().find("b.exe"), std::string::npos);
}

TEST_F(DropIntakeTest, TakesAProgramThatOnlyHoldsTheLettersLnkAsDropped)
{
    const std::string program = folder.ansiPath("lnktools\\app.exe");
    ASSERT_TRUE(TempFolder::createFile(toWide(program), "MZ"));
    intake.onFilesDropped(program);
    EXPECT_EQ(shown, std::vector<std::string>{program});
    EXPECT_EQ(storedPath(), program);
}

TEST_F(DropIntakeTest, ADropThatYieldsNoProgramChangesNothing)
{
    ASSERT_TRUE(settings.storeProgramPath("C:\\kept.exe"));
    const std::string before = fileBytes();
    ASSERT_TRUE(TempFolder::createFile(folder.widePath(L"broken.lnk"), "no shortcut"));

    const std::vector<std::string> drops = {
        folder.ansiPath("broken.lnk"),          // not a shortcut file inside
        folder.ansiPath("MISSING.LNK"),         // no such file
        "",                                     // an empty file list
        "\r\n" + folder.ansiPath("b.exe") + "\r\n", // a first path that could not be given in the code page
    };
    for (const std::string& drop : drops) intake.onFilesDropped(drop);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(fileBytes(), before);
}

// A window of the test's own thread to register, as the main window is registered.
UniqueWindow makeWindow()
{
    return UniqueWindow(::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                          ::GetModuleHandleA(nullptr), nullptr));
}

TEST_F(DropIntakeTest, RegistersOnceAndRevokesOnUnregister)
{
    const UniqueWindow window = makeWindow();
    ASSERT_TRUE(window);
    const ComPtr<FileDropTarget> probe = FileDropTarget::create([](const std::string&) {});

    ASSERT_TRUE(intake.registerWindow(window.get()));
    EXPECT_FALSE(intake.registerWindow(window.get()));
    EXPECT_EQ(::RegisterDragDrop(window.get(), probe.get()), DRAGDROP_E_ALREADYREGISTERED);

    intake.unregisterWindow();
    EXPECT_EQ(::RegisterDragDrop(window.get(), probe.get()), S_OK) << "the registration was revoked";
    EXPECT_EQ(::RevokeDragDrop(window.get()), S_OK);
}

TEST_F(DropIntakeTest, DoesNotTryAgainAfterAFailedRegistration)
{
    const UniqueWindow window = makeWindow();
    ASSERT_TRUE(window);
    HWND destroyed = nullptr;
    {
        const UniqueWindow gone = makeWindow();
        destroyed = gone.get();
    }

    EXPECT_FALSE(intake.registerWindow(destroyed));
    EXPECT_FALSE(intake.registerWindow(window.get()));
    const ComPtr<FileDropTarget> probe = FileDropTarget::create([](const std::string&) {});
    EXPECT_EQ(::RegisterDragDrop(window.get(), probe.get()), S_OK) << "no second platform call was made";
    EXPECT_EQ(::RevokeDragDrop(window.get()), S_OK);
}

} // namespace
} // namespace quorvane
