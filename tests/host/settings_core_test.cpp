// The count text's numeric reading and the settings names' blank skipping.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "settings/profile_text.h"
#include "settings/text_to_integer.h"

namespace quorvane {
namespace {

struct NumberCase {
    const char* text;
    std::int32_t expected;
};

class TextToIntegerTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(TextToIntegerTest, ReadsLikeTheCountRule)
{
    EXPECT_EQ(textToInteger(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextToIntegerTest,
    ::testing::Values(NumberCase{"12abc", 12}, NumberCase{"abc", 0}, NumberCase{"", 0}, NumberCase{"-2", -2},
                      NumberCase{"+7", 7}, NumberCase{"3.9", 3}, NumberCase{"0x10", 0}, NumberCase{" \t\n\v\f\r42", 42},
                      NumberCase{"007", 7}, NumberCase{"--5", 0}, NumberCase{"- 5", 0}, NumberCase{"5-", 5},
                      // full-width space, digits one and five
                      NumberCase{"\xA1\xA1\xA3\xB1\xA3\xB5", 15},
                      // full-width minus and plus signs fold too
                      NumberCase{"\xA3\xAD\xA3\xB3", -3}, NumberCase{"\xA3\xAB\xA3\xB9", 9},
                      // a GBK character that has no half-width form stops the digits
                      NumberCase{"4\xD6\xD0" "5", 4},
                      // a second byte that looks like a digit is not one
                      NumberCase{"\x81\x31" "7", 0},
                      NumberCase{"2147483647", 2147483647}, NumberCase{"-2147483648", INT32_MIN},
                      // beyond the 32-bit range the value wraps modulo 2^32
                      NumberCase{"2147483648", INT32_MIN}, NumberCase{"4294967297", 1},
                      NumberCase{"99999999999", 1215752191}));

TEST(FoldFullWidthTest, FoldsOnlyTheFormsWithAHalfWidthEquivalent)
{
    EXPECT_EQ(foldFullWidth("\xA1\xAB\xA1\xEE\xA1\xEF\xA3\xA1\xA3\xFE"), "~**!~");
    EXPECT_EQ(foldFullWidth("\xA3\xA0"), "\xA3\xA0");       // below the folded range
    EXPECT_EQ(foldFullWidth("\xB0\xA1" "1"), "\xB0\xA1" "1"); // an ordinary character stays
    EXPECT_EQ(foldFullWidth("12\xA3"), "12");                // a lone lead byte at the end is dropped
}

TEST(SkipLeadingBlanksTest, SkipsControlBytesAndSpacesAtTheStartOnly)
{
    EXPECT_EQ(skipLeadingBlanks("\x01\x1F \tkey "), "key ");
    EXPECT_EQ(skipLeadingBlanks("   "), "");
    EXPECT_EQ(skipLeadingBlanks("\xA1\xA1key"), "\xA1\xA1key"); // bytes of 128 and above are kept
}

TEST(ProtectedForReadingTest, WrapsOnlyValuesTheReaderWouldChange)
{
    EXPECT_EQ(protectedForReading(""), "");
    EXPECT_EQ(protectedForReading("C:\\a b\\x.exe -arg"), "C:\\a b\\x.exe -arg");
    EXPECT_EQ(protectedForReading("\"C:\\a b\\x.exe\" -arg"), "\"C:\\a b\\x.exe\" -arg");
    EXPECT_EQ(protectedForReading("\"C:\\a b\\x.exe\""), "\"\"C:\\a b\\x.exe\"\"");
    EXPECT_EQ(protectedForReading("'x'"), "\"'x'\"");
    EXPECT_EQ(protectedForReading(" 05"), "\" 05\"");
    EXPECT_EQ(protectedForReading("5\t"), "\"5\t\"");
    EXPECT_EQ(protectedForReading("\""), "\"");
}

} // namespace
} // namespace quorvane
