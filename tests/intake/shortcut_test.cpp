// resolveShortcut against real shortcut files, written with the shell-link object in a temporary folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "intake/shortcut.h"
#include "platform/com.h"
#include "test_files.h"

namespace quorvane {
namespace {

using testing::TempFolder;
using testing::toWide;

class ResolveShortcut : public ::testing::Test {
protected:
    std::string makeProgram(const std::string& name)
    {
        const std::string path = folder.ansiPath(name);
        EXPECT_TRUE(TempFolder::createFile(toWide(path), "MZ")) << path;
        return path;
    }

    OleSession ole;
    TempFolder folder;
};

TEST_F(ResolveShortcut, GivesTheTargetAndItsArguments)
{
    ASSERT_EQ(::GetACP(), 936u) << "the tests run under code page 936";
    struct Case {
        std::string shortcut, target, arguments, expected;
    };
    const std::string app = makeProgram("app.exe");
    const std::string spaced = makeProgram("Program Files\\App\\app.exe");
    const std::string chinese = makeProgram("中文 目录\\程序.exe");
    const std::vector<Case> cases = {
        {"plain.lnk", app, "", app},
        {"args.lnk", app, "-a \"b c\"", app + " -a \"b c\""},
        {"spaced.lnk", spaced, "", "\"" + spaced + "\""},
        {"spaced args.lnk", spaced, "-arg", "\"" + spaced + "\" -arg"},
        {"快捷方式.lnk", chinese, "参数", "\"" + chinese + "\" 参数"},
        {"UPPER.LNK", app, "-x", app + " -x"},
    };
    for (const Case& c : cases) {
        const std::string shortcut = folder.ansiPath(c.shortcut);
        ASSERT_EQ(testing::writeShortcut(shortcut, c.target, c.arguments), S_OK) << c.shortcut;
        EXPECT_EQ(resolveShortcut(shortcut), c.expected) << c.shortcut;
    }
}

TEST_F(ResolveShortcut, OpensThePathWithLnkAppendedWhenItHasNoSuffix)
{
    const std::string app = makeProgram("app.exe");
    ASSERT_EQ(testing::writeShortcut(folder.ansiPath("lnktools.lnk"), app, "-y"), S_OK);
    EXPECT_EQ(resolveShortcut(folder.ansiPath("lnktools")), app + " -y");
}

TEST_F(ResolveShortcut, GivesAMovedTargetUnchanged)
{
    const std::string app = makeProgram("gone\\app.exe");
    const std::string shortcut = folder.ansiPath("moved.lnk");
    ASSERT_EQ(testing::writeShortcut(shortcut, app), S_OK);
    ASSERT_TRUE(::MoveFileA(folder.ansiPath("gone").c_str(), folder.ansiPath("elsewhere").c_str()));
    EXPECT_EQ(resolveShortcut(shortcut), app);
}

TEST_F(ResolveShortcut, GivesEmptyTextWhenNothingCanBeRead)
{
    ASSERT_TRUE(TempFolder::createFile(folder.widePath(L"fake.lnk"), "this is no shortcut"));
    makeProgram("lnktools\\app.exe");
    EXPECT_EQ(resolveShortcut(folder.ansiPath("fake.lnk")), "");
    EXPECT_EQ(resolveShortcut(folder.ansiPath("missing.lnk")), "");
    EXPECT_EQ(resolveShortcut(folder.ansiPath("lnktools\\app.exe")), ""); // no app.exe.lnk beside it
    EXPECT_EQ(resolveShortcut(folder.ansiPath(std::string(300, 'x') + ".lnk")), "");
}

TEST_F(ResolveShortcut, GivesEmptyTextForATargetThatIsNoFile)
{
    // A shortcut to "My Computer": a shell object without a file-system path, but with arguments.
    ComPtr<IShellLinkA> link;
    ASSERT_EQ(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.putVoid()),
              S_OK);
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    const HRESULT set = link->SetIDList(computer);
    ::CoTaskMemFree(computer);
    ASSERT_EQ(set, S_OK);
    ASSERT_EQ(link->SetArguments("-x"), S_OK);
    const std::string shortcut = folder.ansiPath("computer.lnk");
    ASSERT_EQ(link.as<IPersistFile>(IID_IPersistFile)->Save(toWide(shortcut).c_str(), TRUE), S_OK);

    EXPECT_EQ(resolveShortcut(shortcut), "");
}

} // namespace
} // namespace quorvane
