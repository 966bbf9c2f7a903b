#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "adn/text_files.h"
#include "net/kept_file.h"

namespace fs = std::filesystem;

namespace {

class Folder : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/zentul-unit-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        folder = name;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string path(const std::string& name) const { return (folder / name).string(); }

    static void write(const std::string& file, const std::string& text) { std::ofstream(file) << text; }

    static std::string read(const std::string& file) {
        std::ostringstream text;
        text << std::ifstream(file).rdbuf();
        return text.str();
    }

    int entries() const { return static_cast<int>(std::distance(fs::directory_iterator(folder), {})); }

    fs::path folder;
};

using ReplaceFile = Folder;

TEST_F(ReplaceFile, NeverFollowsALinkPlantedAtTheOldTemporaryName) {
    write(path("outside.txt"), "not to be touched\n");
    fs::create_symlink(path("outside.txt"), path("packages.txt.tmp"));
    ASSERT_TRUE(replace_file(path("packages.txt"), "a|1.0|r|t\n"));
    EXPECT_EQ(read(path("outside.txt")), "not to be touched\n");
    EXPECT_EQ(read(path("packages.txt")), "a|1.0|r|t\n");
    EXPECT_EQ(entries(), 3);  // the file, the link and its target: no temporary file left
}

TEST_F(ReplaceFile, GivesTheModeOfAnOrdinaryNewFile) {
    mode_t mask = umask(022);
    ASSERT_TRUE(replace_file(path("packages.txt"), "x\n"));
    umask(mask);
    EXPECT_EQ(fs::status(path("packages.txt")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(ReplaceFile, AFailedRenameLeavesNoTemporaryFile) {
    fs::create_directories(path("packages.txt/inside"));
    EXPECT_FALSE(replace_file(path("packages.txt"), "x\n"));
    EXPECT_EQ(entries(), 1);
}

TEST_F(ReplaceFile, FailsInAMissingFolder) { EXPECT_FALSE(replace_file(path("missing/packages.txt"), "x\n")); }

using KeptFileTest = Folder;

TEST_F(KeptFileTest, AFailedDownloadPutsTheOldFileBack) {
    write(path("lib.zinc"), "old\n");
    {
        KeptFile old_file(path("lib.zinc"));
        ASSERT_TRUE(old_file.ready());
        EXPECT_FALSE(fs::exists(path("lib.zinc")));  // out of the tool's way
        write(path("lib.zinc"), "");                 // what a failing wget leaves
    }
    EXPECT_EQ(read(path("lib.zinc")), "old\n");
    EXPECT_EQ(entries(), 1);
}

TEST_F(KeptFileTest, AFailedDownloadWithoutAnOldFileLeavesNoFile) {
    {
        KeptFile old_file(path("lib.zinc"));
        write(path("lib.zinc"), "partial");
    }
    EXPECT_EQ(entries(), 0);
}

TEST_F(KeptFileTest, ASuccessfulDownloadDropsTheOldFile) {
    write(path("lib.zinc"), "old\n");
    {
        KeptFile old_file(path("lib.zinc"));
        write(path("lib.zinc"), "new\n");
        old_file.keep_new();
    }
    EXPECT_EQ(read(path("lib.zinc")), "new\n");
    EXPECT_EQ(entries(), 1);
}

TEST_F(KeptFileTest, LeavesADirectoryAlone) {
    fs::create_directory(path("inc"));
    write(path("inc/kept"), "x");
    { KeptFile old_file(path("inc")); }
    EXPECT_EQ(read(path("inc/kept")), "x");
}

TEST_F(KeptFileTest, AFileWithoutFolderPartIsSetAsideInTheCurrentFolder) {
    write(path("here.txt"), "old\n");
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir(folder.c_str()), 0);
    {
        KeptFile old_file("here.txt");
        EXPECT_FALSE(fs::exists(path("here.txt")));
    }
    ASSERT_EQ(chdir(previous), 0);
    EXPECT_EQ(read(path("here.txt")), "old\n");
}

}  // namespace
