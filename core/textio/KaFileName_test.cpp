#include "textio/KaFileName.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string S(String const& s) {
    return s.chars();
}

class Profile : public ::testing::Test {
protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "tarvis_profile_test";
    std::string file = (dir / "settings.ini").string();

    void SetUp() override {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void Put(std::string const& text) { std::ofstream(file) << text; }
    std::string Text() const {
        std::ifstream in(file);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    std::string Get(char const* section, char const* key, int size = 64) {
        char buffer[64] = "untouched";
        int const n = KaGetPrivateProfile(section, key, buffer, size, "dflt", file.c_str());
        if (std::string(buffer) != "untouched") {
            EXPECT_EQ(n, static_cast<int>(std::strlen(buffer)));
        }
        return buffer;
    }
};

} // namespace

TEST(KaFileName, SplitsWindowsAndUnixPaths) {
    String const win("C:\\data\\img.tif");
    EXPECT_EQ(S(KaGetFilename(win)), "img.tif");
    EXPECT_EQ(S(KaGetPath(win)), "C:\\data");
    EXPECT_EQ(S(KaGetExtension(win)), "tif");
    EXPECT_EQ(S(KaGetFilenameNoExt(win)), "img");

    String const unix("/home/user/scan.v2/photo.res");
    EXPECT_EQ(S(KaGetFilename(unix)), "photo.res");
    EXPECT_EQ(S(KaGetPath(unix)), "/home/user/scan.v2");
    EXPECT_EQ(S(KaGetExtension(unix)), "res");
    EXPECT_EQ(S(KaGetFilenameNoExt(unix)), "photo");

    EXPECT_EQ(S(KaGetFilenameNoExt("README")), "README");
    EXPECT_EQ(S(KaGetExtension("README")), "");
    EXPECT_EQ(S(KaGetPath("README")), "");
    // A dot in a folder name is no extension.
    EXPECT_EQ(S(KaGetExtension("scan.v2/photo")), "");
    // The first character is never a separator or a dot.
    EXPECT_EQ(S(KaGetFilename("/a")), "/a");
    EXPECT_EQ(S(KaGetExtension(".profile")), "");
}

TEST(KaFileName, ChangesExtensionsAndJoins) {
    String name("old.dir\\name");
    KaChangeFileExtension(name, "pro");
    EXPECT_EQ(S(name), "old.dir\\name.pro");
    KaChangeFileExtension(name, "cam");
    EXPECT_EQ(S(name), "old.dir\\name.cam");

    EXPECT_EQ(S(KaMakeFilename("C:\\data\\", "a.pro")), "C:\\data\\a.pro");
    EXPECT_EQ(S(KaMakeFilename("C:\\data", "a.pro")), "C:\\data\\a.pro");
    EXPECT_EQ(S(KaMakeFilename("/home/user", "a.pro")), "/home/user/a.pro");
    EXPECT_EQ(S(KaMakeFilename("/home/user/", "a.pro")), "/home/user/a.pro");
    EXPECT_EQ(S(KaMakeFilename("data", "a.pro")), "data/a.pro");
    EXPECT_EQ(S(KaMakeFilename("", "a.pro")), "a.pro");
}

TEST_F(Profile, ReadsByTheLineModel) {
    EXPECT_EQ(Get("Main", "Path"), "untouched"); // no file: buffer untouched
    EXPECT_FALSE(KaExistFile(file.c_str()));
    Put("[main]\r\nName=Tarvis\r\nFlag\n\n[Other]\nColour=red\n");
    EXPECT_TRUE(KaExistFile(file.c_str()));
    EXPECT_EQ(Get("MAIN", "name"), "Tarvis");
    EXPECT_EQ(Get("Main", "Flag"), "");
    // The key search goes on past later sections.
    EXPECT_EQ(Get("Main", "Colour"), "red");
    EXPECT_EQ(Get("Missing", "Name"), "dflt");
    EXPECT_EQ(Get("Main", "Name", 4), "Ta");
}

TEST_F(Profile, WritesByTheLineModel) {
    ASSERT_EQ(KaWritePrivateProfile("Main", "Path", "/data", file.c_str()), 1);
    EXPECT_EQ(Text(), "[Main]\nPath=/data\n");

    // A key matches by prefix; an empty line ends the section for writing.
    Put("[Main]\nPathList=x\nOther=1\n\n[Next]\nA=1\n");
    KaWritePrivateProfile("main", "Path", "/new", file.c_str());
    EXPECT_EQ(Text(), "[Main]\nPath=/new\nOther=1\n\n[Next]\nA=1\n");
    KaWritePrivateProfile("Main", "Size", "3", file.c_str());
    EXPECT_EQ(Text(), "[Main]\nPath=/new\nOther=1\nSize=3\n\n[Next]\nA=1\n");
    KaWritePrivateProfile("Next", "B", "2", file.c_str());
    EXPECT_EQ(Text(), "[Main]\nPath=/new\nOther=1\nSize=3\n\n[Next]\nA=1\nB=2\n");
    KaWritePrivateProfile("New", "C", "3", file.c_str());
    EXPECT_EQ(Text(), "[Main]\nPath=/new\nOther=1\nSize=3\n\n[Next]\nA=1\nB=2\n\n[New]\nC=3\n");
    EXPECT_EQ(Get("New", "C"), "3");

    std::string const big(5000, 'v');
    ASSERT_EQ(KaWritefPrivateProfile("New", "Big", file.c_str(), "%s-%d", big.c_str(), 7), 1);
    char buffer[6000];
    EXPECT_EQ(KaGetPrivateProfile("New", "Big", buffer, sizeof buffer, "", file.c_str()), 5002);
    EXPECT_EQ(std::string(buffer), big + "-7");
    // A wide character the C locale cannot convert fails the format: nothing is written.
    std::string const before = Text();
    EXPECT_EQ(KaWritefPrivateProfile("New", "Wide", file.c_str(), "%ls", L"\u00e9"), 0);
    EXPECT_EQ(Text(), before);
}

TEST_F(Profile, FailedWriteKeepsTheOldFile) {
    Put("[Main]\nA=1\n");
    // The temporary file cannot be created in a folder that does not exist.
    std::string const elsewhere = (dir / "missing" / "settings.ini").string();
    EXPECT_EQ(KaWritePrivateProfile("Main", "A", "2", elsewhere.c_str()), 0);
    // A folder in place of the file cannot be replaced by a file.
    std::filesystem::create_directories(dir / "folder.ini" / "x");
    EXPECT_EQ(KaWritePrivateProfile("Main", "A", "2", (dir / "folder.ini").c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini" / "x"));
    EXPECT_EQ(Text(), "[Main]\nA=1\n");
}
