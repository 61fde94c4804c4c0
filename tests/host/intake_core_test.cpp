// The intake's pure rules: the text search, the drop-effect rule and how a drop becomes the target text.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "intake/drop_effect.h"
#include "intake/find_text.h"
#include "intake/target_text.h"

namespace quorvane {
namespace {

// Literals are GBK bytes: 乴 is 0x81 0x6C (second byte 'l'), 丩 is 0x81 0x4C (second byte 'L').
struct FindCase {
    std::string text;
    std::string needle;
    bool ignoreCase;
    std::int32_t expected;
};

TEST(FindText, FindsTheFirstWholeCharacterMatch)
{
    const std::vector<FindCase> cases = {
        {"abcabc", "c", false, 3},
        {"abc", "abc", false, 1},
        {"abc", "abcd", false, -1},
        {"abc", "", false, 1},
        {"", "", false, -1},
        {"", "a", false, -1},
        {"C:\\A.LNK", "lnk", false, -1},
        {"C:\\A.LNK", "lnk", true, 6},
        {"C:\\a.lnk", "LNK", true, 6},
        {"C:\\乴nk.exe", "lnk", false, -1},   // 'l' is the second byte of 乴
        {"C:\\乴nk.exe", "lnk", true, -1},
        {"C:\\乴lnk.exe", "lnk", false, 6},
        {"中文lnk", "文", false, 3},
        {"中文", "\xD0\xCE", false, -1},      // the bytes across 中|文 are no character of the text
        {"丩", "乴", true, -1},                // ignoring case never folds a second byte
        {"丩", "丩", true, 1},
        {"ab\x81", "zz", false, -1},            // a lead byte right before the end
        {"ab\x81", "b\x81", false, 2},
        {"\x81" "abc", "abc", false, -1},       // "\x81a" is one character
        {"\x81" "abc", "bc", false, 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findText(c.text, c.needle, c.ignoreCase), c.expected)
            << "text \"" << c.text << "\" needle \"" << c.needle << "\" ignoreCase " << c.ignoreCase;
    }
}

TEST(FindText, StopsAtALeadByteBeforeTheEndOfTheView)
{
    // The view ends on a lead byte; the byte after it must not be read.
    const std::string storage = "ab\x81x";
    EXPECT_EQ(findText(std::string_view(storage).substr(0, 3), "x"), -1);
}

TEST(DropEffect, FollowsTheKeysAndTheAllowedEffects)
{
    using namespace dropEffect;
    constexpr std::uint32_t noKeys = 0;
    constexpr std::uint32_t ctrl = dragKey::control;
    constexpr std::uint32_t shift = dragKey::shift;
    constexpr std::uint32_t both = dragKey::control | dragKey::shift;
    struct Row {
        std::uint32_t allowed;
        std::uint32_t withNoKeys, withCtrl, withShift, withCtrlShift;
    };
    const std::vector<Row> table = {
        {none, none, none, none, none},
        {copy, copy, copy, none, none},
        {move, move, none, move, none},
        {link, link, none, none, none},
        {copy | move, copy, copy, move, none},
        {copy | link, copy, copy, none, none},
        {move | link, move, none, move, none},
        {copy | move | link, copy, copy, move, none},
    };
    for (const Row& row : table) {
        const std::pair<std::uint32_t, std::uint32_t> expectations[] = {
            {noKeys, row.withNoKeys}, {ctrl, row.withCtrl}, {shift, row.withShift}, {both, row.withCtrlShift}};
        for (const auto& [keys, expected] : expectations) {
            EXPECT_EQ(chooseDropEffect(true, keys, row.allowed), expected) << "allowed " << row.allowed << " keys " << keys;
            EXPECT_EQ(chooseDropEffect(false, keys, row.allowed), none) << "allowed " << row.allowed << " keys " << keys;
        }
    }
}

TEST(DropEffect, IgnoresAltTheMouseButtonsAndOtherEffectBits)
{
    constexpr std::uint32_t leftButton = 0x0001, rightButton = 0x0002, alt = 0x0020, scroll = 0x80000000u;
    const std::uint32_t all = dropEffect::copy | dropEffect::move | dropEffect::link;
    EXPECT_EQ(chooseDropEffect(true, leftButton | alt, all | scroll), dropEffect::copy);
    EXPECT_EQ(chooseDropEffect(true, rightButton | alt | dragKey::shift, all), dropEffect::move);
    EXPECT_EQ(chooseDropEffect(true, alt, dropEffect::link | scroll), dropEffect::link);
    EXPECT_EQ(chooseDropEffect(true, leftButton, scroll), dropEffect::none);
}

TEST(TargetText, FirstDroppedPath)
{
    EXPECT_EQ(firstDroppedPath("C:\\a.exe"), "C:\\a.exe");
    EXPECT_EQ(firstDroppedPath("C:\\a.exe\r\nC:\\b.exe\r\n"), "C:\\a.exe");
    EXPECT_EQ(firstDroppedPath("C:\\目录\\程序.exe\r\n"), "C:\\目录\\程序.exe");
    EXPECT_EQ(firstDroppedPath("\r\nC:\\b.exe\r\n"), "");
    EXPECT_EQ(firstDroppedPath(""), "");
}

TEST(TargetText, ShortcutSuffixIgnoresLetterCase)
{
    const std::vector<std::pair<std::string, bool>> cases = {
        {"C:\\a.lnk", true},          {"C:\\A.LNK", true},         {"C:\\a.LnK", true},
        {".lnk", true},               {"lnk", false},              {"C:\\a.lnk.exe", false},
        {"C:\\lnktools\\app.exe", false}, {"C:\\a.lnk\\", false},  {"C:\\快捷方式.lnk", true},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(hasShortcutSuffix(path), expected) << path;
}

TEST(TargetText, ShortcutFileToOpenAppendsTheSuffixOnlyWhenAbsent)
{
    EXPECT_EQ(shortcutFileToOpen("C:\\a.lnk"), "C:\\a.lnk");
    EXPECT_EQ(shortcutFileToOpen("C:\\A.LNK"), "C:\\A.LNK");
    EXPECT_EQ(shortcutFileToOpen("C:\\x.Lnk.d\\App"), "C:\\x.Lnk.d\\App");
    EXPECT_EQ(shortcutFileToOpen("C:\\lnktools\\App"), "C:\\lnktools\\App.lnk");
}

TEST(TargetText, CommandLineQuotesAPathWithBlanks)
{
    struct Case {
        std::string path, arguments, expected;
    };
    const std::vector<Case> cases = {
        {"C:\\App\\app.exe", "", "C:\\App\\app.exe"},
        {"C:\\App\\app.exe", "-arg x", "C:\\App\\app.exe -arg x"},
        {"C:\\Program Files\\App\\app.exe", "", "\"C:\\Program Files\\App\\app.exe\""},
        {"C:\\Program Files\\App\\app.exe", "-arg", "\"C:\\Program Files\\App\\app.exe\" -arg"},
        {"C:\\程序 目录\\程序.exe", "", "\"C:\\程序 目录\\程序.exe\""},
        {"", "-arg", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(commandLineOf(c.path, c.arguments), c.expected) << c.path;
}

// Stands in for the shell-link reader: answers from a table and records what it was asked.
struct FakeShortcuts {
    std::map<std::string, std::string> commandLines;
    std::vector<std::string> asked;

    std::function<std::string(const std::string&)> resolver()
    {
        return [this](const std::string& path) {
            asked.push_back(path);
            const auto found = commandLines.find(path);
            return found == commandLines.end() ? std::string() : found->second;
        };
    }
};

TEST(TargetText, DropOfAProgramIsTakenAsItIs)
{
    FakeShortcuts shortcuts;
    EXPECT_EQ(targetTextForDrop("C:\\App\\app.exe", shortcuts.resolver()), "C:\\App\\app.exe");
    EXPECT_EQ(targetTextForDrop("C:\\Program Files\\app.exe", shortcuts.resolver()),
              "\"C:\\Program Files\\app.exe\"");
    EXPECT_EQ(targetTextForDrop("C:\\乴nk\\app.exe", shortcuts.resolver()), "C:\\乴nk\\app.exe");
    EXPECT_TRUE(shortcuts.asked.empty());
}

TEST(TargetText, DropOfAShortcutGivesWhatItResolvesTo)
{
    FakeShortcuts shortcuts;
    shortcuts.commandLines["C:\\a.lnk"] = "\"C:\\Program Files\\App\\app.exe\" -arg";
    shortcuts.commandLines["C:\\B.LNK"] = "C:\\b.exe";
    EXPECT_EQ(targetTextForDrop("C:\\a.lnk", shortcuts.resolver()), "\"C:\\Program Files\\App\\app.exe\" -arg");
    EXPECT_EQ(targetTextForDrop("C:\\B.LNK", shortcuts.resolver()), "C:\\b.exe");
    EXPECT_EQ(shortcuts.asked, (std::vector<std::string>{"C:\\a.lnk", "C:\\B.LNK"}));
}

TEST(TargetText, AnUnreadableShortcutYieldsNoProgram)
{
    FakeShortcuts shortcuts;
    EXPECT_EQ(targetTextForDrop("C:\\broken.lnk", shortcuts.resolver()), "");
    EXPECT_EQ(targetTextForDrop("C:\\Broken Dir\\BROKEN.LNK", shortcuts.resolver()), "");
    EXPECT_EQ(targetTextForDrop("", shortcuts.resolver()), "");
}

TEST(TargetText, AProgramThatOnlyHoldsTheLettersLnkIsTakenAsDropped)
{
    FakeShortcuts shortcuts;
    EXPECT_EQ(targetTextForDrop("C:\\lnktools\\app.exe", shortcuts.resolver()), "C:\\lnktools\\app.exe");
    EXPECT_EQ(targetTextForDrop("C:\\LNK tools\\app.exe", shortcuts.resolver()), "\"C:\\LNK tools\\app.exe\"");
    EXPECT_EQ(shortcuts.asked, (std::vector<std::string>{"C:\\lnktools\\app.exe", "C:\\LNK tools\\app.exe"}));

    // When a shortcut of that name does exist, it is what the path stands for.
    shortcuts.commandLines["C:\\lnktools\\app.exe"] = "C:\\other.exe";
    EXPECT_EQ(targetTextForDrop("C:\\lnktools\\app.exe", shortcuts.resolver()), "C:\\other.exe");
}

TEST(TargetText, SeveralFilesCountAsTheFirstDroppedAlone)
{
    FakeShortcuts shortcuts;
    shortcuts.commandLines["C:\\a.lnk"] = "C:\\a.exe -x";
    EXPECT_EQ(targetTextForDrop("C:\\first.exe\r\nC:\\second.exe\r\n", shortcuts.resolver()), "C:\\first.exe");
    EXPECT_EQ(targetTextForDrop("C:\\a.lnk\r\nC:\\second.exe\r\n", shortcuts.resolver()), "C:\\a.exe -x");
    EXPECT_EQ(targetTextForDrop("C:\\My App\\a.exe\r\nC:\\b.exe\r\n", shortcuts.resolver()), "\"C:\\My App\\a.exe\"");
    // A first path that the code page could not express arrives empty: no program.
    EXPECT_EQ(targetTextForDrop("\r\nC:\\second.exe\r\n", shortcuts.resolver()), "");
    EXPECT_EQ(shortcuts.asked, (std::vector<std::string>{"C:\\a.lnk"}));
}

} // namespace
} // namespace quorvane
