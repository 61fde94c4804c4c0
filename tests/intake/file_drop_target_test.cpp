// FileDropTarget called as OLE calls it, with data objects that offer a file list or only text.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "drag_data_object.h"
#include "intake/file_drop_target.h"
#include "platform/com.h"
#include "test_files.h"

namespace quorvane {
namespace {

using testing::DragDataObject;
using testing::TempFolder;

constexpr DWORD copyMoveLink = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
const POINTL anywhere{0, 0};

// A drop target whose deliveries are kept for the test to look at.
struct Receiver {
    std::vector<std::string> deliveries;
    ComPtr<FileDropTarget> target =
        FileDropTarget::create([this](const std::string& paths) { deliveries.push_back(paths); });

    // One whole drag as OLE runs it: enter, one move, drop. Returns the three effects handed back.
    std::vector<DWORD> drag(IDataObject* data, DWORD keys, DWORD allowed)
    {
        std::vector<DWORD> effects(3, allowed);
        EXPECT_EQ(target->DragEnter(data, keys, anywhere, &effects[0]), S_OK);
        EXPECT_EQ(target->DragOver(keys, anywhere, &effects[1]), S_OK);
        EXPECT_EQ(target->Drop(data, keys, anywhere, &effects[2]), S_OK);
        return effects;
    }
};

TEST(FileDropTarget, CountsReferencesAndAnswersOnlyItsInterfaces)
{
    const auto liveness = std::make_shared<int>(0);
    IDropTarget* target = nullptr;
    {
        ComPtr<FileDropTarget> owner = FileDropTarget::create([liveness](const std::string&) {});
        target = owner.get();
        EXPECT_EQ(target->AddRef(), 2u);
        EXPECT_EQ(target->Release(), 1u);

        void* asUnknown = nullptr;
        void* asDropTarget = nullptr;
        void* asDataObject = reinterpret_cast<void*>(1);
        ASSERT_EQ(target->QueryInterface(IID_IUnknown, &asUnknown), S_OK);
        ASSERT_EQ(target->QueryInterface(IID_IDropTarget, &asDropTarget), S_OK);
        EXPECT_EQ(target->QueryInterface(IID_IDataObject, &asDataObject), E_NOINTERFACE);
        EXPECT_EQ(asDataObject, nullptr);
        EXPECT_EQ(asUnknown, static_cast<void*>(target));
        EXPECT_EQ(asDropTarget, static_cast<void*>(target));
        EXPECT_EQ(target->QueryInterface(IID_IDropTarget, nullptr), E_POINTER);

        // The two answers each added a reference; the owner's is the last.
        EXPECT_EQ(target->Release(), 2u);
        EXPECT_EQ(target->Release(), 1u);
        EXPECT_EQ(liveness.use_count(), 2);
    }
    EXPECT_EQ(liveness.use_count(), 1) << "the last Release destroys the target";
}

TEST(FileDropTarget, EffectsFollowTheKeysAndWhatTheSourceAllows)
{
    struct Case {
        const char* what;
        DWORD keys;
        DWORD allowed;
        DWORD expected;
    };
    const std::vector<Case> cases = {
        {"no keys", 0, copyMoveLink, DROPEFFECT_COPY},
        {"no keys, move or link", 0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        {"no keys, link only", 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {"Ctrl", MK_CONTROL, copyMoveLink, DROPEFFECT_COPY},
        {"Ctrl, no copy", MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
        {"Shift", MK_SHIFT, copyMoveLink, DROPEFFECT_MOVE},
        {"Shift, copy only", MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {"Ctrl+Shift", MK_CONTROL | MK_SHIFT, copyMoveLink, DROPEFFECT_NONE},
        {"Ctrl+Shift, link only", MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK, DROPEFFECT_NONE},
        {"Alt and the button", MK_ALT | MK_LBUTTON, copyMoveLink, DROPEFFECT_COPY},
        {"nothing allowed", 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
    };
    for (const Case& c : cases) {
        Receiver receiver;
        const auto data = DragDataObject::fileList({L"C:\\App\\app.exe"});
        const std::vector<DWORD> effects = receiver.drag(data.get(), c.keys, c.allowed);
        EXPECT_EQ(effects, std::vector<DWORD>(3, c.expected)) << c.what;
        const std::vector<std::string> expectedDeliveries =
            c.expected == DROPEFFECT_NONE ? std::vector<std::string>{} : std::vector<std::string>{"C:\\App\\app.exe"};
        EXPECT_EQ(receiver.deliveries, expectedDeliveries) << c.what;
        if (c.expected == DROPEFFECT_NONE) {
            EXPECT_EQ(data->getDataCalls(), 0) << c.what;
        }
    }
}

TEST(FileDropTarget, RefusesADragOfTextOnly)
{
    Receiver receiver;
    const auto text = DragDataObject::textOnly("C:\\App\\app.exe");
    EXPECT_EQ(receiver.drag(text.get(), 0, copyMoveLink), std::vector<DWORD>(3, DROPEFFECT_NONE));
    EXPECT_TRUE(receiver.deliveries.empty());
    EXPECT_EQ(text->getDataCalls(), 0);
}

TEST(FileDropTarget, AsksTheDataOnlyOnEnteringAndForgetsItOnLeaving)
{
    Receiver receiver;
    const auto files = DragDataObject::fileList({L"C:\\App\\app.exe"});
    DWORD effect = copyMoveLink;
    ASSERT_EQ(receiver.target->DragEnter(files.get(), 0, anywhere, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_COPY);
    for (const DWORD keys : {DWORD{0}, DWORD{MK_SHIFT}, DWORD{MK_CONTROL}}) {
        effect = copyMoveLink;
        ASSERT_EQ(receiver.target->DragOver(keys, anywhere, &effect), S_OK);
        EXPECT_NE(effect, DROPEFFECT_NONE);
    }
    EXPECT_EQ(files->queryGetDataCalls(), 1);

    ASSERT_EQ(receiver.target->DragLeave(), S_OK);
    effect = copyMoveLink;
    ASSERT_EQ(receiver.target->DragOver(0, anywhere, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = copyMoveLink;
    ASSERT_EQ(receiver.target->Drop(files.get(), 0, anywhere, &effect), S_OK);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_TRUE(receiver.deliveries.empty());
}

TEST(FileDropTarget, DeliversThePathsAsOneTextAndReleasesTheMedium)
{
    ASSERT_EQ(::GetACP(), 936u) << "the tests run under code page 936";
    const std::wstring longPath = L"C:\\" + std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b') + L".exe";
    struct Case {
        const char* what;
        std::vector<std::wstring> paths;
        DragDataObject::Names names;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"one file", {L"C:\\App\\app.exe"}, DragDataObject::Names::wide, "C:\\App\\app.exe"},
        {"one folder", {L"C:\\Program Files"}, DragDataObject::Names::wide, "C:\\Program Files"},
        {"two files", {L"C:\\a.exe", L"D:\\b c\\b.exe"}, DragDataObject::Names::wide, "C:\\a.exe\r\nD:\\b c\\b.exe\r\n"},
        {"Chinese names", {L"C:\\中文\\程序.exe"}, DragDataObject::Names::wide, "C:\\中文\\程序.exe"},
        {"ANSI list", {L"C:\\中文\\程序.exe", L"C:\\b.exe"}, DragDataObject::Names::ansi,
         "C:\\中文\\程序.exe\r\nC:\\b.exe\r\n"},
        {"longer than MAX_PATH", {longPath}, DragDataObject::Names::wide, testing::toAnsi(longPath)},
        {"an empty list", {}, DragDataObject::Names::wide, ""},
    };
    for (const Case& c : cases) {
        Receiver receiver;
        const auto data = DragDataObject::fileList(c.paths, c.names);
        data->countMediumReleases();
        DWORD effect = DROPEFFECT_COPY;
        ASSERT_EQ(receiver.target->DragEnter(data.get(), 0, anywhere, &effect), S_OK);
        ASSERT_EQ(receiver.target->Drop(data.get(), 0, anywhere, &effect), S_OK);
        EXPECT_EQ(effect, DROPEFFECT_COPY) << c.what;
        EXPECT_EQ(receiver.deliveries, std::vector<std::string>{c.expected}) << c.what;
        EXPECT_EQ(data->getDataCalls(), 1) << c.what;
        EXPECT_EQ(data->mediaOutstanding(), 0) << c.what;
    }
}

// The data object that the shell itself offers for a file, as a file manager drags it.
ComPtr<IDataObject> shellDataObjectOf(const std::wstring& path)
{
    ComPtr<IDataObject> data;
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(::SHParseDisplayName(path.c_str(), nullptr, &item, 0, nullptr))) return data;
    ComPtr<IShellFolder> parent;
    PCUITEMID_CHILD child = nullptr;
    if (SUCCEEDED(::SHBindToParent(item, IID_IShellFolder, parent.putVoid(), &child))) {
        parent->GetUIObjectOf(nullptr, 1, &child, IID_IDataObject, nullptr, data.putVoid());
    }
    ::CoTaskMemFree(item);
    return data;
}

TEST(FileDropTarget, TakesTheFileListOfTheShellsOwnDataObject)
{
    const OleSession ole;
    TempFolder folder;
    const std::wstring program = folder.widePath(L"程序 目录\\app.exe");
    ASSERT_TRUE(TempFolder::createFile(program));
    const ComPtr<IDataObject> data = shellDataObjectOf(program);
    ASSERT_TRUE(data) << "the shell offers no data object for the file";

    Receiver receiver;
    EXPECT_EQ(receiver.drag(data.get(), 0, copyMoveLink), std::vector<DWORD>(3, DROPEFFECT_COPY));
    EXPECT_EQ(receiver.deliveries, std::vector<std::string>{testing::toAnsi(program)});
}

TEST(FileDropTarget, GivesAPathOutsideTheCodePageInItsShortForm)
{
    TempFolder folder;
    // Thai and a Latin letter with a double acute accent: neither is in code page 936.
    const std::wstring program = folder.widePath(L"\u0e01\u0e02 \u0151\\app \u0e01.exe");
    ASSERT_TRUE(TempFolder::createFile(program));
    const std::wstring missing = folder.widePath(L"\u0e01\\gone.exe");

    Receiver receiver;
    const auto data = DragDataObject::fileList({program, missing});
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(receiver.target->DragEnter(data.get(), 0, anywhere, &effect), S_OK);
    ASSERT_EQ(receiver.target->Drop(data.get(), 0, anywhere, &effect), S_OK);
    ASSERT_EQ(receiver.deliveries.size(), 1u);

    const std::string& paths = receiver.deliveries.front();
    const std::string first = paths.substr(0, paths.find("\r\n"));
    EXPECT_EQ(paths, first + "\r\n\r\n") << "a missing file has no short form: its path comes through empty";
    EXPECT_EQ(first.find('?'), std::string::npos) << first;
    // The short form names the same file.
    wchar_t longForm[MAX_PATH] = {};
    ASSERT_NE(::GetLongPathNameW(testing::toWide(first).c_str(), longForm, MAX_PATH), 0u) << first;
    EXPECT_EQ(std::wstring(longForm), program);
}

TEST(FileDropTarget, NothingThrowsAcrossDrop)
{
    const auto files = DragDataObject::fileList({L"C:\\App\\app.exe"});
    files->countMediumReleases();
    ComPtr<FileDropTarget> target =
        FileDropTarget::create([](const std::string&) { throw std::runtime_error("handler failed"); });
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(files.get(), 0, anywhere, &effect), S_OK);
    EXPECT_EQ(target->Drop(files.get(), 0, anywhere, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(files->mediaOutstanding(), 0);
}

TEST(FileDropTarget, DeliversNothingOnceDisconnected)
{
    Receiver receiver;
    receiver.target->disconnect();
    const auto files = DragDataObject::fileList({L"C:\\App\\app.exe"});
    receiver.drag(files.get(), 0, DROPEFFECT_COPY);
    EXPECT_TRUE(receiver.deliveries.empty());
}

} // namespace
} // namespace quorvane
