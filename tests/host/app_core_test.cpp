// The start-up folder rule and the window's keyboard rules.
#include <gtest/gtest.h>

#include <string>

#include "app/input_rules.h"
#include "app/module_folder.h"

namespace quorvane {
namespace {

TEST(FolderOfPathTest, CutsAtTheLastBackslashThatIsACharacterOfItsOwn)
{
    EXPECT_EQ(folderOfPath("C:\\Tools\\Quorvane\\quorvane.exe"), "C:\\Tools\\Quorvane");
    EXPECT_EQ(folderOfPath("C:\\x.exe"), "C:");
    EXPECT_EQ(folderOfPath("quorvane.exe"), "");
    // 0x955C is a GBK character whose second byte is a backslash: it does not end the folder.
    EXPECT_EQ(folderOfPath("C:\\\x95\x5C\\q.exe"), "C:\\\x95\x5C");
    EXPECT_EQ(folderOfPath("C:\\\x95\x5Cq.exe"), "C:");
}

TEST(CountBoxFilterTest, TakesDigitsMinusAndControlCharactersOnly)
{
    for (unsigned int code = 0; code < 0x10000; ++code) {
        const bool expected = code < 32 || (code >= '0' && code <= '9') || code == '-';
        ASSERT_EQ(countBoxAcceptsCharacter(code), expected) << code;
    }
}

TEST(TabSequenceTest, SmallestTabOrderFirstAndLaterLayoutWinsTies)
{
    // Layout order of the window: four labels, count box, disabled path box, start button.
    const std::vector<FocusCandidateState> window = {
        {true, true, false, 0}, {true, true, false, 0}, {true, true, false, 0}, {true, true, false, 0},
        {true, true, true, 0},  {true, false, true, 0}, {true, true, true, 0}};
    EXPECT_EQ(tabSequence(window), (std::vector<std::size_t>{6, 4}));

    const std::vector<FocusCandidateState> mixed = {
        {true, true, true, 2}, {false, true, true, 0}, {true, true, true, 1}, {true, true, true, 1}};
    EXPECT_EQ(tabSequence(mixed), (std::vector<std::size_t>{3, 2, 0}));
}

TEST(TabSequenceTest, TabAndShiftTabWrapBothWays)
{
    const std::vector<std::size_t> sequence = {6, 4, 9};
    EXPECT_EQ(nextInTabSequence(sequence, 6, false), 4u);
    EXPECT_EQ(nextInTabSequence(sequence, 9, false), 6u);
    EXPECT_EQ(nextInTabSequence(sequence, 6, true), 9u);
    EXPECT_EQ(nextInTabSequence(sequence, 4, true), 6u);
    EXPECT_EQ(nextInTabSequence(sequence, std::nullopt, false), 6u);
    EXPECT_EQ(nextInTabSequence(sequence, 1, true), 9u);
    EXPECT_EQ(nextInTabSequence({}, 6, false), std::nullopt);
}

} // namespace
} // namespace quorvane
