// SettingsFile against the real private-profile functions, in a temporary folder of each test's own.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "settings/settings_file.h"
#include "settings/text_to_integer.h"

namespace quorvane {
namespace {

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH]{};
        ::GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "quorvane-settings-" + std::to_string(::GetCurrentProcessId()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : folder_)
            if (c == '/') c = '_';
        ASSERT_TRUE(::CreateDirectoryA(folder_.c_str(), nullptr));
        path_ = folder_ + "\\设置.ini";
    }
    void TearDown() override
    {
        ::DeleteFileA(path_.c_str());
        ::RemoveDirectoryA(folder_.c_str());
    }

    bool fileExists() const { return ::GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }
    void writeFile(const std::string& bytes) const
    {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    std::string fileBytes() const
    {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string folder_;
    std::string path_;
};

struct LoadCase {
    const char* name;
    std::optional<std::string> fileContents;
    std::string countText;
    std::string programPath;
};

TEST_F(SettingsFileTest, LoadGivesStoredValuesOrTheDefaults)
{
    const LoadCase cases[] = {
        {"no file", std::nullopt, "3", ""},
        {"other section", "[其他]\r\n多开数量=9\r\n", "3", ""},
        {"both keys", "[基本信息]\r\n多开数量=007\r\n文件路径=C:\\程序\\a b.exe -x\r\n", "007", "C:\\程序\\a b.exe -x"},
        {"empty count is not the default", "[基本信息]\r\n多开数量=\r\n", "", ""},
        {"path without count", "[基本信息]\r\n文件路径=D:\\x.exe\r\n", "3", "D:\\x.exe"},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        ::DeleteFileA(path_.c_str());
        if (c.fileContents) writeFile(*c.fileContents);
        const LaunchSettings loaded = SettingsFile(path_).load();
        EXPECT_EQ(loaded.countText, c.countText);
        EXPECT_EQ(loaded.programPath, c.programPath);
        EXPECT_EQ(fileExists(), c.fileContents.has_value()) << "load must never create the file";
    }
    writeFile("[基本信息]\r\n多开数量=\r\n");
    EXPECT_EQ(textToInteger(SettingsFile(path_).load().countText), 0);
}

TEST_F(SettingsFileTest, StoresCreateTheFileAndReplaceTheValue)
{
    const SettingsFile settings(path_);
    ASSERT_TRUE(settings.storeProgramPath("C:\\旧\\old.exe"));
    ASSERT_TRUE(settings.storeProgramPath("C:\\新 目录\\new.exe -a"));
    EXPECT_EQ(fileBytes(), "[基本信息]\r\n文件路径=C:\\新 目录\\new.exe -a\r\n");
    EXPECT_EQ(settings.load().programPath, "C:\\新 目录\\new.exe -a");
    EXPECT_EQ(settings.load().countText, "3");

    ASSERT_TRUE(settings.storeLaunchCount(""));
    EXPECT_NE(fileBytes().find("多开数量=\r\n"), std::string::npos) << "an empty count keeps its key";
    EXPECT_EQ(settings.load().countText, "");
    ASSERT_TRUE(settings.storeLaunchCount("007"));
    EXPECT_EQ(settings.load().countText, "007");
}

TEST_F(SettingsFileTest, StoredValuesReadBackExactlyAsGiven)
{
    // Quotes around a whole value and blanks at its ends would be dropped by the INI reader.
    const SettingsFile settings(path_);
    for (const std::string value : {"\"C:\\新 目录\\app.exe\"", "\"C:\\a b\\x.exe\" -arg \"c d\"", "'q'", " 05", "7 ",
                                    "\"", "C:\\plain.exe", "\"\""}) {
        ASSERT_TRUE(settings.storeProgramPath(value));
        ASSERT_TRUE(settings.storeLaunchCount(value));
        EXPECT_EQ(settings.load().programPath, value);
        EXPECT_EQ(settings.load().countText, value);
    }
}

TEST_F(SettingsFileTest, OmittedValueRemovesTheKeyAndOmittedKeyTheSection)
{
    const SettingsFile settings(path_);
    ASSERT_TRUE(settings.storeLaunchCount("8"));
    ASSERT_TRUE(settings.storeProgramPath("C:\\a.exe"));
    ASSERT_TRUE(settings.writeValue("基本信息", std::string("多开数量"), std::nullopt));
    EXPECT_EQ(settings.load().countText, "3");
    EXPECT_EQ(settings.load().programPath, "C:\\a.exe");
    ASSERT_TRUE(settings.writeValue("基本信息", std::nullopt, std::nullopt));
    EXPECT_EQ(settings.load().programPath, "");
    EXPECT_EQ(fileBytes().find("基本信息"), std::string::npos);
}

TEST_F(SettingsFileTest, BlankNamesGiveEmptyTextWithoutLookingUp)
{
    const SettingsFile settings(path_);
    EXPECT_EQ(settings.readValue("基本信息", "   ", "default"), "");
    EXPECT_EQ(settings.readValue("\t\r\n", "多开数量", "default"), "");
    EXPECT_EQ(SettingsFile("  ").readValue("基本信息", "多开数量", "default"), "");
    EXPECT_FALSE(fileExists());
    // Leading blanks are skipped, the rest of the name counts.
    writeFile("[基本信息]\r\n多开数量=6\r\n");
    EXPECT_EQ(settings.readValue("  基本信息", " 多开数量", "default"), "6");
    EXPECT_EQ(settings.readValue("基本信息", "缺少", "default"), "default");
}

TEST_F(SettingsFileTest, LongValuesAreCutToTheBuffer)
{
    const std::size_t longest = SettingsFile::valueBufferSize - 1;
    writeFile("[基本信息]\r\n文件路径=" + std::string(longest + 500, 'x') + "\r\n");
    EXPECT_EQ(SettingsFile(path_).load().programPath, std::string(longest, 'x'));

    // The cut falling inside a double-byte character leaves no stray byte behind.
    std::string chinese;
    while (chinese.size() < longest + 10) chinese += "中";
    writeFile("[基本信息]\r\n文件路径=x" + chinese + "\r\n");
    const std::string cut = SettingsFile(path_).load().programPath;
    EXPECT_LE(cut.size(), longest);
    EXPECT_GE(cut.size(), longest - 2);
    EXPECT_EQ(cut.substr(0, 1 + 2 * 100), "x" + chinese.substr(0, 2 * 100));
}

TEST_F(SettingsFileTest, RefusedStoreReportsFalseAndCreatesNothing)
{
    const SettingsFile settings(folder_ + "\\missing folder\\q.ini");
    EXPECT_FALSE(settings.storeLaunchCount("5"));
    EXPECT_EQ(settings.load().countText, "3");
}

} // namespace
} // namespace quorvane
