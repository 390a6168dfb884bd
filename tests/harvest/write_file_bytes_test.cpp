#include "harvest/write_file_bytes.h"
#include "harvest_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace vantrel {
namespace {

namespace fs = std::filesystem;

class WriteFileBytesTest : public ::testing::Test
{
protected:
    test::TemporaryFolder m_folder;
};

TEST_F(WriteFileBytesTest, CreatesTheMissingFoldersAndWritesTheBytes)
{
    const fs::path target = m_folder.path() / "Desktop" / "PIC" / "1.jpg";
    const Bytes data = {0xFF, 0xD8, 0x00, 0x41, 0xFF, 0xD9};
    ASSERT_TRUE(WriteFileBytes(target.string(), data));
    EXPECT_EQ(test::ReadBytes(target), data);
    EXPECT_EQ(test::FileNames(target.parent_path()), std::vector<std::string>{"1.jpg"});
}

TEST_F(WriteFileBytesTest, ReplacesAnOlderFileWhole)
{
    const fs::path target = m_folder.path() / "2.jpg";
    test::WriteBytes(target, Bytes(5000, 0x11));
    for (const Bytes& data : {Bytes{1, 2, 3}, Bytes{}}) {
        ASSERT_TRUE(WriteFileBytes(target.string(), data));
        EXPECT_EQ(test::ReadBytes(target), data);
    }
    EXPECT_EQ(test::FileNames(m_folder.path()), std::vector<std::string>{"2.jpg"});
}

TEST_F(WriteFileBytesTest, FailsWithoutLeavingAnythingBehind)
{
    test::WriteBytes(m_folder.path() / "file", Bytes{7});
    fs::create_directory(m_folder.path() / "folder.jpg");
    const std::string failing[] = {
        "",
        (m_folder.path() / "file" / "PIC" / "1.jpg").string(), // a file where a folder must be
        (m_folder.path() / "folder.jpg").string(),             // a folder at the target
        (m_folder.path() / "PIC" / "").string(),               // no file name
    };
    for (const std::string& path : failing)
        EXPECT_FALSE(WriteFileBytes(path, Bytes{1, 2})) << path;
    EXPECT_EQ(test::FileNames(m_folder.path()), (std::vector<std::string>{"file", "folder.jpg"}));
    EXPECT_EQ(test::ReadBytes(m_folder.path() / "file"), Bytes{7});
    EXPECT_TRUE(fs::is_empty(m_folder.path() / "folder.jpg"));
}

} // namespace
} // namespace vantrel
